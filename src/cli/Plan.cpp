#include "cli/Plan.h"

#include <QString>
#include <algorithm>
#include <cctype>
#include <sstream>

#include "cli/Options.h"
#include "cli/Registry.h"
#include "cli/Runner.h"
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

// Settings that a subcommand of their own makes: the column is named after it (without "set-")
// and takes its arguments; `fixed` comes first where the name already says it (the title line).
struct StepColumn {
    const char* name;
    const char* subcommand;
    const char* fixed;
};
const StepColumn kStepColumns[] = {
    {"read_mode", "set-read-mode", nullptr},
    {"key_parity", "set-key-parity", nullptr},
    {"key_number", "set-key-number", nullptr},
    {"key_status", "set-key-status", nullptr},
    {"id_location", "set-id-location", nullptr},
    {"display_language", "display-language", nullptr},
    {"display_password", "display-password", nullptr},
    {"display_screen_mode", "display-screen-mode", nullptr},
    {"title_1", "title", "1"},
    {"title_2", "title", "2"},
    {"title_mode", "title-mode", nullptr},
    {"facility_code", "facility-code", nullptr},
    {"scan_mode", "scan-mode", nullptr},
};
// Options of those subcommands: a cell goes to each step of its row whose subcommand takes it.
const char* const kOptionColumns[] = {"key", "key_error", "code_page"};

// What a header cell names.
struct HeaderColumn {
    enum class Kind { Plain, Step, Option, Ignored } kind = Kind::Plain;
    Column column = Column::Port;
    const StepColumn* step = nullptr;
    std::string name;  // as the header has it
    std::string key;   // ColumnKey of it
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

// The header's columns; nullopt, with `error`, when one names nothing or is named twice, or a
// column of notes is missing (a misspelt name would let its notes be read as settings).
std::optional<std::vector<HeaderColumn>> Header(const CsvRecord& header, const PlanFormat& format,
                                                std::string& error) {
    std::vector<HeaderColumn> columns;
    for (const std::string& name : header.fields) {
        HeaderColumn column;
        column.name = name;
        column.key = ColumnKey(name);
        const auto is = [&](const char* key) { return column.key == key; };
        const auto plain = std::find_if(std::begin(kColumns), std::end(kColumns),
                                        [&](const ColumnName& c) { return is(c.name); });
        const auto step = std::find_if(std::begin(kStepColumns), std::end(kStepColumns),
                                       [&](const StepColumn& c) { return is(c.name); });
        if (std::any_of(format.ignored.begin(), format.ignored.end(),
                        [&](const std::string& ignored) { return is(ColumnKey(ignored).c_str()); }))
            column.kind = HeaderColumn::Kind::Ignored;
        else if (plain != std::end(kColumns))
            column.column = plain->column;
        else if (step != std::end(kStepColumns))
            column.kind = HeaderColumn::Kind::Step, column.step = step;
        else if (std::any_of(std::begin(kOptionColumns), std::end(kOptionColumns), is))
            column.kind = HeaderColumn::Kind::Option;
        else {
            error = "the plan's header names an unknown column '" + name +
                    "' (a column of notes: --ignore-column " + name + ")";
            return std::nullopt;
        }
        if (std::any_of(columns.begin(), columns.end(),
                        [&](const HeaderColumn& c) { return c.key == column.key; })) {
            error = "the plan's header names the column '" + name + "' twice";
            return std::nullopt;
        }
        columns.push_back(column);
    }
    for (const std::string& ignored : format.ignored) {
        if (std::none_of(columns.begin(), columns.end(),
                         [&](const HeaderColumn& c) { return c.key == ColumnKey(ignored); })) {
            error = "--ignore-column: the plan's header has no column '" + ignored + "'";
            return std::nullopt;
        }
    }
    return columns;
}

// A cell as `count` arguments: words, the last one the rest of the cell, blanks and all (a title).
std::vector<std::string> Arguments(const std::string& cell, int count) {
    std::vector<std::string> words;
    std::size_t at = 0;
    while (static_cast<int>(words.size()) + 1 < count) {
        const std::size_t from = cell.find_first_not_of(" \t", at);
        if (from == std::string::npos) return words;
        at = std::min(cell.find_first_of(" \t", from), cell.size());
        words.push_back(cell.substr(from, at - from));
    }
    const std::string rest = Trim(cell.substr(std::min(at, cell.size())));
    if (!rest.empty() || words.empty()) words.push_back(rest);
    return words;
}

// The step columns of a row, read as their subcommands read their command lines, each request
// made once so that a text too long for the reader spoils the row before anything is sent.
void TakeSteps(PlanRow& row,
               const std::vector<std::pair<const HeaderColumn*, std::string>>& cells) {
    std::vector<std::pair<std::string, bool>> options;  // option name, taken by a step
    for (const auto& [column, cell] : cells) {
        if (column->kind != HeaderColumn::Kind::Option) continue;
        std::string name = column->key;
        std::replace(name.begin(), name.end(), '_', '-');
        options.emplace_back(name, false);
    }
    for (const auto& [column, cell] : cells) {
        if (column->kind != HeaderColumn::Kind::Step) continue;
        const StepColumn& step = *column->step;
        const Subcommand* entry = SubcommandNamed(step.subcommand);
        std::vector<std::string> args{step.subcommand, "--port", "COM1"};
        if (entry->types) {
            args.push_back("--type");
            args.push_back(commands::Info(row.type.value_or(commands::ReaderType::PX10)).name);
        }
        for (auto& option : options) {
            const std::string& name = option.first;
            if (std::none_of(entry->options.begin(), entry->options.end(),
                             [&](const Option& o) { return o.name == name; }))
                continue;
            option.second = true;
            const auto value = std::find_if(cells.begin(), cells.end(), [&](const auto& c) {
                return c.first->kind == HeaderColumn::Kind::Option &&
                       c.first->key == ColumnKey(name);
            });
            args.push_back("--" + name + "=" + value->second);
        }
        args.push_back("--");
        if (step.fixed) args.push_back(step.fixed);
        const auto words = Arguments(cell, entry->argumentCount - (step.fixed ? 1 : 0));
        args.insert(args.end(), words.begin(), words.end());
        const Parsed parsed = ParseArguments(args);
        if (!parsed.invocation) {
            row.error = column->key + ": " + parsed.error;
            return;
        }
        Values values;
        const actions::Request request = entry->request(*parsed.invocation, values);
        if (!request.refusal().empty()) {
            row.error = column->key + ": " + request.refusal();
            return;
        }
        row.steps.push_back({column->key, *parsed.invocation});
    }
    for (const auto& [name, taken] : options) {
        if (taken) continue;
        std::string key = name;
        std::replace(key.begin(), key.end(), '-', '_');
        row.error = key + ": no column of this row takes --" + name;
        return;
    }
}

}  // namespace

