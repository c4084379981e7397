// Tests and system utility: the command test, card reading, restart and factory default; and
// provisioning many readers from a table.
#include <QString>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <ostream>
#include <sstream>

#include "actions/Requests.h"
#include "cli/DryRun.h"
#include "cli/Output.h"
#include "cli/Plan.h"
#include "cli/Registry.h"
#include "cli/Runner.h"
#include "link/Discovery.h"
#include "link/Frame.h"
#include "platform/CodePage.h"

namespace cli {
namespace {

using A = actions::ActionId;

int RunSend(Runner& r) {
    const actions::TypedText typed{QString::fromUtf8(r.run.text.c_str()), r.run.codePage};
    std::string reply;
    const actions::Request request = r.run.raw ? actions::CommandTestAddressed(typed, reply)
                                               : actions::CommandTest(typed, reply);
    Connection connection(r.context);
    Target where = r.target();
    std::string refusal;
    const Outcome outcome = Perform(connection, where, request, &refusal);
    if (!refusal.empty()) {
        const std::size_t bytes = platform::EncodeText(typed.text, typed.language).size();
        const int most = request.info().input("text")->max;
        if (bytes <= static_cast<std::size_t>(most)) return r.usage("send: " + refusal);
        r.err << "tagbench-cli: send: the text is " << bytes
              << " bytes long; a command takes at most " << most << std::endl;
        return r.report({kExitUsage, outcome.message, "too-long", "nothing was sent"});
    }
    const std::string shown = FromReader(reply, r.run.codePage);
    JsonObject extra;
    if (r.run.json) {
        extra.add("reply", outcome.ok() ? std::optional<std::string>(shown) : std::nullopt);
    } else if (outcome.ok()) {
        r.out << "reply  " << shown << '\n';
    }
    return r.report(outcome, extra);
}

// "Card ID : 0010531008(D)  00A0B0C0(H)  KEY:12" and "KEY : 12" taken apart for scripts.
JsonObject CardJson(const std::string& message, bool keys) {
    JsonObject json;
    json.add("kind", keys ? "keys" : "card").add("message", message);
    const auto field = [&](const std::string& mark) -> std::optional<std::string> {
        const std::size_t at = message.find(mark);
        if (at == std::string::npos) return std::nullopt;
        const std::size_t from = message.rfind(' ', at);
        return message.substr(from == std::string::npos ? 0 : from + 1,
                              at - (from == std::string::npos ? 0 : from + 1));
    };
    if (!keys) {
        json.add("decimal", field("(D)"));
        json.add("hex", field("(H)"));
    }
    const std::string keyMark = keys ? "KEY : " : "KEY:";
    const std::size_t at = message.find(keyMark);
    if (at != std::string::npos)
        json.add("keys", message.substr(at + keyMark.size()));
    else
        json.addNull("keys");
    return json;
}

// The time of a card: ISO 8601 in local time with milliseconds and the offset from UTC.
std::string CardTime() {
    const auto now = std::chrono::system_clock::now();
    const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch());
    std::tm local{};
    localtime_r(&seconds, &local);
    char date[32], zone[8];
    std::strftime(date, sizeof date, "%Y-%m-%dT%H:%M:%S", &local);
    std::strftime(zone, sizeof zone, "%z", &local);  // "+0100"
    char text[48];
    std::snprintf(text, sizeof text, "%s.%03d%.3s:%.2s", date, static_cast<int>(ms.count() % 1000),
                  zone, zone + 3);
    return text;
}

int RunReadCards(Runner& r) {
    CatchInterrupt();
    int shown = 0;
    const auto start = std::chrono::steady_clock::now();
    const auto end = [&] {
        if (r.run.count && shown >= *r.run.count) return true;
        if (!r.run.timeoutSeconds) return false;
        const std::chrono::duration<double> passed = std::chrono::steady_clock::now() - start;
        return passed.count() >= *r.run.timeoutSeconds;
    };
    const Outcome outcome = ReadCards(
        r.context, r.target(),
        r.run.twoWay ? commands::CardLoop::TwoWay : commands::CardLoop::Plain, r.run.invalid, end,
        [&](const std::string& message, bool keys, const Target& where) {
            ++shown;
            const std::string time = r.run.json || r.run.timestamps ? CardTime() : "";
            if (r.run.json) {
                JsonObject json = CardJson(message, keys);
                json.add("time", time).add("port", ComName(where.port));
                r.out << json.add("id", where.id).text() << std::endl;
            } else {
                r.out << (time.empty() ? "" : time + "  ") << message << std::endl;
            }
        });
    JsonObject extra;
    extra.add("cards", shown);
    return r.report(outcome, extra);
}

// Where the reader answers now: at ID 01 and 19200,e,8,1 after a whole factory default; at ID 01
// and its old settings when only the sequence failed.
JsonObject PrintFactoryDefault(Runner& r, Outcome& outcome, Values& values) {
    const std::optional<std::string> id = values.newId ? values.newId : values.where.id;
    std::optional<std::string> settings;
    const commands::DeliveryValues& delivered =
        commands::Info(r.run.readerType()).factoryDefault.delivery;
    if (outcome.ok()) settings = LineSettingsText(delivered.lineSettingsIndex);
    JsonObject extra;
    extra.add("id", id).add("settings", settings);
    if (r.run.json) return extra;
    if (outcome.ok()) {
        PrintSettings(r.out, {}, {{"id", *id}, {"line settings", *settings}});
    } else if (values.newId) {
        r.err << "The reader took ID " << *values.newId << " before the sequence failed.\n";
    }
    return {};
}

// A row of --dry-run: its actions against a stand-in reader at the row's ID, the frames kept.
RowResult DryRow(const Context& context, const PlanRow& row, std::vector<std::string>& frames) {
    if (!row.error.empty() || row.id) {
        DryLine line(row.id.value_or(""));
        Lines lines{[&line] { return line.channel(); }, &line, [&line](int ms) { line.wait(ms); },
                    true};
        const Context dry(context.ports, context.progress, nullptr, lines);
        RowResult result = ApplyRow(dry, row, false);
        frames = line.frames();
        result.serial.clear();  // the stand-in's "????????"
        if (result.status == "ok") result.status = "checked";
        return result;
    }
    RowResult result;
    result.row = row;
    result.status = "checked";
    result.settingsIndex = row.settingsIndex.value_or(tblink::kDefaultLineSettingsIndex);
    result.outcome.detail =
        "no id: the frames after the probe to ID 00 go to the ID the reader answers with";
    frames = {tblink::SentEcho(tblink::ScanProbe(
        commands::Info(row.type.value_or(commands::ReaderType::PX10)).startCharacter))};
    return result;
}

int RunApply(Runner& r) {
    const Invocation& run = r.run;
    std::ifstream file(run.planPath, std::ios::binary);
    if (!file) return r.usage("apply: cannot read '" + run.planPath + "'");
    std::stringstream text;
    text << file.rdbuf();
    PlanRow defaults;
    defaults.port = run.port;
    defaults.settingsIndex = run.settingsIndex;
    defaults.type = run.type;
    const PlanFormat format{run.delimiter, run.ignoredColumns};
    std::string error;
    const auto rows = ParsePlan(text.str(), defaults, error, format);
    if (!rows) return r.usage("apply: " + run.planPath + ": " + error);
    // The results in the plan's own delimiter, so that the same spreadsheet opens them.
    const char delimiter = PlanDelimiter(*PlanText(text.str(), error), format);

    std::ofstream resultsFile;
    if (!run.resultsPath.empty()) {
        resultsFile.open(run.resultsPath, std::ios::binary | std::ios::trunc);
        if (!resultsFile) return r.usage("apply: cannot write '" + run.resultsPath + "'");
    }
    std::ostream* table = !run.resultsPath.empty() ? &resultsFile : run.json ? nullptr : &r.out;
    const std::string d(1, delimiter);
    if (table) {
        for (const char* column :
             {"line", "port", "type", "serial", "id", "settings", "status", "messages", "reason"})
            *table << column << d;
        *table << "detail\n" << std::flush;
    }
    int failed = 0;
    for (const PlanRow& row : *rows) {
        r.context.progress.status("line " + std::to_string(row.line) +
                                  (row.port ? "  " + ComName(*row.port) : ""));
        std::vector<std::string> frames;
        const int failedBefore = failed;
        const RowResult result =
            run.dryRun ? DryRow(r.context, row, frames) : ApplyRow(r.context, row, run.force);
        r.context.progress.clear();
        if (result.status != "ok" && result.status != "checked") ++failed;
        const std::string port = row.port ? ComName(*row.port) : "";
        const std::string type = commands::Info(row.type.value_or(run.readerType())).name;
        std::string messages;
        for (const std::string& message : result.messages)
            messages += (messages.empty() ? "" : "; ") + message;
        if (!run.json)
            for (const std::string& frame : frames) r.out << port << " > " << frame << '\n';
        if (table) {
            *table << row.line << d << CsvField(port, delimiter) << d << type << d
                   << CsvField(FromReader(result.serial), delimiter) << d << result.id << d
                   << CsvField(LineSettingsText(result.settingsIndex), delimiter) << d
                   << result.status << d << CsvField(messages, delimiter) << d
                   << result.outcome.reason << d << CsvField(result.outcome.detail, delimiter)
                   << '\n'
                   << std::flush;
        }
        if (run.json) {
            JsonObject json;
            json.add("kind", "row").add("line", row.line).add("port", port).add("type", type);
            json.add("serial", NonEmpty(FromReader(result.serial))).add("id", NonEmpty(result.id));
            json.add("settings", LineSettingsText(result.settingsIndex));
            json.add("ok", failed == failedBefore).add("status", result.status);
            json.addStrings("messages", result.messages);
            json.add("reason", NonEmpty(result.outcome.reason));
            json.add("detail", NonEmpty(result.outcome.detail));
            if (run.dryRun) json.addStrings("frames", frames);
            r.out << json.text() << std::endl;
        }
    }
    if (!run.json) return failed ? kExitFailed : kExitOk;
    JsonObject extra;
    extra.add("rows", static_cast<int>(rows->size())).add("failed", failed);
    return r.report(failed ? Outcome{kExitFailed, "", "",
                                     std::to_string(failed) + " of " +
                                         std::to_string(rows->size()) + " rows failed"}
                           : Outcome{},
                    extra);
}

}  // namespace

