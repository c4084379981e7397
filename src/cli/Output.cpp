#include "cli/Output.h"

#include <algorithm>
#include <ostream>

#include "cli/Operations.h"
#include "commands/Session.h"
#include "commands/config/ListItems.h"
#include "link/LineSettingsList.h"

namespace cli {

std::string ComName(int port) { return "COM" + std::to_string(port); }

std::string LineSettingsText(int index) { return tblink::kLineSettingsTexts[index]; }

std::optional<std::string> NonEmpty(const std::string& text) {
    return text.empty() ? std::nullopt : std::optional<std::string>(text);
}

std::string TrimEnd(std::string text) {
    while (!text.empty() && text.back() == ' ') text.pop_back();
    return text;
}

namespace {

std::vector<std::size_t> Widths(const std::vector<std::vector<std::string>>& rows) {
    std::vector<std::size_t> widths;
    for (const auto& row : rows)
        for (std::size_t c = 0; c < row.size(); ++c) {
            if (widths.size() <= c) widths.push_back(0);
            widths[c] = std::max(widths[c], row[c].size());
        }
    return widths;
}

void Row(std::ostream& out, const std::vector<std::size_t>& widths,
         const std::vector<std::string>& row) {
    std::string line;
    for (std::size_t c = 0; c < row.size(); ++c) {
        line += row[c];
        const std::size_t width = c < widths.size() ? std::max(widths[c], row[c].size()) : 0;
        if (c + 1 < row.size()) line += std::string(width - row[c].size() + 2, ' ');
    }
    out << TrimEnd(line) << '\n';
}

}  // namespace

void PrintTable(std::ostream& out, const std::vector<std::vector<std::string>>& rows) {
    const auto widths = Widths(rows);
    for (const auto& row : rows) Row(out, widths, row);
}

void PrintTableRow(std::ostream& out, const std::vector<std::vector<std::string>>& sizing,
                   const std::vector<std::string>& row) {
    Row(out, Widths(sizing), row);
}

std::vector<Setting> Settings(const commands::ReadOutValues& v) {
    using namespace commands;
    std::vector<Setting> s;
    const auto item = [&](const char* key, const char* label, const std::optional<int>& value,
                          auto items) {
        if (value) s.push_back({key, label, ItemText(items, *value), std::nullopt});
    };
    const auto number = [&](const char* key, const char* label, const std::optional<int>& value,
                            bool twoDigits) {
        if (value)
            s.push_back(
                {key, label, twoDigits ? TwoDigits(*value) : std::to_string(*value), value});
    };
    item("interface", "interface", v.mode, kModeItems);
    item("wiegand", "wiegand", v.wiegand, kWiegandItems);
    item("rs485", "rs485", v.rs485, kRs485Items);
    item("cardType", "card type", v.cardType, kCardTypeItems);
    number("keyNumber", "key number", v.keyNumber, true);
    item("keyParity", "key parity", v.keyParity, kKeyParityItems);
    number("keyStatusNumber", "key status number", v.keyStatusNumber, true);
    number("keyDelaySeconds", "key delay (s)", v.keyDelaySeconds, true);
    number("idSector", "card ID sector", v.idSector, true);
    number("idBlock", "card ID block", v.idBlock, false);
    number("idByte", "card ID byte", v.idByte, false);
    if (v.idKeyB)
        s.push_back(
            {"idKey", "card ID key", English(*v.idKeyB ? text::Msg::KeyB : text::Msg::KeyA), {}});
    item("idKeyError", "key error signal", v.idKeyError, kKeyErrorItems);
    return s;
}

void AddSettings(JsonObject& json, const std::vector<Setting>& settings) {
    for (const Setting& setting : settings) {
        if (setting.number)
            json.add(setting.key, *setting.number);
        else
            json.add(setting.key, setting.text);
    }
}

void PrintSettings(std::ostream& out, const std::vector<Setting>& settings,
                   const std::vector<std::pair<std::string, std::string>>& head) {
    std::vector<std::vector<std::string>> table;
    for (const auto& [label, value] : head) table.push_back({label, value});
    for (const Setting& setting : settings) table.push_back({setting.label, setting.text});
    PrintTable(out, table);
}

}  // namespace cli
