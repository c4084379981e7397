#include "cli/Options.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

#include <QDate>
#include <QString>
#include <QTime>

#include "cli/Registry.h"
#include "commands/Session.h"
#include "commands/config/ListItems.h"
#include "link/LineSettingsList.h"

namespace cli {
namespace {

constexpr std::array<const char*, 3> kCodePageNames = {"1252", "gbk", "big5"};

std::string Lower(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return lower;
}

std::vector<std::string_view> Split(std::string_view text, char separator) {
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = text.find(separator, start);
        parts.push_back(text.substr(start, end == std::string_view::npos ? end : end - start));
        if (end == std::string_view::npos) return parts;
        start = end + 1;
    }
}

}  // namespace

bool AllDigits(std::string_view text) {
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) {
        return std::isdigit(static_cast<unsigned char>(c)) != 0;
    });
}

int Invocation::lineSettings() const {
    return settingsIndex.value_or(tblink::kDefaultLineSettingsIndex);
}

std::string Invocation::name() const { return subcommand ? subcommand->name : "help"; }

bool Reading::bad(const std::string& message) {
    error = message;
    return false;
}

bool Reading::integer(const std::string& text, const std::string& what, int& value) {
    const auto number = ParseInteger(text);
    if (!number) return bad(what + " '" + text + "' is not a number");
    value = *number;
    return true;
}

bool Reading::item(const char* const* names, int count, const std::string& text, int& index,
                   const std::string& what) {
    const auto found = ItemNamed(names, count, text);
    if (!found) {
        std::string list;
        for (int i = 0; i < count; ++i)
            list += std::string(i == 0 ? "" : i + 1 == count ? " or " : ", ") + names[i];
        return bad(what + ": '" + text + "' is not " + list);
    }
    index = *found;
    return true;
}

bool Reading::hex(const std::string& text, std::size_t digits, const std::string& what) {
    const bool hexDigits = std::all_of(text.begin(), text.end(), [](char c) {
        return std::isxdigit(static_cast<unsigned char>(c)) != 0;
    });
    if (text.size() != digits || !hexDigits)
        return bad(what + " '" + text + "' is not " + std::to_string(digits) +
                   " hexadecimal characters");
    return true;
}

std::string Upper(const std::string& text) {
    return QString::fromUtf8(text.c_str()).toUpper().toStdString();
}

std::string TypeNames(std::optional<commands::FunctionPage> page) {
    std::string names;
    for (const auto& info : commands::ReaderTypes()) {
        if (page && !info.Shows(*page)) continue;
        names += (names.empty() ? "" : ", ") + std::string(info.name);
    }
    return names;
}

std::optional<std::vector<int>> ParsePortList(std::string_view text, std::string& bad) {
    std::vector<int> ports;
    if (Lower(text) == "all") return ports;
    for (std::string_view part : Split(text, ',')) {
        const auto port = ParsePort(part);
        if (!port) {
            bad = std::string(part);
            return std::nullopt;
        }
        if (std::find(ports.begin(), ports.end(), *port) == ports.end()) ports.push_back(*port);
    }
    return ports;
}

std::optional<commands::display::HourFormat> ParseHourFormat(std::string_view text) {
    const std::string lower = Lower(text);
    if (lower == "12" || lower == "12h") return commands::display::HourFormat::TwelveHour;
    if (lower == "24" || lower == "24h") return commands::display::HourFormat::TwentyFourHour;
    return std::nullopt;
}

std::optional<int> ParseInteger(std::string_view text) {
    if (!AllDigits(text) || text.size() > 9) return std::nullopt;
    return std::atoi(std::string(text).c_str());
}

std::optional<int> ParseNumber(std::string_view text, int low, int high) {
    if (!AllDigits(text) || text.size() > 9) return std::nullopt;
    const int value = std::atoi(std::string(text).c_str());
    if (value < low || value > high) return std::nullopt;
    return value;
}

std::optional<int> ParsePort(std::string_view text) {
    std::string upper = Lower(text);
    if (upper.compare(0, 3, "com") == 0) upper = upper.substr(3);
    if (upper.empty() || upper[0] == '0') return std::nullopt;
    return ParseNumber(upper, 1, 9999);
}

std::optional<int> ParseLineSettings(std::string_view text) {
    if (AllDigits(text)) return ParseNumber(text, 0, tblink::kLineSettingsCount - 1);
    const std::string lower = Lower(text);
    for (int i = 0; i < tblink::kLineSettingsCount; ++i)
        if (lower == tblink::kLineSettingsTexts[i]) return i;
    return std::nullopt;
}

