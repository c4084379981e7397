#include "actions/Profile.h"

#include <QFile>
#include <algorithm>
#include <cctype>
#include <sstream>

#include "actions/Limits.h"
#include "actions/Requests.h"
#include "commands/config/ListItems.h"
#include "link/LineSettingsList.h"

namespace actions::profile {
namespace {

using commands::FunctionPage;
using text::Msg;
namespace display = commands::display;

const char* const kKeySlots[] = {"A", "B"};

// One input of a setting: a list item (by name or index), a number, or a text to the end.
struct Field {
    const char* input;  // the action's input rule it keeps to; null: a key slot
    const char* const* items = nullptr;
    int itemCount = 0;
    bool text = false;
};
Field Number(const char* input) { return {input}; }
template <std::size_t N>
Field Item(const char* input, const std::array<const char*, N>& items) {
    return {input, items.data(), static_cast<int>(N)};
}
Field Slot() { return {nullptr, kKeySlots, 2}; }
Field Text(const char* input) { return {input, nullptr, 0, true}; }

using Values = std::vector<int>;  // the numbers and items of a setting; a text is apart
using Read = std::function<std::optional<Values>(const commands::ReadOutValues&)>;
using Make = std::function<Request(const Values&, const std::string& text, int language)>;

struct Definition {
    const char* name;  // with a "." and a number after it for a setting of several lines/sectors
    ActionId action;
    Section section;
    std::vector<Field> fields;
    Read read;  // Settings only: the value the read-out gives
    std::function<bool(const commands::ReaderTypeInfo&)> has;  // the type has the setting
    Make make;
    bool secret = false;
    int suffixMax = -1;  // "title.1": the number after the name, 1 to suffixMax (0 to for sectors)
    int suffixMin = 0;
};

template <typename... T>
std::optional<Values> All(const T&... parts) {
    if (!(parts.has_value() && ...)) return std::nullopt;
    return Values{static_cast<int>(*parts)...};
}

bool Always(const commands::ReaderTypeInfo&) { return true; }
std::function<bool(const commands::ReaderTypeInfo&)> Page(FunctionPage page) {
    return [page](const commands::ReaderTypeInfo& info) { return info.Shows(page); };
}

TypedText Typed(const std::string& text, int language) {
    return {QString::fromStdString(text), language};
}

const std::vector<Definition>& Definitions() {
    using A = ActionId;
    static const std::vector<Definition> table = {
        {"set-id",
         A::SetId,
         Section::Identity,
         {Number("new-id")},
         {},
         Always,
         [](const Values& v, const std::string&, int) { return SetId(v[0]); }},
        {"set-interface",
         A::SetInterface,
         Section::Settings,
         {Item("mode", commands::kModeItems), Item("wiegand", commands::kWiegandItems),
          Item("rs485", commands::kRs485Items)},
         [](const commands::ReadOutValues& r) { return All(r.mode, r.wiegand, r.rs485); },
         Always,
         [](const Values& v, const std::string&, int) {
             return SetInterface({v[0], v[1], v[2]});
         }},
        {"set-card-type",
         A::SetCardType,
         Section::Settings,
         {Item("card-type", commands::kCardTypeItems)},
         [](const commands::ReadOutValues& r) { return All(r.cardType); },
         [](const commands::ReaderTypeInfo& i) { return i.readOut.cardType; },
         [](const Values& v, const std::string&, int) { return SetCardType(v[0]); }},
        {"set-key-number",
         A::SetKeyNumber,
         Section::Settings,
         {Number("key-number")},
         [](const commands::ReadOutValues& r) { return All(r.keyNumber); },
         [](const commands::ReaderTypeInfo& i) { return i.readOut.keypad; },
         [](const Values& v, const std::string&, int) { return SetKeyNumber(v[0]); }},
        {"set-key-parity",
         A::SetKeyParity,
         Section::Settings,
         {Item("key-parity", commands::kKeyParityItems)},
         [](const commands::ReadOutValues& r) { return All(r.keyParity); },
         [](const commands::ReaderTypeInfo& i) { return i.readOut.keypad; },
         [](const Values& v, const std::string&, int) { return SetKeyParity(v[0]); }},
        {"set-key-status",
         A::SetKeyStatus,
         Section::Settings,
         {Number("key-status-number"), Number("key-delay")},
         [](const commands::ReadOutValues& r) { return All(r.keyStatusNumber, r.keyDelaySeconds); },
         [](const commands::ReaderTypeInfo& i) { return i.readOut.keyStatus; },
         [](const Values& v, const std::string&, int) {
             return SetKeyStatus({v[0], v[1]});
         }},
        {"set-id-location",
         A::SetIdLocation,
         Section::Settings,
         {Number("sector"), Number("block"), Number("byte"), Slot(),
          Item("key-error", commands::kKeyErrorItems)},
         [](const commands::ReadOutValues& r) {
             return All(r.idSector, r.idBlock, r.idByte, r.idKeyB, r.idKeyError);
         },
         [](const commands::ReaderTypeInfo& i) { return i.readOut.cardIdLocation; },
         [](const Values& v, const std::string&, int) {
             return SetIdLocation({v[0], v[1], v[2], v[3] == 1, v[4]});
         }},
        // What no read-out reports: from what was typed, sent each time.
        {"set-read-mode",
         A::SetReadMode,
         Section::Typed,
         {Item("read-mode", commands::kResetModeItems)},
         {},
         Always,
         [](const Values& v, const std::string&, int) { return SetReadMode(v[0]); }},
        {"display-language",
         A::DisplayLanguage,
         Section::Typed,
         {Number("language")},
         {},
         Page(FunctionPage::Display),
         [](const Values& v, const std::string&, int) {
             return DisplayLanguage(static_cast<display::DisplayLanguage>(v[0]));
         }},
        {"display-screen-mode",
         A::DisplayScreenMode,
         Section::Typed,
         {Number("screen-mode")},
         {},
         Page(FunctionPage::Display),
         [](const Values& v, const std::string&, int) {
             return DisplayScreenMode(static_cast<display::ScreenMode>(v[0]));
         }},
        {"display-password",
         A::DisplayPassword,
         Section::Typed,
         {Text("password")},
         {},
         Page(FunctionPage::Display),
         [](const Values&, const std::string& t, int l) { return DisplayPassword(Typed(t, l)); },
         true},
        {"title-mode",
         A::TitleMode,
         Section::Typed,
         {Number("title-mode")},
         {},
         Page(FunctionPage::Display),
         [](const Values& v, const std::string&, int) {
             return TitleMode(static_cast<display::TitleMode>(v[0]));
         }},
        {"title",
         A::Title,
         Section::Typed,
         {Text("text")},
         {},
         Page(FunctionPage::Display),
         [](const Values& v, const std::string& t, int l) {
             return Title(v[0] == 1 ? display::TitleLine::First : display::TitleLine::Second,
                          Typed(t, l));
         },
         false,
         2,
         1},
        {"store-key",
         A::StoreKey,
         Section::Typed,
         {Slot(), Text("key")},
         {},
         Page(FunctionPage::Mifare),
         [](const Values& v, const std::string& t, int l) {
             return StoreKey(
                 v[0], {v[1] == 1 ? commands::mifare::KeySlot::B : commands::mifare::KeySlot::A,
                        Typed(t, l)});
         },
         true,
         kMaxSector,
         0},
        {"facility-code",
         A::FacilityCode,
         Section::Typed,
         {Number("facility-code")},
         {},
         Page(FunctionPage::Fingerprint),
         [](const Values& v, const std::string&, int) { return FacilityCode(v[0]); }},
        {"scan-mode",
         A::ScanMode,
         Section::Typed,
         {Number("scan-mode")},
         {},
         Page(FunctionPage::Fingerprint),
         [](const Values& v, const std::string&, int) { return ScanMode(v[0]); }},
        {"door-time",
         A::DoorTime,
         Section::Typed,
         {Text("seconds")},
         {},
         Page(FunctionPage::Fingerprint),
         [](const Values&, const std::string& t, int l) { return DoorTime(Typed(t, l)); }},
        {"alarm-time",
         A::AlarmTime,
         Section::Typed,
         {Text("seconds")},
         {},
         Page(FunctionPage::Fingerprint),
         [](const Values&, const std::string& t, int l) { return AlarmTime(Typed(t, l)); }},
        // Last, as the reader talks at the new settings from then on.
        {"set-line",
         A::SetLine,
         Section::Identity,
         {Item("settings", tblink::kLineSettingsTexts)},
         {},
         Always,
         [](const Values& v, const std::string&, int) { return SetLine(v[0]); }},
    };
    return table;
}

const char* SectionName(Section section) {
    switch (section) {
        case Section::Settings:
            return "settings";
        case Section::Typed:
            return "typed";
        case Section::Identity:
            return "identity";
    }
    return "";
}

std::string Trim(const std::string& text) {
    const auto space = [](char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; };
    const auto begin = std::find_if_not(text.begin(), text.end(), space);
    const auto end = std::find_if_not(text.rbegin(), text.rend(), space).base();
    return begin < end ? std::string(begin, end) : std::string();
}

bool SameWord(const std::string& a, const char* b) {
    const std::string w(b);
    return a.size() == w.size() && std::equal(a.begin(), a.end(), w.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

std::optional<int> Integer(const std::string& text) {
    if (text.empty() || text.size() > 6 || !std::all_of(text.begin(), text.end(), [](char c) {
            return std::isdigit(static_cast<unsigned char>(c));
        }))
        return std::nullopt;
    return std::stoi(text);
}

// The definition a name ("title.2") is of, and its number; null for none.
const Definition* Named(const std::string& name, int& suffix) {
    const std::size_t dot = name.find('.');
    const std::string base = name.substr(0, dot);
    for (const Definition& d : Definitions()) {
        if (base != d.name) continue;
        if ((dot == std::string::npos) != (d.suffixMax < 0)) return nullptr;
        if (dot == std::string::npos) return &d;
        const auto n = Integer(name.substr(dot + 1));
        if (!n || *n < d.suffixMin || *n > d.suffixMax) return nullptr;
        suffix = *n;
        return &d;
    }
    return nullptr;
}

// A setting's inputs, its number first when it has one, and its text.
struct Parsed {
    Values values;
    std::string text;
};

// The value in the file's form read; none when an input breaks its rule.
std::optional<Parsed> ParseValue(const Definition& d, int suffix, const std::string& value) {
    Parsed parsed;
    if (d.suffixMax >= 0) parsed.values.push_back(suffix);
    std::string rest = value;
    for (std::size_t i = 0; i < d.fields.size(); ++i) {
        const Field& f = d.fields[i];
        const bool last = i + 1 == d.fields.size();
        std::string word;
        if (last) {
            word = f.text ? rest : Trim(rest);
        } else {
            const std::size_t comma = rest.find(',');
            if (comma == std::string::npos) return std::nullopt;
            word = Trim(rest.substr(0, comma));
            rest = rest.substr(comma + 1);
            if (!rest.empty() && rest.front() == ' ') rest.erase(0, 1);
        }
        if (f.text) {
            if (word.find_first_of("\r\n") != std::string::npos) return std::nullopt;
            parsed.text = word;
            continue;
        }
        std::optional<int> n;
        for (int item = 0; item < f.itemCount && !n; ++item)
            if (SameWord(word, f.items[item])) n = item;
        if (!n) n = Integer(word);
        if (!n) return std::nullopt;
        const InputRule* rule = f.input ? Describe(d.action).input(f.input) : nullptr;
        const int min = rule ? rule->min : 0;
        const int max = rule ? rule->max : f.itemCount - 1;
        if (*n < min || *n > max) return std::nullopt;
        parsed.values.push_back(*n);
    }
    return parsed;
}

// Inputs in the file's form: list items by name, numbers as numbers.
std::string FormatValue(const Definition& d, const Values& values, const std::string& text) {
    std::string out;
    std::size_t v = d.suffixMax >= 0 ? 1 : 0;
    for (const Field& f : d.fields) {
        if (!out.empty()) out += ", ";
        if (f.text) {
            out += text;
        } else {
            const int n = values[v++];
            out += f.items && n >= 0 && n < f.itemCount ? f.items[n] : std::to_string(n);
        }
    }
    return out;
}

std::string Canonical(const Definition& d, int suffix, const std::string& value) {
    const auto parsed = ParseValue(d, suffix, value);
    return parsed ? FormatValue(d, parsed->values, parsed->text) : value;
}

const Definition& DefinitionOf(const Setting& setting) {
    int suffix = 0;
    return *Named(setting.name, suffix);
}

// What the read-out gives for a read-out setting, in the file's form.
std::optional<std::string> ReadValue(const Definition& d, const commands::ReadOutValues& r) {
    if (!d.read) return std::nullopt;
    const auto values = d.read(r);
    if (!values) return std::nullopt;
    return FormatValue(d, *values, {});
}

Reason Damaged(int line) { return {Msg::ProfileDamaged, {QString::number(line)}}; }

}  // namespace

const Setting* Profile::find(const std::string& name) const {
    const auto it = std::find_if(settings.begin(), settings.end(),
                                 [&](const Setting& s) { return s.name == name; });
    return it == settings.end() ? nullptr : &*it;
}

Profile FromReader(const Reader& reader, bool withSecrets, bool withIdentity) {
    Profile profile;
    profile.type = reader.type;
    const auto& info = commands::Info(reader.type);
    for (const Definition& d : Definitions()) {
        if (!d.has(info)) continue;
        if (d.section == Section::Settings) {
            if (const auto value = ReadValue(d, reader.readOut))
                profile.settings.push_back({d.name, *value, d.section, d.secret});
        } else if (d.section == Section::Typed) {
            if (d.secret && !withSecrets) continue;
            for (const auto& [name, value] : reader.typed) {
                int suffix = 0;
                if (Named(name, suffix) == &d && ParseValue(d, suffix, value))
                    profile.settings.push_back(
                        {name, Canonical(d, suffix, value), d.section, d.secret});
            }
        } else if (withIdentity && reader.identity) {
            const Values v{d.action == ActionId::SetId ? reader.identity->id
                                                       : reader.identity->settingsIndex};
            profile.settings.push_back({d.name, FormatValue(d, v, {}), d.section, false});
        }
    }
    return profile;
}

bool HoldsSecrets(const Profile& profile) {
    return std::any_of(profile.settings.begin(), profile.settings.end(),
                       [](const Setting& s) { return s.secret; });
}

std::string Write(const Profile& profile) {
    std::ostringstream out;
    out << "# Tag Bench reader profile: apply it with File > Apply reader profile... or\n"
           "# tagbench-cli profile apply. Settings are named as tagbench-cli's subcommands.\n"
           "[profile]\nformat = "
        << kFormat << "\ntype = " << commands::Info(profile.type).name << "\n";
    for (Section section : {Section::Settings, Section::Typed, Section::Identity}) {
        bool first = true;
        for (const Setting& s : profile.settings) {
            if (s.section != section) continue;
            if (first) {
                out << "\n[" << SectionName(section) << "]\n";
                if (section == Section::Typed)
                    out << "# typed: the reader cannot report these; sent on every apply\n";
                if (section == Section::Identity)
                    out << "# applied only with --with-identity, or when confirmed\n";
                first = false;
            }
            out << s.name << " = " << s.value << "\n";
        }
    }
    return out.str();
}

std::optional<Profile> Parse(const std::string& text, Reason& why) {
    Profile profile;
    std::optional<int> format;
    std::optional<commands::ReaderType> type;
    std::string section;
    std::istringstream in(text);
    int line = 0;
    for (std::string raw; std::getline(in, raw);) {
        ++line;
        if (!raw.empty() && raw.back() == '\r') raw.pop_back();
        const std::string trimmed = Trim(raw);
        if (trimmed.empty() || trimmed.front() == '#') continue;
        if (trimmed.front() == '[') {
            if (trimmed.back() != ']') return why = Damaged(line), std::nullopt;
            section = trimmed.substr(1, trimmed.size() - 2);
            if (section != "profile" && section != "settings" && section != "typed" &&
                section != "identity")
                return why = Damaged(line), std::nullopt;
            continue;
        }
        const std::size_t equals = raw.find('=');
        if (equals == std::string::npos || section.empty())
            return why = Damaged(line), std::nullopt;
        const std::string name = Trim(raw.substr(0, equals));
        std::string value = raw.substr(equals + 1);
        if (!value.empty() && value.front() == ' ') value.erase(0, 1);  // "name = value"
        if (section == "profile") {
            if (name == "format") {
                format = Integer(Trim(value));
                if (!format) return why = Damaged(line), std::nullopt;
                if (*format != kFormat)
                    return why = {Msg::ProfileFormat, {QString::number(*format)}}, std::nullopt;
            } else if (name == "type") {
                type = commands::ReaderTypeNamed(Trim(value));
                if (!type) return why = Damaged(line), std::nullopt;
            } else {
                return why = Damaged(line), std::nullopt;
            }
            continue;
        }
        int suffix = 0;
        const Definition* d = Named(name, suffix);
        if (!d || SectionName(d->section) != section || profile.find(name))
            return why = {Msg::ProfileUnknownSetting, {QString::fromStdString(name)}}, std::nullopt;
        if (!ParseValue(*d, suffix, value))
            return why = {Msg::ProfileBadValue,
                          {QString::fromStdString(name), QString::fromStdString(Trim(value))}},
                   std::nullopt;
        profile.settings.push_back({name, Canonical(*d, suffix, value), d->section, d->secret});
    }
    if (!format || !type) return why = Damaged(line), std::nullopt;
    profile.type = *type;
    for (const Setting& s : profile.settings)
        if (!DefinitionOf(s).has(commands::Info(*type)))
            return why = {Msg::ProfileUnknownSetting, {QString::fromStdString(s.name)}},
                   std::nullopt;
    // Applied in the table's order, whatever the file's.
    const auto rank = [](const Setting& s) {
        const Definition& d = DefinitionOf(s);
        return &d - Definitions().data();
    };
    std::stable_sort(profile.settings.begin(), profile.settings.end(),
                     [&](const Setting& a, const Setting& b) { return rank(a) < rank(b); });
    return profile;
}

std::optional<Profile> ParseFor(const std::string& text, commands::ReaderType type, Reason& why) {
    auto profile = Parse(text, why);
    if (profile && profile->type != type) {
        why = {Msg::ProfileOtherType,
               {commands::Info(profile->type).name, commands::Info(type).name}};
        return std::nullopt;
    }
    return profile;
}

std::optional<Profile> Load(const QString& path, commands::ReaderType type, Reason& why) {
    QFile in(path);
    constexpr qint64 kMaxBytes = 64 * 1024;  // far above any profile
    if (!in.open(QIODevice::ReadOnly)) {
        why = {Msg::TemplateFileUnreadable, {}};
        return std::nullopt;
    }
    const QByteArray bytes = in.read(kMaxBytes + 1);
    if (bytes.size() > kMaxBytes || bytes.contains('\0')) {
        why = Damaged(1);
        return std::nullopt;
    }
    return ParseFor(bytes.toStdString(), type, why);
}

std::optional<Reason> Save(const QString& path, const Profile& profile) {
    QFile out(path);
    // Owner only before a byte of a key or password is in it.
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        (HoldsSecrets(profile) &&
         !out.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner)))
        return Reason{Msg::TemplateFileUnwritable, {}};
    const std::string text = Write(profile);
    if (out.write(text.data(), static_cast<qint64>(text.size())) !=
            static_cast<qint64>(text.size()) ||
        !out.flush())
        return Reason{Msg::TemplateFileUnwritable, {}};
    return std::nullopt;
}

std::vector<Change> Plan(const Profile& profile, const Reader& reader, bool withIdentity) {
    std::vector<Change> changes;
    for (const Setting& s : profile.settings) {
        const Definition& d = DefinitionOf(s);
        std::string now;
        if (s.section == Section::Settings) {
            now = ReadValue(d, reader.readOut).value_or("");
        } else if (s.section == Section::Identity) {
            if (!withIdentity || !reader.identity) continue;
            now = FormatValue(d,
                              {d.action == ActionId::SetId ? reader.identity->id
                                                           : reader.identity->settingsIndex},
                              {});
        }
        if (now != s.value) changes.push_back({s, now, s.value});
    }
    return changes;
}

Request RequestFor(const Setting& setting, int language) {
    int suffix = 0;
    const Definition* d = Named(setting.name, suffix);
    const auto parsed = ParseValue(*d, suffix, setting.value);
    return d->make(parsed->values, parsed->text, language);
}

const char* StatusName(Status status) {
    switch (status) {
        case Status::Changed:
            return "changed";
        case Status::Unchanged:
            return "unchanged";
        case Status::Failed:
            return "failed";
        case Status::NotSent:
            return "not sent";
    }
    return "";
}

std::vector<Result> Apply(const Profile& profile, const std::vector<Change>& changes,
                          const std::function<Outcome(const Request&, const Setting&)>& perform,
                          const std::function<std::optional<Reader>()>& readBack, int language) {
    std::vector<Result> results;
    for (const Setting& s : profile.settings) {
        const auto change = std::find_if(changes.begin(), changes.end(),
                                         [&](const Change& c) { return c.setting.name == s.name; });
        if (change == changes.end() && s.section == Section::Identity) continue;
        Result r{s.name, s.value, s.value, Status::Unchanged};
        if (change != changes.end()) {
            r.now = change->now;
            r.status = Status::NotSent;
        }
        results.push_back(r);
    }
    bool stopped = false;
    for (Result& r : results) {
        if (r.status != Status::NotSent || stopped) continue;
        const Setting& s = *profile.find(r.name);
        const Outcome outcome = perform(RequestFor(s, language), s);
        r.status = outcome.ok() ? Status::Changed : Status::Failed;
        stopped = !outcome.ok();
    }
    if (stopped || !readBack) return results;
    const auto after = readBack();
    for (Result& r : results) {
        const Setting& s = *profile.find(r.name);
        if (s.section != Section::Settings) continue;
        const auto value = after ? ReadValue(DefinitionOf(s), after->readOut) : std::nullopt;
        if (value != s.value) r.status = Status::Failed;
    }
    return results;
}

}  // namespace actions::profile
