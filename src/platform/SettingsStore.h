// The machine-wide settings store: named 32-bit integer and string values in sections of a
// small INI file, the place where the program keeps its settings and its port map.
//
// Two files make up the store. The machine-wide file is where values belong; an ordinary user
// cannot write it, so writes fall back to a per-user overlay file, and reads look in the
// overlay first. That keeps a user's settings from being lost without giving them rights they
// do not have.
//
// File format (UTF-8, one entry a line, every line ends with LF):
//   [Section]          a section; names hold no brackets or control characters
//   Key=value          an entry; blanks around the key and around the value are not part of it
//   # or ; ...         a comment; blank lines are allowed
// Values are escaped so any text survives: \\ backslash, \n line feed, \r carriage return,
// \t tab, \s space (written for blanks at either end of a value), \xHH any other control
// character. An unknown escape is kept as written. Integers are decimal.
//
// A damaged file never stops the program: a line without its terminating LF (a write cut
// off) is ignored, and a line that is none of the forms above (garbage, NUL bytes left by a
// crash, a broken UTF-8 sequence) ends the file there. Whatever could be read survives the
// next write, which always replaces the whole file atomically.
#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>
#include <variant>
#include <vector>

namespace platform {

enum class StoreStatus {
    Ok,
    Missing,     // neither file holds the value
    WrongType,   // present, but not a 32-bit integer where one was asked for
    Unreadable,  // not found, and a file that exists could not be read (rights, a directory)
};

struct StoreInt {
    StoreStatus status = StoreStatus::Missing;
    std::int32_t value = 0;  // meaningful only when status is Ok
};

struct StoreString {
    StoreStatus status = StoreStatus::Missing;
    QString value;
};

// Where a write landed.
enum class StoreTarget { MachineWide, UserOverlay, Nowhere };

// One value of a batch write.
struct StoreWrite {
    QString section;
    QString key;
    std::variant<std::int32_t, QString> value;
};

class SettingsStore {
public:
    // The section that holds the program's own values ("Type", "ScanCommNo", ...). Plain
    // text, so other files' static objects may use it safely.
    static constexpr char kProgramSection[] = "TagBench";

    SettingsStore(QString machinePath, QString overlayPath);

    // $TAGBENCH_SYSCONFDIR/KORVA/TagBench.conf (default /etc/xdg) and
    // $XDG_CONFIG_HOME/KORVA/TagBench.conf (default ~/.config).
    static SettingsStore fromEnvironment();

    const QString& machinePath() const { return machinePath_; }
    const QString& overlayPath() const { return overlayPath_; }

    StoreInt readInt(const QString& section, const QString& key) const;
    StoreString readString(const QString& section, const QString& key) const;
    // Every key of the section in either file, each once.
    QStringList keys(const QString& section) const;

    // All values in one file write. Nothing is written when a section or key name could not
    // be read back (an empty key, '=', brackets, line breaks, blanks at the ends, a leading
    // U+FEFF).
    StoreTarget write(const std::vector<StoreWrite>& values);
    StoreTarget writeInt(const QString& section, const QString& key, std::int32_t value);
    StoreTarget writeString(const QString& section, const QString& key, const QString& value);

private:
    QString machinePath_;
    QString overlayPath_;
};

// A value as the file holds it, and back; for whoever prepares a store file by hand.
QString EscapeStoreValue(const QString& value);
QString UnescapeStoreValue(const QString& text);

}  // namespace platform
