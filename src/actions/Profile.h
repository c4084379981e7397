// Reader profiles: one reader's settings in a small text file, applied to other readers of its
// type through the same actions as the buttons and tagbench-cli. The file, in short
// (docs/profile.md says more):
//
//   [profile]
//   format = 1
//   type = PX40
//   [settings]            what the read-out reports; compared before and after applying
//   set-interface = RS485, Wiegand 26, RS485 32
//   [typed]               what the reader cannot report: as typed in the window, always sent
//   title.1 = Welcome
//   [identity]            only with --with-identity / when confirmed
//   set-id = 7
//
// Each setting is named as the tagbench-cli subcommand that sets it; a list item by its name or
// its index, several inputs separated by ", ".
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "actions/Procedure.h"
#include "commands/ReaderTypes.h"
#include "commands/config/ReadOut.h"

namespace actions::profile {

constexpr int kFormat = 1;

enum class Section { Settings, Typed, Identity };

struct Setting {
    std::string name;   // "set-interface", "title.1", "store-key.5"
    std::string value;  // in the file's form, each input in its canonical spelling
    Section section = Section::Settings;
    bool secret = false;  // a key or a password: written only when asked
};

struct Profile {
    commands::ReaderType type = commands::ReaderType::PX10;
    std::vector<Setting> settings;  // in the order they are applied
    const Setting* find(const std::string& name) const;
};

// The reader's ID and line settings where it is reached.
struct Identity {
    int id = 1;
    int settingsIndex = 0;
};

// What a front end knows of a reader: its type, its read-out, where it is, and (the window
// only) its settings as typed, as "name" and value in the file's form.
struct Reader {
    commands::ReaderType type = commands::ReaderType::PX10;
    commands::ReadOutValues readOut;
    std::optional<Identity> identity;
    std::vector<std::pair<std::string, std::string>> typed;
};

// The profile of a reader: its read-out settings, its typed ones the type's pages have (secret
// ones only `withSecrets`), its identity only `withIdentity`. Never a serial number.
Profile FromReader(const Reader& reader, bool withSecrets, bool withIdentity);

// The file's text; `Write` also says whether it holds a secret (then it is for its owner only).
std::string Write(const Profile& profile);
bool HoldsSecrets(const Profile& profile);

// A file read; none, with why (a damaged line, another format version, an unknown setting or a
// value out of its range), for anything but a whole profile of the current format.
std::optional<Profile> Parse(const std::string& text, Reason& why);
// Parse, then refuse a profile of another reader type than `type`.
std::optional<Profile> ParseFor(const std::string& text, commands::ReaderType type, Reason& why);

// Reading and writing the file; a file with secrets is made readable by its owner alone.
std::optional<Profile> Load(const QString& path, commands::ReaderType type, Reason& why);
std::optional<Reason> Save(const QString& path, const Profile& profile);

// One setting that applying would change: what the reader has now ("" when it cannot say, a
// typed setting) and what the profile gives.
struct Change {
    Setting setting;
    std::string now;
    std::string then;
};

// What applying `profile` to `reader` changes: read-out settings that differ, every typed one,
// the identity only `withIdentity` and when it differs; the ID first, the line settings last.
std::vector<Change> Plan(const Profile& profile, const Reader& reader, bool withIdentity);

// The request that sets one change, its texts in the code page of `language`.
Request RequestFor(const Setting& setting, int language);

enum class Status { Changed, Unchanged, Failed, NotSent };
struct Result {
    std::string name;
    std::string now, then;
    Status status = Status::Unchanged;
};
const char* StatusName(Status status);  // "changed", "unchanged", "failed", "not sent"

// Applying: each change with its own request through `perform`, stopping at the first that
// fails; then `readBack` (may be empty) reads the reader again, and each read-out setting that
// differs from the profile is failed. Every setting of the profile is listed.
std::vector<Result> Apply(const Profile& profile, const std::vector<Change>& changes,
                          const std::function<Outcome(const Request&, const Setting&)>& perform,
                          const std::function<std::optional<Reader>()>& readBack,
                          int language = text::kEnglish);

}  // namespace actions::profile