std::vector<Subcommand> UtilitySubcommands() {
    std::vector<Subcommand> page;

    Subcommand send =
        Entry("send", "TEXT", 1, "the command test: the command prefix and TEXT",
              "Sends the start character, the ID and TEXT after a 100 ms pause and prints the "
              "data field\nof the reply. A text longer than a frame takes is refused: nothing is "
              "sent.\n");
    send.options = {
        {"raw", "",
         "the second command test: the start character and TEXT only (TEXT\ncarries its own "
         "address, such as 00H1), after a 50 ms pause"},
        {"code-page", "CP", "TEXT goes out in 1252, gbk or big5 (default 1252)"},
    };
    send.section = "Tests and system utility";
    send.actions = {A::CommandTest, A::CommandTestAddressed};
    send.arguments = [](Reading& reading, const Arguments& a) {
        reading.run.text = a[0];
        return true;
    };
    send.run = RunSend;
    page.push_back(send);

    Subcommand read = Entry("read-cards", "", 0, "read cards until Ctrl+C, --count or --timeout");
    read.options = {
        {"two-way", "", "two-way reading: poll \"I\", answer every card \"J\", \"J\", \"H1\""},
        {"invalid", "", "two-way: answer every card \"H2\" (refused) instead"},
        {"count", "N", "stop after N cards or keypad entries"},
        {"timeout", "S", "stop after S seconds"},
        {"timestamps", "", "each card after its time (with --json every card has it)"},
    };
    read.helpAfter = "The reading also ends, with exit status 1, when a poll gets no reply.\n";
    read.arguments = [](Reading& reading, const Arguments&) {
        return reading.run.invalid && !reading.run.twoWay ? reading.bad("--invalid needs --two-way")
                                                          : true;
    };
    read.run = RunReadCards;
    page.push_back(read);

    Subcommand reboot =
        Entry("reboot", "", 0, "restart the reader (\"HR\")",
              "One \"HR\" after a 50 ms pause, without the reader check. The reader keeps its "
              "settings.\n");
    reboot.actions = {A::Reboot};
    reboot.request = [](const Invocation&, Values&) { return actions::Reboot(); };
    page.push_back(reboot);

    Subcommand factory =
        Entry("factory-default", "", 0, "back to delivery: ID 01, Wiegand 26, 19200,e,8,1",
              "Gives the reader ID 01, then sends the factory-default sequence of --type, which "
              "is\nrequired: each reader type has its own sequence, so nothing is sent without "
              "it. A\nfingerprint reader restarts first and is polled until it answers (up to "
              "about four\nminutes; a dot a poll on a terminal). Afterwards the reader answers at "
              "ID 01 and\n19200,e,8,1: give those as --id and --settings from then on.\n");
    factory.needsType = true;
    factory.actions = {A::FactoryDefault};
    factory.arguments = [](Reading& reading, const Arguments&) {
        if (reading.run.type) return true;
        return reading.bad(
            "factory-default needs --type: each reader type has a sequence of its own (" +
            TypeNames(std::nullopt) + ")");
    };
    factory.request = [](const Invocation& run, Values& values) {
        return actions::FactoryDefault(run.readerType(),
                                       [&values](const std::string& id) { values.newId = id; });
    };
    factory.print = PrintFactoryDefault;
    page.push_back(factory);
    return page;
}

