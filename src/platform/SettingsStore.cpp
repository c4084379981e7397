#include "platform/SettingsStore.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>
#include <cerrno>
#include <utility>

namespace platform {

namespace {

// A settings file is a few hundred bytes; anything past this is not ours and is not read.
constexpr qsizetype kMaxFileSize = 1 << 20;

bool IsBlank(QChar c) { return c == u' ' || c == u'\t'; }

// Only ASCII blanks: QString::trimmed() would also eat an ideographic space that is part of a
// Chinese value.
QString TrimBlanks(const QString& text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && IsBlank(text[begin])) ++begin;
    while (end > begin && IsBlank(text[end - 1])) --end;
    return text.mid(begin, end - begin);
}

bool HasControl(const QString& text) {
    for (QChar c : text) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7F) return true;
    }
    return false;
}

bool IsValidSectionName(const QString& name) {
    if (name.isEmpty()) return true;  // entries above the first section header
    return !HasControl(name) && !name.contains(u'[') && !name.contains(u']') &&
           TrimBlanks(name) == name;
}

// A key opens its line, where the UTF-8 reader takes a U+FEFF for a byte order mark and drops it.
bool IsValidKey(const QString& key) {
    return !key.isEmpty() && !HasControl(key) && !key.contains(u'=') && TrimBlanks(key) == key &&
           !key.startsWith(u'[') && !key.startsWith(u'#') && !key.startsWith(u';') &&
           !key.startsWith(QChar(0xFEFF));
}

int HexDigit(QChar c) {
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9') return u - u'0';
    if (u >= u'a' && u <= u'f') return u - u'a' + 10;
    if (u >= u'A' && u <= u'F') return u - u'A' + 10;
    return -1;
}

struct Entry {
    QString key;
    QString value;  // unescaped
};

struct Section {
    QString name;
    std::vector<Entry> entries;
};

struct IniFile {
    enum class State { Absent, Unreadable, Read };
    State state = State::Absent;
    std::vector<Section> sections;

    const Section* section(const QString& name) const {
        for (const Section& s : sections) {
            if (s.name == name) return &s;
        }
        return nullptr;
    }
    Section* section(const QString& name) {
        return const_cast<Section*>(std::as_const(*this).section(name));
    }

    const QString* find(const QString& sectionName, const QString& key) const {
        const Section* s = section(sectionName);
        if (!s) return nullptr;
        for (const Entry& e : s->entries) {
            if (e.key == key) return &e.value;
        }
        return nullptr;
    }

    void set(const QString& sectionName, const QString& key, const QString& value) {
        Section* s = section(sectionName);
        if (!s) {
            // Top-level entries must come before the first header to read back as top-level.
            auto at = sectionName.isEmpty() ? sections.begin() : sections.end();
            s = &*sections.insert(at, Section{sectionName, {}});
        }
        for (Entry& e : s->entries) {
            if (e.key == key) {
                e.value = value;
                return;
            }
        }
        s->entries.push_back(Entry{key, value});
    }

    bool remove(const QString& sectionName, const QString& key) {
        Section* s = section(sectionName);
        if (!s) return false;
        for (auto it = s->entries.begin(); it != s->entries.end(); ++it) {
            if (it->key == key) {
                s->entries.erase(it);
                return true;
            }
        }
        return false;
    }
};

// Everything up to the first line that is not a section, an entry, a comment or blank. The
// last line counts only with its LF: without it the write was cut off.
void Parse(QByteArray data, IniFile& file) {
    const qsizetype lastLf = data.lastIndexOf('\n');
    data.truncate(lastLf + 1);
    QString current;
    qsizetype begin = 0;
    while (begin < data.size()) {
        const qsizetype lf = data.indexOf('\n', begin);
        QByteArray raw = data.mid(begin, lf - begin);
        begin = lf + 1;
        if (raw.endsWith('\r')) raw.chop(1);
        for (char c : raw) {
            const auto b = static_cast<unsigned char>(c);
            if ((b < 0x20 && b != '\t') || b == 0x7F) return;
        }
        QStringDecoder decoder(QStringDecoder::Utf8);
        const QString decoded = decoder.decode(raw);
        if (decoder.hasError()) return;
        const QString line = TrimBlanks(decoded);

        if (line.isEmpty() || line.startsWith(u'#') || line.startsWith(u';')) continue;
        if (line.startsWith(u'[')) {
            if (!line.endsWith(u']')) return;
            const QString name = TrimBlanks(line.mid(1, line.size() - 2));
            if (name.isEmpty() || !IsValidSectionName(name)) return;
            current = name;
            continue;
        }
        const qsizetype eq = line.indexOf(u'=');
        if (eq <= 0) return;
        const QString key = TrimBlanks(line.left(eq));
        if (key.isEmpty()) return;
        file.set(current, key, UnescapeStoreValue(TrimBlanks(line.mid(eq + 1))));
    }
}

