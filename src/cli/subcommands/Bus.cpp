// Ports and readers: the port map, the scan, the census of a bus and one reader's read-out.
#include <QFileInfo>
#include <QString>
#include <algorithm>
#include <map>
#include <ostream>

#include "cli/Output.h"
#include "cli/Registry.h"
#include "cli/Runner.h"
#include "link/PortList.h"
#include "platform/NetworkAddress.h"
#include "platform/PortDiagnosis.h"
#include "platform/PortMap.h"

namespace cli {
namespace {

using text::Msg;

// The port box's ports, in its order.
std::vector<int> BoxPorts(const platform::PortMap& ports) {
    std::vector<int> numbers;
    for (const std::string& item : tblink::FillPortBox(ports.names(), 0).items)
        if (const auto number = tblink::PortNumberFromBoxText(item)) numbers.push_back(*number);
    return numbers;
}

std::optional<std::string> VersionText(const ReaderRow& row) {
    return row.version ? std::optional<std::string>(TrimEnd(FromReader(*row.version)))
                       : std::nullopt;
}

JsonObject ReaderJson(const Runner& r, const ReaderRow& row) {
    JsonObject json;
    json.add("kind", "reader").add("port", ComName(row.port));
    json.add("settings", LineSettingsText(row.settingsIndex));
    json.add("type", commands::Info(r.run.readerType()).name);
    json.add("id", row.id).add("serial", FromReader(row.serial));
    json.add("version", VersionText(row));
    AddSettings(json, Settings(row.values));
    json.add("ok", row.outcome.ok()).add("message", row.outcome.message);
    return json;
}

const std::vector<std::string> kReaderColumns = {"PORT", "SETTINGS", "ID", "SERIAL", "VERSION"};

std::vector<std::string> ReaderCells(const ReaderRow& row) {
    return {ComName(row.port), LineSettingsText(row.settingsIndex), row.id, FromReader(row.serial),
            VersionText(row).value_or("__.__-__")};
}

// The readers found by scan, as a table or one object each.
void PrintReaders(Runner& r, const std::vector<ReaderRow>& readers) {
    if (r.run.json) {
        for (const ReaderRow& row : readers) r.out << ReaderJson(r, row).text() << '\n';
        r.out.flush();
        return;
    }
    if (readers.empty()) return;
    std::vector<std::vector<std::string>> table = {kReaderColumns};
    for (const ReaderRow& row : readers) table.push_back(ReaderCells(row));
    PrintTable(r.out, table);
}

// Readers were listed: a reader whose read-out failed makes the whole run fail.
int ReportReaders(Runner& r, const std::vector<ReaderRow>& readers) {
    const auto failed = std::find_if(readers.begin(), readers.end(),
                                     [](const ReaderRow& row) { return !row.outcome.ok(); });
    if (failed != readers.end()) return r.report(failed->outcome);
    if (!r.run.json) return kExitOk;
    JsonObject extra;
    extra.add("readers", static_cast<int>(readers.size()));
    return r.report(readers.front().outcome, extra);
}

Outcome NotFoundOutcome() { return {kExitFailed, English(Msg::ReaderNotFind), "not-found", {}}; }

int Ports(Runner& r) {
    std::vector<int> numbers = BoxPorts(r.ports);
    if (r.run.port) {
        if (std::find(numbers.begin(), numbers.end(), *r.run.port) == numbers.end()) {
            platform::PortDiagnosis unmapped;
            unmapped.problem = platform::PortProblem::NotMapped;
            unmapped.device = ComName(*r.run.port);
            return r.report({kExitFailed, "", "port", platform::DescribePortProblem(unmapped)});
        }
        numbers = {*r.run.port};
    }
    std::vector<std::vector<std::string>> table = {{"PORT", "DEVICE", "DESCRIPTION"}};
    for (const platform::PortDescription& port : r.ports.describe(numbers)) {
        if (r.run.json) {
            JsonObject json;
            json.add("kind", "port").add("port", ComName(port.number)).add("number", port.number);
            json.add("device", port.devicePath).add("description", port.description);
            json.add("exists", port.exists);
            r.out << json.text() << '\n';
        } else {
            table.push_back({ComName(port.number), port.devicePath.empty() ? "-" : port.devicePath,
                             port.description});
        }
    }
    if (!r.run.json) PrintTable(r.out, table);
    return r.report({});
}

int RunScan(Runner& r) {
    ScanPlan plan;
    plan.ports = r.run.ports.empty() ? BoxPorts(r.ports) : r.run.ports;
    plan.quickPort = r.run.port;
    plan.settingsIndex = r.run.lineSettings();
    plan.type = r.run.readerType();
    plan.lock = r.run.lock;
    plan.parallel = r.run.parallel;
    plan.all = r.run.all;
    plan.silenceMs = r.run.silenceMs;
    const ScanResult result = Scan(r.context, plan);
    r.context.progress.clear();
    PrintReaders(r, result.readers);
    if (!result.readers.empty()) return ReportReaders(r, result.readers);
    if (result.anyPortOpened) return r.report(NotFoundOutcome());
    // Not one port opened: say why where it is one port.
    std::vector<int> tried = plan.ports;
    if (plan.quickPort && std::find(tried.begin(), tried.end(), *plan.quickPort) == tried.end())
        tried.push_back(*plan.quickPort);
    if (tried.size() == 1) return r.report(PortClosed(tried.front(), result.openFailure));
    return r.report({kExitPortClosed, English(Msg::ReaderNotFind), "port",
                     tried.empty() ? "no port to scan" : "none of the ports would open"});
}

// Each reader printed as it answers: the table's columns as wide as the census's own port and
// settings make them, so that its rows line up before the last is known.
int RunCensus(Runner& r) {
    CatchInterrupt();
    const Target target = r.target();
    ReaderRow widest;
    widest.port = target.port;
    widest.settingsIndex = target.settingsIndex;
    widest.id = "00";
    widest.serial = "SERIAL00";
    std::vector<std::vector<std::string>> sizing = {kReaderColumns, ReaderCells(widest)};
    bool headed = false;
    const CensusResult result =
        Census(r.context, target, r.run.ids, r.run.silenceMs, [&](const ReaderRow& row) {
            if (r.run.json) {
                r.out << ReaderJson(r, row).text() << std::endl;
                return;
            }
            if (!headed) PrintTableRow(r.out, sizing, kReaderColumns);
            headed = true;
            PrintTableRow(r.out, sizing, ReaderCells(row));
            r.out.flush();
        });
    r.context.progress.clear();
    if (result.portClosed) return r.report(*result.portClosed);
    if (result.stoppedAfter) {
        JsonObject extra;
        if (r.run.json) extra.add("readers", static_cast<int>(result.readers.size()));
        return r.report({kExitInterrupted,
                         {},
                         "interrupted",
                         "stopped by Ctrl+C after ID " + commands::TwoDigits(*result.stoppedAfter) +
                             ", " + std::to_string(result.readers.size()) + " readers found"},
                        extra);
    }
    if (result.readers.empty()) return r.report(NotFoundOutcome());
    return ReportReaders(r, result.readers);
}

int RunInfo(Runner& r) {
    const InfoResult result = Info(r.context, r.target());
    if (result.reader) {
        const ReaderRow& row = *result.reader;
        if (r.run.json) {
            r.out << ReaderJson(r, row).text() << '\n';
        } else {
            PrintSettings(r.out, Settings(row.values),
                          {{"port", ComName(row.port)},
                           {"line settings", LineSettingsText(row.settingsIndex)},
                           {"type", commands::Info(r.run.readerType()).name},
                           {"id", row.id},
                           {"serial", FromReader(row.serial)},
                           {"version", VersionText(row).value_or("__.__-__")}});
        }
    }
    return r.report(result.outcome);
}

}  // namespace

std::vector<Subcommand> BusSubcommands() {
    std::vector<Subcommand> page(4);
    Subcommand& ports = page[0];
    ports.name = "ports";
    ports.summary = "the port map as the window sees it";
    ports.help = "With --port, only that port.\n";
    ports.section = "Ports and readers";
    ports.needsPort = false;
    ports.ignores = {"settings", "id", "type"};
    ports.run = Ports;

    Subcommand& scan = page[1];
    scan.name = "scan";
    scan.summary = "find a reader: the quick try, then the walk";
    scan.help =
        "Probes ID 00 as the window's Scan does. With --port the quick try goes first: that port "
        "at\n--settings, 3 probes. Then the walk: on every port that opens, the first 12 line "
        "settings\n(or with --lock only --settings), 2 probes each. The scan ends at the first "
        "reader found,\nwhose version is then read.\n";
    scan.options = {
        {"ports", "LIST", "COM3,COM5 or all (default: all, the window's port list)"},
        {"lock", "", "try only --settings on each port"},
        {"parallel", "", "walk all the ports at once, one probe in flight per port"},
        {"all", "", "go on after a find and list the reader of every port"},
        {"silence", "MS",
         "how long each probe waits for its reply (default 300, the\nwindow's); at least its "
         "reply's time on the wire and 20 ms"},
    };
    scan.needsPort = false;
    scan.ignores = {"id"};
    scan.listsLineSettings = true;
    scan.run = RunScan;

    Subcommand& census = page[2];
    census.name = "census";
    census.summary = "every reader ID 01 to 99 that answers on one port";
    census.help =
        "Sends the reader check (\"B\") to each ID at --settings, after a 50 ms pause, and "
        "lists\neach reader, with its version, as it answers. A silent ID costs about 350 ms (50 "
        "ms and\n--silence). Ctrl+C ends it: the readers found so far, and exit status 130.\n";
    census.options = {
        {"ids", "LIST", "the IDs to try, such as 1-20,50 (default 1-99)"},
        {"silence", "MS",
         "how long each reader check waits for its reply (default 300, the\nwindow's); at least "
         "its "
         "reply's time on the wire and 20 ms"},
    };
    census.ignores = {"id"};
    census.listsLineSettings = true;
    census.arguments = [](Reading& reading, const Arguments&) {
        if (reading.run.ids.empty())
            for (int id = 1; id <= 99; ++id) reading.run.ids.push_back(id);
        return true;
    };
    census.run = RunCensus;

    Subcommand& info = page[3];
    info.name = "info";
    info.summary = "link a reader and read out all its settings";
    info.help =
        "Links as the window's Link does (3 probes to --id; without --id to ID 00), then the\n"
        "read-out of the reader type: version, output, card type, keypad, card-ID location.\n";
    info.run = RunInfo;
    return page;
}

}  // namespace cli
