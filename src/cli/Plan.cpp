#include "cli/Plan.h"

#include <algorithm>
#include <cctype>
#include <sstream>

#include "cli/Options.h"
#include "commands/config/ListItems.h"

namespace cli {
namespace {

enum class Column { Port, Settings, Type, Id, NewId, Interface, CardType, NewSettings, Profile };

struct ColumnName {
    const char* name;
    Column column;
};
const ColumnName kColumns[] = {
    {"port", Column::Port},          {"settings", Column::Settings},
    {"type", Column::Type},          {"id", Column::Id},
    {"new_id", Column::NewId},       {"interface", Column::Interface},
    {"card_type", Column::CardType}, {"new_settings", Column::NewSettings},
    {"profile", Column::Profile},
};

std::string Trim(const std::string& text) {
    const auto space = [](char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; };
    const auto begin = std::find_if_not(text.begin(), text.end(), space);
    const auto end = std::find_if_not(text.rbegin(), text.rend(), space).base();
    return begin < end ? std::string(begin, end) : std::string();
}

// "New-ID" and "new_id" name the same column.
std::string ColumnKey(const std::string& text) {
    std::string key;
    for (char c : Trim(text))
        key += c == '-' || c == ' '
                   ? '_'
                   : static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return key;
}

std::vector<std::string> Words(const std::string& text) {
    std::istringstream in(text);
    std::vector<std::string> words;
    for (std::string word; in >> word;) words.push_back(word);
    return words;
}

bool BlankRecord(const CsvRecord& record) {
    return std::all_of(record.fields.begin(), record.fields.end(),
                       [](const std::string& field) { return Trim(field).empty(); });
}

// One cell into the row; false, with the row's error set, when it names nothing valid.
bool Take(PlanRow& row, Column column, const std::string& cell) {
    const auto fail = [&](const std::string& what) {
        row.error = what + " '" + cell + "'";
        return false;
    };
    switch (column) {
        case Column::Port:
            row.port = ParsePort(cell);
            return row.port ? true : fail("port: not a port such as COM3:");
        case Column::Settings:
            row.settingsIndex = ParseLineSettings(cell);
            return row.settingsIndex ? true : fail("settings: not one of the 14 line settings:");
        case Column::Type:
            row.type = commands::ReaderTypeNamed(cell);
            return row.type ? true : fail("type: not a reader type:");
        case Column::Id:
            row.id = ParseReaderId(cell);
            return row.id ? true : fail("id: not a reader ID 1 to 99:");
        case Column::NewId:
            row.newId = ParseReaderId(cell);
            return row.newId ? true : fail("new_id: not a reader ID 1 to 99:");
        case Column::Interface:
            row.interface = ParseInterface(Words(cell));
            return row.interface ? true
                                 : fail("interface: not MODE WIEGAND RS485 (wiegand 26 32):");
        case Column::CardType:
            row.cardType = ItemNamed(commands::kCardTypeItems, cell);
            return row.cardType ? true : fail("card_type: not EM, KORVA or SECURITY:");
        case Column::NewSettings:
            row.newSettingsIndex = ParseLineSettings(cell);
            return row.newSettingsIndex ? true
                                        : fail("new_settings: not one of the 14 line settings:");
        case Column::Profile:
            row.profile = cell;
            return true;
    }
    return false;
}

}  // namespace

std::optional<std::vector<CsvRecord>> ParseCsv(const std::string& text, std::string& error) {
    std::vector<CsvRecord> records;
    CsvRecord record;
    std::string field;
    int line = 1;
    bool quoted = false;     // inside quotes
    bool wasQuoted = false;  // the field had quotes: only a separator may follow them
    bool atRecordStart = true;
    const auto endField = [&] {
        record.fields.push_back(wasQuoted ? field : Trim(field));
        field.clear();
        wasQuoted = false;
    };
    const auto endRecord = [&] {
        endField();
        if (!BlankRecord(record)) records.push_back(record);
        record = CsvRecord{};
        atRecordStart = true;
    };
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (atRecordStart) {
            record.line = line;
            atRecordStart = false;
            if (c == '#') {  // a comment runs to the end of its line
                while (i < text.size() && text[i] != '\n') ++i;
                ++line;
                atRecordStart = true;
                continue;
            }
        }
        if (quoted) {
            if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
                field += '"';
                ++i;
            } else if (c == '"') {
                quoted = false;
            } else {
                if (c == '\n') ++line;
                field += c;
            }
            continue;
        }
        if (c == '"' && Trim(field).empty() && !wasQuoted) {
            field.clear();
            quoted = wasQuoted = true;
        } else if (c == ',') {
            endField();
        } else if (c == '\n' || c == '\r') {
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
            endRecord();
            ++line;
        } else if (wasQuoted && !std::isspace(static_cast<unsigned char>(c))) {
            error = "line " + std::to_string(line) + ": text after a closing quote";
            return std::nullopt;
        } else if (!wasQuoted) {
            field += c;
        }
    }
    if (quoted) {
        error = "line " + std::to_string(record.line) + ": a quote that is never closed";
        return std::nullopt;
    }
    if (!atRecordStart) endRecord();
    return records;
}