std::vector<Subcommand> ManyReaderSubcommands() {
    Subcommand apply =
        Entry("apply", "PLAN.csv", 1, "provision readers from a table, one a row",
              "PLAN.csv has a header row naming its columns, in any order:\n"
              "  port          COM3 (required in every row unless --port is given)\n"
              "  settings      the line settings it talks at now (default --settings)\n"
              "  type          PX10 ... PX60M (default --type)\n"
              "  id            its ID now; empty: found with the probe to ID 00\n"
              "  new_id        the ID to give it, once a reader check finds it free on the line\n"
              "  interface     the interface to give it, as for set-interface: wiegand 26 32\n"
              "  card_type     EM, KORVA or SECURITY\n"
              "  new_settings  the line settings to give it (set last)\n"
              "These give what the subcommand of their name gives, as its arguments (a title's "
              "text\nis the rest of its cell), after card_type, in the order of the columns:\n"
              "  read_mode, key_parity, key_number, key_status (\"N DELAY\"),\n"
              "  id_location (\"SECTOR BLOCK BYTE\"), display_language, display_password,\n"
              "  display_screen_mode, title_1, title_2 (the text of title 1 or 2), title_mode,\n"
              "  facility_code, scan_mode\n"
              "and the columns key, key_error and code_page are those options of theirs.\n"
              "Empty cells change nothing. Quote cells with commas: \"9600,n,8,1\". Lines "
              "starting with #\nare skipped. A file of semicolons (\"port;new_id\") is read as "
              "such; UTF-8 with or\nwithout a byte-order mark. A cell holds at most 256 bytes. "
              "Each reader is checked again at\nits new ID and settings at the end. A failing "
              "reader does not stop the others; the exit\nstatus is 1 when any row failed.\n");
    apply.options = {
        {"results", "FILE", "write the results table to FILE (default: standard output)"},
        {"force", "", "give each new_id without first checking that no reader answers it"},
        {"dry-run", "",
         "check every row and print the frames it would send, to a reader\nthat answers "
         "them all; no port is opened (status \"checked\")"},
        {"delimiter", "D",
         "the plan's cells are separated by , ; or tab (default: what its\n"
         "header line uses most, a comma or a semicolon)"},
        {"ignore-column", "NAMES",
         "columns of notes, such as notes,room: their cells are "
         "not read"}};
    apply.section = "Many readers";
    apply.needsPort = false;
    apply.ignores = {"id"};  // each row gives its reader's
    apply.arguments = [](Reading& reading, const Arguments& a) {
        reading.run.planPath = a[0];
        return true;
    };
    apply.run = RunApply;
    return {apply};
}

}  // namespace cli
