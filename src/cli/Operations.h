// The reader work of tagbench-cli, as values: each operation opens the port, runs the window's
// own functions from commands/ and link/, closes the port and says what came of it. Nothing
// here prints; Program.cpp turns the values into text or JSON.
//
// An outcome carries the catalogue's English message, as the window's message panel would show
// it, and the exit status: 0 success, 1 the reader failed or was not found, 3 the port would not
// open.
#pragma once

#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "actions/Procedure.h"
#include "cli/Plan.h"
#include "cli/Terminal.h"
#include "commands/NotFound.h"
#include "commands/ReaderTypes.h"
#include "commands/Session.h"
#include "commands/config/CardReading.h"
#include "commands/config/ReadOut.h"
#include "link/Discovery.h"
#include "link/LineSettingsList.h"
#include "link/ReaderLink.h"
#include "platform/Clock.h"
#include "platform/SerialChannel.h"
#include "text/Catalogue.h"

namespace platform {
class PortMap;
}

namespace cli {

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;
constexpr int kExitPortClosed = 3;
constexpr int kExitInterrupted = 130;  // Ctrl+C ended a census early, as a shell counts it

struct Outcome {
    int exit = kExitOk;
    std::string message;  // the catalogue's English text; empty where the window shows none
    // Why it failed, a word scripts can match: "port", "not-found", "id", "silence",
    // "checksum", "line-gone", "overflow", "reply" (a reply the command does not take),
    // "id-taken" (another reader answers the new ID).
    std::string reason;
    std::string detail;  // the reason in words; may be empty
    bool ok() const { return exit == kExitOk; }
};

// The catalogue's English text of an entry.
std::string English(text::Msg msg);

// What the lines are and how time passes on them: the machine's ports and sleeping, or a test's
// scripted lines and virtual clock.
struct Lines {
    // A channel for each connection; empty: platform::MakeSerialChannel.
    std::function<std::unique_ptr<platform::SerialChannel>()> channel;
    const platform::Clock* clock = nullptr;  // the link's silence limits; null: the steady clock
    std::function<void(int)> wait;           // the pacer's pauses; empty: sleeping
    bool standIn = false;  // apply --dry-run's stand-in reader, which reports no settings
};

// What every operation shares: the port map, the lines, the progress line and the trace.
// Read-only while operations run, so the threads of a parallel scan may share it.
struct Context {
    const platform::PortMap& ports;
    Progress& progress;
    std::ostream* trace = nullptr;  // where --trace writes; null: no trace
    Lines lines;
    mutable std::mutex traceMutex;