std::optional<std::vector<CsvRecord>> ParseCsv(const std::string& text, std::string& error,
                                               char delimiter) {
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
        } else if (c == delimiter) {
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

std::string CsvField(const std::string& field, char delimiter) {
    // A reader of the file would take a leading "#" for a comment and trim blanks at the ends.
    const auto space = [](char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; };
    const bool plain =
        field.find_first_of(std::string("\"\r\n") + delimiter) == std::string::npos &&
        (field.empty() || (field.front() != '#' && !space(field.front()) && !space(field.back())));
    if (plain) return field;
    std::string quoted = "\"";
    for (char c : field) {
        if (c == '"') quoted += '"';
        quoted += c;
    }
    return quoted + "\"";
}

std::optional<std::string> PlanText(const std::string& bytes, std::string& error) {
    const auto starts = [&](const char* mark) { return bytes.rfind(mark, 0) == 0; };
    if (starts("\xFF\xFE") || starts("\xFE\xFF") ||
        bytes.find('\0') < std::min<std::size_t>(bytes.size(), 64)) {
        error = "the file is UTF-16 text (\"Unicode text\"); save it as CSV UTF-8";
        return std::nullopt;
    }
    const std::string text = starts("\xEF\xBB\xBF") ? bytes.substr(3) : bytes;
    const QByteArray utf8 =
        QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())).toUtf8();
    const auto differ = std::mismatch(text.begin(), text.end(), utf8.begin(), utf8.end());
    if (differ.first != text.end()) {
        error = "line " + std::to_string(1 + std::count(text.begin(), differ.first, '\n')) +
                " is not UTF-8 text; save the file as CSV UTF-8";
        return std::nullopt;
    }
    return text;
}

char PlanDelimiter(const std::string& text, const PlanFormat& format) {
    if (format.delimiter) return format.delimiter;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (Trim(line).empty() || line.front() == '#') continue;
        int commas = 0, semicolons = 0;
        bool quoted = false;
        for (char c : line) {
            quoted = quoted != (c == '"');
            commas += !quoted && c == ',';
            semicolons += !quoted && c == ';';
        }
        return semicolons > commas ? ';' : ',';
    }
    return ',';
}

std::optional<std::vector<PlanRow>> ParsePlan(const std::string& bytes, const PlanRow& defaults,
                                              std::string& error, const PlanFormat& format) {
    const auto text = PlanText(bytes, error);
    if (!text) return std::nullopt;
    const auto records = ParseCsv(*text, error, PlanDelimiter(*text, format));
    if (!records) return std::nullopt;
    if (records->empty()) {
        error = "the plan has no header row";
        return std::nullopt;
    }
    const auto columns = Header(records->front(), format, error);
    if (!columns) return std::nullopt;
    for (const CsvRecord& record : *records) {
        for (std::size_t c = 0; c < record.fields.size(); ++c) {
            if (record.fields[c].size() <= kMaxPlanCell) continue;
            error = "line " + std::to_string(record.line) + ", column " +
                    (c < columns->size() ? (*columns)[c].name : std::to_string(c + 1)) +
                    ": a cell of " + std::to_string(record.fields[c].size()) +
                    " bytes; a cell holds at most " + std::to_string(kMaxPlanCell);
            return std::nullopt;
        }
    }
    std::vector<PlanRow> rows;
    for (std::size_t r = 1; r < records->size(); ++r) {
        const CsvRecord& record = (*records)[r];
        PlanRow row = defaults;
        row.line = record.line;
        row.error.clear();
        std::vector<std::pair<const HeaderColumn*, std::string>> later;
        for (std::size_t c = 0; c < record.fields.size() && c < columns->size(); ++c) {
            const HeaderColumn& column = (*columns)[c];
            if (record.fields[c].empty() || column.kind == HeaderColumn::Kind::Ignored) continue;
            if (column.kind != HeaderColumn::Kind::Plain)
                later.emplace_back(&column, record.fields[c]);
            else if (!Take(row, column.column, record.fields[c]))
                break;
        }
        if (row.error.empty()) TakeSteps(row, later);
        // Extra cells explain a bad cell before them too: usually unquoted line settings.
        if (record.fields.size() > columns->size())
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