std::optional<std::string> ParseReaderId(std::string_view text) {
    if (text.size() > 2) return std::nullopt;
    const auto id = ParseNumber(text, 1, 99);
    if (!id) return std::nullopt;
    return commands::TwoDigits(*id);
}

std::optional<std::vector<int>> ParseIdList(std::string_view text) {
    std::vector<int> ids;
    for (std::string_view part : Split(text, ',')) {
        const auto range = Split(part, '-');
        if (range.size() > 2) return std::nullopt;
        const auto first = ParseNumber(range.front(), 1, 99);
        const auto last = ParseNumber(range.back(), 1, 99);
        if (!first || !last || *last < *first) return std::nullopt;
        for (int id = *first; id <= *last; ++id) ids.push_back(id);
    }
    std::sort(ids.begin(), ids.end());
    ids.erase(std::unique(ids.begin(), ids.end()), ids.end());
    return ids;
}

std::optional<int> ItemNamed(const char* const* items, int count, std::string_view text) {
    const std::string wanted = Lower(text);
    if (wanted.empty()) return std::nullopt;
    for (int i = 0; i < count; ++i)
        if (Lower(items[i]) == wanted) return i;
    if (AllDigits(wanted)) {
        for (int i = 0; i < count; ++i) {
            const std::string_view item = items[i];
            const std::size_t space = item.rfind(' ');
            if (space != std::string_view::npos && item.substr(space + 1) == wanted) return i;
        }
        return std::nullopt;
    }
    std::optional<int> match;
    for (int i = 0; i < count; ++i) {
        if (Lower(items[i]).compare(0, wanted.size(), wanted) != 0) continue;
        if (match) return std::nullopt;  // the start of more than one item
        match = i;
    }
    return match;
}

std::optional<commands::InterfaceSettings> ParseInterface(const std::vector<std::string>& words) {
    if (words.size() != 3) return std::nullopt;
    const auto mode = ItemNamed(commands::kModeItems, words[0]);
    const auto wiegand = ItemNamed(commands::kWiegandItems, words[1]);
    const auto rs485 = ItemNamed(commands::kRs485Items, words[2]);
    if (!mode || !wiegand || !rs485) return std::nullopt;
    return commands::InterfaceSettings{*mode, *wiegand, *rs485};
}

std::optional<commands::mifare::KeySlot> ParseKeySlot(std::string_view text) {
    const std::string lower = Lower(text);
    if (lower == "a") return commands::mifare::KeySlot::A;
    if (lower == "b") return commands::mifare::KeySlot::B;
    return std::nullopt;
}

std::optional<commands::mifare::SectorConditions> ParseConditions(std::string_view text) {
    const auto parts = Split(text, ',');
    if (parts.size() != 4) return std::nullopt;
    commands::mifare::SectorConditions conditions{};
    for (std::size_t part = 0; part < 4; ++part) {
        const std::string_view bits = parts[part];
        if (bits.size() != 3 || bits.find_first_not_of("01") != std::string_view::npos)
            return std::nullopt;
        conditions[part] =
            commands::mifare::MakeCondition(bits[0] - '0', bits[1] - '0', bits[2] - '0');
    }
    return conditions;
}

std::optional<commands::display::ClockValue> ParseClock(std::string_view text) {
    if (text.size() != 19 || (text[10] != ' ' && text[10] != 'T')) return std::nullopt;
    const QString whole = QString::fromLatin1(text.data(), static_cast<int>(text.size()));
    const QDate date = QDate::fromString(whole.left(10), "yyyy-MM-dd");
    const QTime time = QTime::fromString(whole.mid(11), "HH:mm:ss");
    if (!date.isValid() || !time.isValid()) return std::nullopt;
    return commands::display::ClockValue{date.year(), date.month(),  date.day(),
                                         time.hour(), time.minute(), time.second()};
}

std::optional<int> ParseCodePage(std::string_view text) {
    const std::string lower = Lower(text);
    for (int page = 0; page < static_cast<int>(kCodePageNames.size()); ++page)
        if (lower == kCodePageNames[page]) return page;
    return std::nullopt;
}

std::string CodePageText(int codePage) {
    return codePage >= 0 && codePage < static_cast<int>(kCodePageNames.size())
               ? kCodePageNames[codePage]
               : kCodePageNames[kCodePage1252];
}

}  // namespace cli
