// The provisioning table of `tagbench-cli apply`: one reader a row, the columns named by a
// header row. A cell that names nothing valid spoils only its own row; a header that names an
// unknown column spoils the whole table, since every row would then be read wrongly.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "cli/Options.h"
#include "commands/ReaderTypes.h"
#include "commands/config/Identity.h"

namespace cli {

struct CsvRecord {
    int line = 0;  // where the record starts in the file, from 1
    std::vector<std::string> fields;
};

// Records separated by `delimiter` (a comma, or the semicolon of many spreadsheets); a field in
// double quotes may hold delimiters, line breaks and "" for a quote. Blank lines and lines
// starting with # are skipped. Nullopt, with `error`, for a quote that is never closed or text
// after a closing quote.
std::optional<std::vector<CsvRecord>> ParseCsv(const std::string& text, std::string& error,
                                               char delimiter = ',');
// One field as a CSV writer quotes it: in quotes when it holds the delimiter, a quote or a line
// break, starts with "#" or has blanks at either end, so ParseCsv reads it back as it was.
std::string CsvField(const std::string& field, char delimiter = ',');

// A cell longer than this is no setting: a stray quote swallowed the lines after it, or the file
// is not a plan.
constexpr std::size_t kMaxPlanCell = 256;

// How a plan file is written.
struct PlanFormat {
    char delimiter = 0;  // 0: a semicolon when the header line has more of them than commas
    std::vector<std::string> ignored;  // columns of notes, by name: their cells are not read
};
// The file's bytes as UTF-8 text, a byte-order mark dropped. Nullopt, with `error`, for UTF-16,
// which a spreadsheet writes as "Unicode text".
std::optional<std::string> PlanText(const std::string& bytes, std::string& error);
// The delimiter `format` gives, else the one the header line of `text` uses.
char PlanDelimiter(const std::string& text, const PlanFormat& format);

// A setting a subcommand makes, read from its own column: the subcommand's command line as
// tagbench-cli would take it, run through the same action.
struct PlanStep {
    std::string column;
    Invocation run;
};

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
    std::vector<PlanStep> steps;         // after card_type, before new_settings, in column order
    std::optional<std::string> profile;  // a profile file, applied last, without its identity
    std::string error;  // a cell that names nothing valid: the row is not carried out
};

// The rows of a plan, from the file's bytes. Cells left empty take `defaults` (its port, settings
// and type); a row without a port is in error. Two rows that give one port the same new ID, a
// column named in `format.ignored` that the header lacks, or a cell longer than kMaxPlanCell
// spoil the table.
std::optional<std::vector<PlanRow>> ParsePlan(const std::string& bytes, const PlanRow& defaults,
                                              std::string& error, const PlanFormat& format = {});

}  // namespace cli
