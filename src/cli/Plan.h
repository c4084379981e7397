// The provisioning table of `tagbench-cli apply`: one reader a row, the columns named by a
// header row. A cell that names nothing valid spoils only its own row; a header that names an
// unknown column spoils the whole table, since every row would then be read wrongly.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "commands/ReaderTypes.h"
#include "commands/config/Identity.h"

namespace cli {

struct CsvRecord {
    int line = 0;  // where the record starts in the file, from 1
    std::vector<std::string> fields;
};

// Comma-separated records; a field in double quotes may hold commas, line breaks and "" for a
// quote. Blank lines and lines starting with # are skipped. Nullopt, with `error`, for a quote
// that is never closed or text after a closing quote.
std::optional<std::vector<CsvRecord>> ParseCsv(const std::string& text, std::string& error);
// One field as a CSV writer quotes it: in quotes when it holds a comma, quote or line break, starts
// with "#" or has blanks at either end, so ParseCsv reads it back as it was.
std::string CsvField(const std::string& field);

struct PlanRow {
    int line = 0;
    std::optional<int> port;
    std::optional<int> settingsIndex;
    std::optional<commands::ReaderType> type;
    std::optional<std::string> id;  // two digits; empty: found with the probe to ID 00
    std::optional<std::string> newId;
    std::optional<commands::InterfaceSettings> interface;
    std::optional<int> cardType;
    std::optional<int> newSettingsIndex;
    std::optional<std::string> profile;  // a profile file, applied without its identity
    std::string error;  // a cell that names nothing valid: the row is not carried out
};

// The rows of a plan. Cells left empty take `defaults` (its port, settings and type); a row
// without a port is in error. Two rows that give one port the same new ID spoil the table.
std::optional<std::vector<PlanRow>> ParsePlan(const std::string& text, const PlanRow& defaults,
                                              std::string& error);

}  // namespace cli