// Read with plain POSIX calls: a FIFO or a device at the store's path must not block us, and a
// directory there must read as unreadable rather than as empty.
IniFile ReadIniFile(const QString& path) {
    IniFile file;
    const QByteArray name = QFile::encodeName(path);
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        file.state = (errno == ENOENT || errno == ENOTDIR) ? IniFile::State::Absent
                                                           : IniFile::State::Unreadable;
        return file;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        file.state = IniFile::State::Unreadable;
        return file;
    }
    QByteArray data(kMaxFileSize, Qt::Uninitialized);
    qsizetype filled = 0;
    while (filled < data.size()) {
        const ssize_t got =
            ::read(fd, data.data() + filled, static_cast<size_t>(data.size() - filled));
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) {
            ::close(fd);
            file.state = IniFile::State::Unreadable;
            return file;
        }
        if (got == 0) break;
        filled += got;
    }
    ::close(fd);
    data.truncate(filled);
    file.state = IniFile::State::Read;
    Parse(std::move(data), file);
    return file;
}

QByteArray Serialize(const IniFile& file) {
    QByteArray out;
    for (const Section& s : file.sections) {
        if (s.entries.empty()) continue;
        if (!s.name.isEmpty()) {
            if (!out.isEmpty()) out += '\n';
            out += '[' + s.name.toUtf8() + "]\n";
        }
        for (const Entry& e : s.entries) {
            out += e.key.toUtf8() + '=' + EscapeStoreValue(e.value).toUtf8() + '\n';
        }
    }
    return out;
}

// QSaveFile writes a temporary file beside the target and renames it over the target only
// once everything is on disk, so readers see the old store or the new one, never a mix.
bool SaveAtomically(const QString& path, const QByteArray& content) {
    if (!QDir().mkpath(QFileInfo(path).absolutePath())) return false;
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly)) return false;
    if (out.write(content) != content.size()) {
        out.cancelWriting();
        return false;
    }
    return out.commit();
}

void Apply(IniFile& file, const std::vector<StoreWrite>& values) {
    for (const StoreWrite& w : values) {
        const QString text = std::holds_alternative<std::int32_t>(w.value)
                                 ? QString::number(std::get<std::int32_t>(w.value))
                                 : std::get<QString>(w.value);
        file.set(w.section, w.key, text);
    }
}

struct Lookup {
    bool found = false;
    QString value;
    bool unreadable = false;  // a file that might have held it could not be read
};

Lookup Find(const QString& overlayPath, const QString& machinePath, const QString& section,
            const QString& key) {
    Lookup result;
    for (const QString& path : {overlayPath, machinePath}) {
        const IniFile file = ReadIniFile(path);
        if (file.state == IniFile::State::Unreadable) result.unreadable = true;
        if (const QString* value = file.find(section, key)) {
            result.found = true;
            result.value = *value;
            return result;
        }
    }
    return result;
}

StoreStatus NotFound(const Lookup& lookup) {
    return lookup.unreadable ? StoreStatus::Unreadable : StoreStatus::Missing;
}

}  // namespace

QString EscapeStoreValue(const QString& value) {
    QString out;
    out.reserve(value.size());
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value[i];
        const char16_t u = c.unicode();
        if (u == u'\\') {
            out += QLatin1String("\\\\");
        } else if (u == u'\n') {
            out += QLatin1String("\\n");
        } else if (u == u'\r') {
            out += QLatin1String("\\r");
        } else if (u == u'\t') {
            out += QLatin1String("\\t");
        } else if (u == u' ' && (i == 0 || i == value.size() - 1)) {
            out += QLatin1String("\\s");  // blanks at the ends would be trimmed on reading
        } else if (u < 0x20 || u == 0x7F) {
            out += QStringLiteral("\\x%1").arg(static_cast<unsigned>(u), 2, 16, QChar(u'0'));
        } else {
            out += c;
        }
    }
    return out;
}

