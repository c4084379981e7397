// What the pages print, shared: text tables of settings and readers, and their JSON members.
#pragma once

#include <array>
#include <iosfwd>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "cli/Json.h"
#include "commands/config/ReadOut.h"

namespace cli {

std::string ComName(int port);  // "COM3"
std::string LineSettingsText(int index);
// Empty texts are null in JSON.
std::optional<std::string> NonEmpty(const std::string& text);
std::string TrimEnd(std::string text);

// Columns padded to their widest cell, two spaces apart; the last column is not padded.
void PrintTable(std::ostream& out, const std::vector<std::vector<std::string>>& rows);
// One row of such a table, its columns as wide as in `sizing` (or as its own cell, if wider).
void PrintTableRow(std::ostream& out, const std::vector<std::vector<std::string>>& sizing,
                   const std::vector<std::string>& row);

template <std::size_t N>
std::string ItemText(const std::array<const char*, N>& items, int index) {
    return index >= 0 && index < static_cast<int>(N) ? items[index] : std::to_string(index);
}

// A setting by name, as `info` and the gets print it.
struct Setting {
    const char* key;    // JSON member
    const char* label;  // text line
    std::string text;
    std::optional<int> number;  // JSON number, when the setting is one
};

std::vector<Setting> Settings(const commands::ReadOutValues& values);
// Each setting as a member: a number where it is one.
void AddSettings(JsonObject& json, const std::vector<Setting>& settings);
// A table of label and value: `head`'s rows, then the settings'.
void PrintSettings(std::ostream& out, const std::vector<Setting>& settings,
                   const std::vector<std::pair<std::string, std::string>>& head);

}  // namespace cli