std::string CsvField(const std::string& field) {
    // A reader of the file would take a leading "#" for a comment and trim blanks at the ends.
    const auto space = [](char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; };
    const bool plain =
        field.find_first_of(",\"\r\n") == std::string::npos &&
        (field.empty() || (field.front() != '#' && !space(field.front()) && !space(field.back())));
    if (plain) return field;
    std::string quoted = "\"";
    for (char c : field) {
        if (c == '"') quoted += '"';
        quoted += c;
    }
    return quoted + "\"";
}

std::optional<std::vector<PlanRow>> ParsePlan(const std::string& text, const PlanRow& defaults,
                                              std::string& error) {
    const auto records = ParseCsv(text, error);
    if (!records) return std::nullopt;
    if (records->empty()) {
        error = "the plan has no header row";
        return std::nullopt;
    }
    std::vector<Column> columns;
    for (const std::string& name : records->front().fields) {
        const std::string key = ColumnKey(name);
        const auto known = std::find_if(std::begin(kColumns), std::end(kColumns),
                                        [&](const ColumnName& c) { return key == c.name; });
        if (known == std::end(kColumns)) {
            error = "the plan's header names an unknown column '" + name + "'";
            return std::nullopt;
        }
        if (std::find(columns.begin(), columns.end(), known->column) != columns.end()) {
            error = "the plan's header names the column '" + name + "' twice";
            return std::nullopt;
        }
        columns.push_back(known->column);
    }
    std::vector<PlanRow> rows;
    for (std::size_t r = 1; r < records->size(); ++r) {
        const CsvRecord& record = (*records)[r];
        PlanRow row = defaults;
        row.line = record.line;
        row.error.clear();
        for (std::size_t c = 0; c < record.fields.size() && c < columns.size(); ++c) {
            if (record.fields[c].empty()) continue;
            if (!Take(row, columns[c], record.fields[c])) break;
        }
        // Extra cells explain a bad cell before them too: usually unquoted line settings.
        if (record.fields.size() > columns.size())
            row.error = "more cells than the header names (quote line settings: \"9600,n,8,1\")";
        if (row.error.empty() && !row.port) row.error = "port: empty, and no --port given";
        rows.push_back(row);
    }
    // Two readers of one ID on one line would answer each other's commands.
    for (auto a = rows.begin(); a != rows.end(); ++a) {
        if (!a->error.empty() || !a->newId) continue;
        const auto b = std::find_if(a + 1, rows.end(), [&](const PlanRow& later) {
            return later.error.empty() && later.newId == a->newId && later.port == a->port;
        });
        if (b == rows.end()) continue;
        error = "lines " + std::to_string(a->line) + " and " + std::to_string(b->line) +
                " both give COM" + std::to_string(*a->port) + " the new ID " + *a->newId;
        return std::nullopt;
    }
    return rows;
}

}  // namespace cli