QString UnescapeStoreValue(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c != u'\\' || i + 1 >= text.size()) {
            out += c;
            continue;
        }
        const char16_t next = text[i + 1].unicode();
        switch (next) {
            case u'\\':
                out += u'\\';
                ++i;
                continue;
            case u'n':
                out += u'\n';
                ++i;
                continue;
            case u'r':
                out += u'\r';
                ++i;
                continue;
            case u't':
                out += u'\t';
                ++i;
                continue;
            case u's':
                out += u' ';
                ++i;
                continue;
            case u'x':
                if (i + 3 < text.size()) {
                    const int high = HexDigit(text[i + 2]);
                    const int low = HexDigit(text[i + 3]);
                    if (high >= 0 && low >= 0) {
                        out += QChar(static_cast<char16_t>(high * 16 + low));
                        i += 3;
                        continue;
                    }
                }
                break;
            default:
                break;
        }
        out += c;  // an unknown escape stays as written
    }
    return out;
}

SettingsStore::SettingsStore(QString machinePath, QString overlayPath)
    : machinePath_(std::move(machinePath)), overlayPath_(std::move(overlayPath)) {}

SettingsStore SettingsStore::fromEnvironment() {
    QString sysconf = qEnvironmentVariable("TAGBENCH_SYSCONFDIR");
    if (sysconf.isEmpty()) sysconf = QStringLiteral("/etc/xdg");
    // A relative XDG_CONFIG_HOME is to be ignored, as the XDG base directory rules say.
    QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (config.isEmpty() || QDir::isRelativePath(config)) {
        config = QDir::homePath() + QStringLiteral("/.config");
    }
    const QString file = QStringLiteral("/KORVA/TagBench.conf");
    return SettingsStore(sysconf + file, config + file);
}

StoreInt SettingsStore::readInt(const QString& section, const QString& key) const {
    const Lookup lookup = Find(overlayPath_, machinePath_, section, key);
    if (!lookup.found) return {NotFound(lookup), 0};
    // Decimal digits with an optional sign, nothing else: "COM3" or "0x10" are of another type.
    const QString& text = lookup.value;
    const qsizetype digitsFrom = (text.startsWith(u'-') || text.startsWith(u'+')) ? 1 : 0;
    bool digits = text.size() > digitsFrom;
    for (qsizetype i = digitsFrom; i < text.size() && digits; ++i) {
        digits = text[i] >= u'0' && text[i] <= u'9';
    }
    if (!digits) return {StoreStatus::WrongType, 0};
    bool ok = false;
    const qlonglong value = text.toLongLong(&ok, 10);
    if (!ok || value < INT32_MIN || value > INT32_MAX) return {StoreStatus::WrongType, 0};
    return {StoreStatus::Ok, static_cast<std::int32_t>(value)};
}

StoreString SettingsStore::readString(const QString& section, const QString& key) const {
    const Lookup lookup = Find(overlayPath_, machinePath_, section, key);
    if (!lookup.found) return {NotFound(lookup), QString()};
    return {StoreStatus::Ok, lookup.value};
}

QStringList SettingsStore::keys(const QString& section) const {
    QStringList result;
    for (const QString& path : {overlayPath_, machinePath_}) {
        const IniFile file = ReadIniFile(path);
        if (const Section* s = file.section(section)) {
            for (const Entry& e : s->entries) {
                if (!result.contains(e.key)) result.append(e.key);
            }
        }
    }
    return result;
}

StoreTarget SettingsStore::write(const std::vector<StoreWrite>& values) {
    if (values.empty()) return StoreTarget::Nowhere;
    for (const StoreWrite& w : values) {
        if (!IsValidSectionName(w.section) || !IsValidKey(w.key)) return StoreTarget::Nowhere;
    }

    // A machine-wide file we cannot read is not overwritten: it may hold values we would lose.
    IniFile machine = ReadIniFile(machinePath_);
    if (machine.state != IniFile::State::Unreadable) {
        Apply(machine, values);
        if (SaveAtomically(machinePath_, Serialize(machine))) {
            // Reads look in the overlay first; an older copy of these values there would hide
            // what was just written.
            IniFile overlay = ReadIniFile(overlayPath_);
            bool changed = false;
            for (const StoreWrite& w : values) changed |= overlay.remove(w.section, w.key);
            if (changed) SaveAtomically(overlayPath_, Serialize(overlay));
            return StoreTarget::MachineWide;
        }
    }

    IniFile overlay = ReadIniFile(overlayPath_);
    if (overlay.state == IniFile::State::Unreadable) return StoreTarget::Nowhere;
    Apply(overlay, values);
    return SaveAtomically(overlayPath_, Serialize(overlay)) ? StoreTarget::UserOverlay
                                                            : StoreTarget::Nowhere;
}

StoreTarget SettingsStore::writeInt(const QString& section, const QString& key,
                                    std::int32_t value) {
    return write({StoreWrite{section, key, value}});
}

StoreTarget SettingsStore::writeString(const QString& section, const QString& key,
                                       const QString& value) {
    return write({StoreWrite{section, key, value}});
}

}  // namespace platform