    Context(const platform::PortMap& map, Progress& line, std::ostream* traceTo,
            Lines linesUsed = {})
        : ports(map), progress(line), trace(traceTo), lines(std::move(linesUsed)) {}
    std::string devicePath(int port) const;
};

// A link and a pacer of their own: one per thread, sharing nothing with any other.
struct Connection {
    // `resolver` replaces the port map's lookup; `end` tells the pacer when a loop should end.
    Connection(const Context& context, tblink::PortResolver resolver = {},
               std::function<bool()> end = {});
    const Context& context;
    std::unique_ptr<TraceEcho> trace;
    tblink::ReaderLink link;
    CliPacer pacer;
};

// Where a reader is reached. Without an ID the reader is first found with the scan's probe to
// ID 00, as the window finds it before any command.
struct Target {
    int port = 0;
    int settingsIndex = tblink::kDefaultLineSettingsIndex;
    commands::ReaderType type = commands::ReaderType::PX10;
    std::optional<std::string> id;
};

// The exit-3 outcome: the window's open-error text ("Open COM : 3 Error"), and in its detail
// why the port would not open and what to do about it, as the window's tooltip says it.
Outcome PortClosed(int port, const platform::PortDiagnosis& why);

// What was seen when no reader answered, in words (the scan's hint for 230400 adds --lock);
// empty when nothing was.
std::string CauseText(const commands::NotFoundCause& cause, bool scan);
// Why a line-settings change cannot reach the reader on `port`: it is a socket:// port, where
// the server's own line settings apply. None for any other port.
std::optional<std::string> LineSettingsFixed(const Context& context, int port);

// A reader that answered the probe, and what its read-out got.
struct ReaderRow {
    int port = 0;
    commands::ReaderType type = commands::ReaderType::PX10;  // whose start character it answered
    int settingsIndex = 0;
    std::string id;      // two digits, from the reply
    std::string serial;  // 8 characters, from the reply
    std::optional<std::string> version;
    commands::ReadOutValues values;
    Outcome outcome;  // "Reader find ok. (COM : #3)" or "Reader data error! (COM : #3)"
};

struct ScanPlan {
    std::vector<int> ports;        // in walk order
    std::optional<int> quickPort;  // the quick try's port, at `settingsIndex`
    int settingsIndex = tblink::kDefaultLineSettingsIndex;
    commands::ReaderType type = commands::ReaderType::PX10;
    bool lock = false;
    bool parallel = false;
    bool all = false;  // go on after a find: every port's reader
    int silenceMs = tblink::ReaderLink::kDefaultSilenceLimitMs;  // each probe's wait
};
struct ScanResult {
    std::vector<ReaderRow> readers;  // in port order
    bool anyPortOpened = false;
    platform::PortDiagnosis openFailure;  // why the last port that did not open did not
    int checksumReplies = 0;              // replies with a wrong checksum on the way
};
ScanResult Scan(const Context& context, const ScanPlan& plan);
// When a scan found nobody: the replies with a wrong checksum it got, else, when it tried one
// port, what commands::WhyNotFound sees there at the plan's settings. Empty when nothing was.
std::string ScanNotFoundCause(const Context& context, const ScanPlan& plan,
                              const ScanResult& result);

// Every ID of `ids` with the reader check, on one port open the whole time; each reader goes to
// `found` as it answers. Ctrl+C ends it after the ID in hand.
struct CensusResult {
    std::optional<Outcome> portClosed;
    std::vector<ReaderRow> readers;
    std::optional<int> stoppedAfter;  // the last ID tried, when Ctrl+C ended it early
};
CensusResult Census(const Context& context, const Target& target, const std::vector<int>& ids,
                    int silenceMs = tblink::ReaderLink::kDefaultSilenceLimitMs,
                    const std::function<void(const ReaderRow&)>& found = {});

// Before a reader is given `newId` (two digits): one reader check to it on the target's line, as
// the census makes it. A reader that answers there refuses the change (exit 1, its serial number
// in the detail), as two readers of one ID would answer each other's commands; so does a port
// that would not open (exit 3). None when the ID is free, or is the target's own.
std::optional<Outcome> NewIdTaken(Connection& connection, const Target& target,
                                  const std::string& newId);

// The window's Link and read-out for the target's type.
struct InfoResult {
    Outcome outcome;
    std::optional<ReaderRow> reader;
};
InfoResult Info(const Context& context, const Target& target);

// One reader action through the one command procedure (actions::Perform), as tagbench-cli
// takes its steps: without an ID the reader is first found with the probe to ID 00 (the target
// learns its ID), then the port opens at the target. Its outcome: the action's messages; exit
// status 2 when an input broke its rule (nothing sent, `refusal` says why), 3 when the port would
// not open.
Outcome Perform(Connection& connection, Target& target, const actions::Request& request,
                std::string* refusal = nullptr);

// Continuous reading: every card and keypad entry goes to `shown` as the window's message panel
// would show it; ends by Ctrl+C or `end`, or when a poll fails.
// `shown` learns where the reader is (its ID found first when the target has none).
Outcome ReadCards(const Context& context, Target target, commands::CardLoop loop, bool refuse,
                  const std::function<bool()>& end,
                  const std::function<void(const std::string&, bool keys, const Target&)>& shown);

// One row of a provisioning plan.
struct RowResult {
    PlanRow row;
    std::string status;                 // "ok", "failed", "port", "not-found", "invalid"
    std::vector<std::string> messages;  // each step's outcome message, in order
    Outcome outcome;                    // the last step's
    std::string serial;
    std::string id;  // the ID the reader answers to at the end
    int settingsIndex = tblink::kDefaultLineSettingsIndex;
};
// Unless `force`, a row that gives a new ID first checks that no reader answers it (NewIdTaken).
RowResult ApplyRow(const Context& context, const PlanRow& row, bool force);

// Bytes a reader sent, read in a code page (the English one unless said), as UTF-8 in the form
// of platform::BytesAsText: a control character or a byte that is no character as "\xHH", so a
// reader or a network peer never sends the terminal an escape sequence.
std::string FromReader(const std::string& bytes, int codePage = text::kEnglish);

}  // namespace cli
