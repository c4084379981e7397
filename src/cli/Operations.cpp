#include "cli/Operations.h"

#include <algorithm>
#include <atomic>
#include <thread>

#include "actions/Requests.h"
#include "cli/ProfileRun.h"
#include "cli/Registry.h"
#include "cli/Runner.h"
#include "commands/config/Identity.h"
#include "commands/config/SystemUtility.h"
#include "link/Frame.h"
#include "link/LineSettingsList.h"
#include "link/ReplyFields.h"
#include "platform/AnyChannel.h"
#include "platform/CodePage.h"
#include "platform/NetworkAddress.h"
#include "platform/PortMap.h"

namespace cli {
namespace {

using text::Msg;

std::string ComName(int port) { return "COM" + std::to_string(port); }

char StartCharacter(commands::ReaderType type) { return commands::Info(type).startCharacter; }

std::string Prefix(const Target& target) {
    return std::string(1, StartCharacter(target.type)) + target.id.value_or("");
}

// " : #3)" after the two read-out texts that end in "(COM".
std::string PortSuffix(int port) { return " : #" + std::to_string(port) + ")"; }

Outcome Success(std::optional<Msg> msg) { return {kExitOk, msg ? English(*msg) : "", {}, {}}; }

Outcome NotFound() { return {kExitFailed, English(Msg::ReaderNotFind), "not-found", {}}; }

std::string Fill(Msg msg, const QString& first, const QString& second = {}) {
    QString text = text::Text(msg, text::kEnglish).arg(first);
    return (second.isNull() ? text : text.arg(second)).toStdString();
}

// Why the line went, as the port diagnostics say it: the last exchange in the link's history.
std::string LineGoneDetail(const tblink::ReaderLink& link) {
    const tblink::FrameHistory& history = link.History();
    for (std::size_t i = history.Size(); i-- > 0;) {
        const tblink::HistoryEntry& entry = history.At(i);
        if (entry.event != tblink::HistoryEvent::Exchange) continue;
        if (entry.diagnosis) return platform::DescribePortProblem(*entry.diagnosis);
        break;
    }
    return "the port hung up";
}

// Why the last exchange of a failed command went wrong.
Outcome Failed(const tblink::ReaderLink& link, std::string message) {
    using R = tblink::TransactResult;
    switch (link.LastResult()) {
        case R::Silence:
            return {kExitFailed, message, "silence", "the reader stayed silent"};
        case R::ChecksumError:
            return {kExitFailed, message, "checksum", "a reply with a wrong checksum"};
        case R::LineGone:
            return {kExitFailed, message, "line-gone", LineGoneDetail(link)};
        case R::Overflow:
            return {kExitFailed, message, "overflow", "bytes that never formed a reply"};
        case R::NotOpen:
            return {kExitFailed, message, "port", "the port was not open"};
        case R::CommandTooLong:
            return {kExitFailed, message, "too-long", "the command text is too long"};
        case R::Ok:
            break;
    }
    return {kExitFailed, message, "reply", "a reply the command does not take"};
}

// The probe of one port at one line setting (3 probes after kept-alive pauses, as the window's
// Link and quick try). Empty, with `outcome` set, when the port did not open or nobody answered.
std::optional<tblink::FoundReader> Probe(Connection& c, int port, int settingsIndex,
                                         const std::string& probe, Outcome& outcome) {
    bool opened = false;
    auto found = tblink::ProbePort(c.link, c.pacer, port, settingsIndex,
                                   tblink::kLineSettingsTexts[settingsIndex], probe,
                                   [&](const tblink::DiscoveryStep&) { opened = true; });
    if (!opened)
        outcome = PortClosed(port, c.link.LastOpenFailure());
    else if (!found)
        outcome = NotFound();
    return found;
}

// The target's link probe; without an ID, the scan's probe to ID 00, which every reader on the
// line answers at once. Unless `quick`, a probe nobody answered is followed by the tries that
// tell what was seen instead (commands::WhyNotFound).
std::optional<tblink::FoundReader> ProbeTarget(Connection& c, const Target& target,
                                               Outcome& outcome, bool quick = false) {
    const char start = StartCharacter(target.type);
    const std::uint64_t mark = commands::HistoryMark(c.link);
    const auto found =
        Probe(c, target.port, target.settingsIndex,
              target.id ? tblink::LinkProbe(start, *target.id) : tblink::ScanProbe(start), outcome);
    if (found || outcome.reason != "not-found") return found;
    // Several readers answering ID 00 at once garble each other's replies: the checksum
    // replies then say nothing more than that.
    const bool several = !target.id && commands::ChecksumReplies(c.link, mark) > 0;
    if (!several) {
        commands::NotFoundProbe probe{target.port, target.settingsIndex, target.type, target.id,
                                      mark};
        outcome.detail = quick ? CauseText({commands::NotFoundCause::Kind::Checksum,
                                            commands::ChecksumReplies(c.link, mark)},
                                           false)
                               : CauseText(commands::WhyNotFound(c.link, c.pacer, probe), false);
    }
    if (outcome.detail.empty() && !target.id)
        outcome.detail = "no single reader answered ID 00; give --id when several share the line";
    return found;
}

// The read-out that follows every find: the version, then what `plan` reads. Port closed on
// entry and return.
ReaderRow Describe(Connection& c, const tblink::FoundReader& found, commands::ReaderType type,
                   const std::optional<commands::ReadOutPlan>& plan) {
    ReaderRow row;
    row.port = found.port;
    row.type = type;
    row.settingsIndex = found.lineSettingsIndex;
    row.id = tblink::ReplyField(found.reply, 3, 2);
    const std::string dataError = English(Msg::ReaderDataError) + PortSuffix(found.port);
    const auto readOut =
        commands::ReadOutAfterFind(c.link, c.pacer, found, StartCharacter(type), plan);
    row.serial = readOut.serial;
    if (!readOut.id) {
        row.outcome = {kExitFailed, dataError, "id", "the reply carries no reader ID 01 to 99"};
        return row;
    }
    if (!readOut.portOpened) {
        row.outcome = PortClosed(found.port, c.link.LastOpenFailure());
        row.outcome.message = dataError;
        return row;
    }
    row.values = readOut.values;
    row.version = row.values.version;
    if (row.values.version && row.values.complete)
        row.outcome = {kExitOk, English(Msg::ReaderFindOk) + PortSuffix(found.port), {}, {}};
    else
        row.outcome = Failed(c.link, dataError);

    return row;
}

tblink::ScanRequest Request(const ScanPlan& plan, const std::vector<int>& ports, int quickPort) {
    tblink::ScanRequest request;
    request.probe = tblink::ScanProbe(StartCharacter(plan.type));
    request.storedPort = quickPort;
    request.storedLineSettingsIndex = plan.settingsIndex;
    request.storedLineSettings = tblink::kLineSettingsTexts[plan.settingsIndex];
    request.lock = plan.lock;
    request.silenceLimitMs = plan.silenceMs;
    for (int port : ports) request.portItems.push_back(ComName(port));
    return request;
}

std::string StepText(const tblink::DiscoveryStep& step) {
    return English(Msg::ScanCom) + " : #" + std::to_string(step.port) + "  " +
           tblink::kLineSettingsTexts[step.lineSettingsIndex];
}

// The window's discovery, one port after the other; with `all` it goes on after each find.
ScanResult ScanInTurn(const Context& context, const ScanPlan& plan) {
    ScanResult result;
    Connection c(context);
    const auto progress = [&](const tblink::DiscoveryStep& step) {
        if (step.kind != tblink::DiscoveryStep::Kind::PortOpened) return;
        result.anyPortOpened = true;
        context.progress.status(StepText(step));
    };
    if (!plan.all) {
        const auto found = tblink::Scan(
            c.link, c.pacer, Request(plan, plan.ports, plan.quickPort.value_or(0)), progress);
        result.openFailure = c.link.LastOpenFailure();
        result.checksumReplies = commands::ChecksumReplies(c.link, 0);
        if (found) result.readers.push_back(Describe(c, *found, plan.type, std::nullopt));
        return result;
    }
    std::optional<int> quickFind;
    if (plan.quickPort) {
        const auto found =
            tblink::Scan(c.link, c.pacer, Request(plan, {}, *plan.quickPort), progress);
        if (found) {
            quickFind = found->port;
            result.readers.push_back(Describe(c, *found, plan.type, std::nullopt));
        }
    }
    for (int port : plan.ports) {
        if (quickFind == port) continue;
        const auto found = tblink::Scan(c.link, c.pacer, Request(plan, {port}, 0), progress);
        if (c.link.LastOpenFailure().problem != platform::PortProblem::None)
            result.openFailure = c.link.LastOpenFailure();
        if (found) result.readers.push_back(Describe(c, *found, plan.type, std::nullopt));
    }
    result.checksumReplies = commands::ChecksumReplies(c.link, 0);
    return result;
}

// Every port walked at once, each by a thread with its own channel, link and pacer. Unless
// `all`, the first find ends the others: their port then no longer resolves, so each walk stops
// at its next open, after the probes already in flight.
ScanResult ScanAtOnce(const Context& context, const ScanPlan& plan) {
    struct PortScan {
        bool opened = false;
        std::optional<ReaderRow> reader;
        platform::PortDiagnosis openFailure;
        int checksumReplies = 0;
    };
    std::vector<PortScan> scans(plan.ports.size());
    std::atomic<bool> over{false};
    context.progress.status(English(Msg::ScanReader) + " : " + std::to_string(plan.ports.size()) +
                            " ports at once");
    std::vector<std::thread> threads;
    for (std::size_t i = 0; i < plan.ports.size(); ++i) {
        threads.emplace_back([&context, &plan, &over, &scan = scans[i], port = plan.ports[i]] {
            const std::string path = context.devicePath(port);
            bool mine = false;
            Connection c(context, [&](int number) {
                return number != port || (over.load() && !mine) ? std::string() : path;
            });
            const auto found = tblink::Scan(
                c.link, c.pacer, Request(plan, {port}, plan.quickPort == port ? port : 0),
                [&](const tblink::DiscoveryStep& step) {
                    using Kind = tblink::DiscoveryStep::Kind;
                    if (step.kind == Kind::PortOpened) scan.opened = true;
                    if (step.kind == Kind::FoundInWalk) mine = true;
                    if (mine && !plan.all) over.store(true);
                });
            scan.openFailure = c.link.LastOpenFailure();
            scan.checksumReplies = commands::ChecksumReplies(c.link, 0);
            if (!found) return;
            mine = true;
            if (!plan.all) over.store(true);
            scan.reader = Describe(c, *found, plan.type, std::nullopt);
        });
    }
    for (std::thread& thread : threads) thread.join();
    ScanResult result;
    for (const PortScan& scan : scans) {
        result.anyPortOpened = result.anyPortOpened || scan.opened;
        result.checksumReplies += scan.checksumReplies;
        if (scan.openFailure.problem != platform::PortProblem::None)
            result.openFailure = scan.openFailure;
        if (scan.reader) result.readers.push_back(*scan.reader);
    }
    return result;
}

}  // namespace

std::string CauseText(const commands::NotFoundCause& cause, bool scan) {
    using Kind = commands::NotFoundCause::Kind;
    switch (cause.kind) {
        case Kind::Nothing:
            break;
        case Kind::Checksum:
            return cause.count > 0 ? Fill(Msg::CauseChecksum, QString::number(cause.count)) : "";
        case Kind::OtherType:
            return Fill(Msg::CauseOtherType, QString::fromLatin1(commands::Info(cause.type).name));
        case Kind::FastLine:
            return Fill(scan ? Msg::CauseFastLineScan : Msg::CauseFastLine,
                        QString::fromLatin1(tblink::kLineSettingsTexts[cause.settingsIndex]),
                        QString::number(cause.settingsIndex));
    }
    return {};
}

std::optional<std::string> LineSettingsFixed(const Context& context, int port) {
    const auto address = platform::ParseNetworkAddress(context.devicePath(port));
    if (!address || address->kind != platform::NetworkKind::Socket) return std::nullopt;
    return Fill(Msg::SocketLineFixed, QString::fromStdString(ComName(port)));
}

std::string English(Msg msg) { return text::Text(msg, text::kEnglish).toStdString(); }

std::string FromReader(const std::string& bytes, int codePage) {
    return platform::BytesAsText(bytes, codePage).toStdString();
}

std::string Context::devicePath(int port) const { return ports.devicePath(port).value_or(""); }

Connection::Connection(const Context& c, tblink::PortResolver resolver, std::function<bool()> end)
    : context(c),
      trace(c.trace ? std::make_unique<TraceEcho>(*c.trace, c.traceMutex) : nullptr),
      link(
          c.lines.channel ? c.lines.channel() : platform::MakeSerialChannel(),
          // The link names its port only when it opens it: the trace learns it there.
          [this, inner = std::move(resolver)](int port) {
              if (trace) trace->setPort(ComName(port));
              return inner ? inner(port) : context.devicePath(port);
          },
          c.lines.clock ? *c.lines.clock : platform::SteadyClock()),
      pacer(&c.progress, std::move(end), c.lines.wait) {
    if (trace) link.SetEchoSink(trace.get());
}

Outcome PortClosed(int port, const platform::PortDiagnosis& why) {
    return {kExitPortClosed,
            English(Msg::OpenCom) + " : " + std::to_string(port) + " " + English(Msg::Error),
            "port", platform::DescribePortProblem(why)};
}

ScanResult Scan(const Context& context, const ScanPlan& plan) {
    ScanResult result = plan.parallel ? ScanAtOnce(context, plan) : ScanInTurn(context, plan);
    std::stable_sort(result.readers.begin(), result.readers.end(),
                     [](const ReaderRow& a, const ReaderRow& b) { return a.port < b.port; });
    return result;
}

std::string ScanNotFoundCause(const Context& context, const ScanPlan& plan,
                              const ScanResult& result) {
    using Kind = commands::NotFoundCause::Kind;
    if (result.checksumReplies > 0)
        return CauseText({Kind::Checksum, result.checksumReplies}, true);
    std::vector<int> tried = plan.ports;
    if (plan.quickPort && std::find(tried.begin(), tried.end(), *plan.quickPort) == tried.end())
        tried.push_back(*plan.quickPort);
    if (tried.size() != 1) return {};
    Connection c(context);
    const commands::NotFoundProbe probe{tried.front(), plan.settingsIndex, plan.type, std::nullopt,
                                        0};
    return CauseText(commands::WhyNotFound(c.link, c.pacer, probe), true);
}

namespace {

// One reader check to `id` on the open port: a silent ID already costs the whole silence limit,
// so one attempt. The serial number of the reader that answered.
std::optional<std::string> CheckId(Connection& c, char start, const std::string& id,
                                   int silenceMs = tblink::ReaderLink::kDefaultSilenceLimitMs) {
    const commands::Session session{c.link, c.pacer, start + id};
    std::optional<std::string> serial;
    commands::Attempts(c.pacer, 1, commands::AttemptPause::Plain50ms, [&] {
        serial = commands::ReaderCheck(session, silenceMs);
        return serial.has_value();
    });
    return serial;
}

}  // namespace

std::optional<Outcome> NewIdTaken(Connection& c, const Target& target, const std::string& newId) {
    if (target.id == newId) return std::nullopt;  // the reader itself answers there
    if (!c.link.OpenPort(target.port, tblink::kLineSettingsTexts[target.settingsIndex]))
        return PortClosed(target.port, c.link.LastOpenFailure());
    const auto serial = CheckId(c, StartCharacter(target.type), newId);
    c.link.ClosePort();
    if (!serial) return std::nullopt;
    return Outcome{kExitFailed,
                   {},
                   "id-taken",
                   "ID " + newId + " is already taken on " + ComName(target.port) + " by reader " +
                       FromReader(*serial) + "; give --force to use it all the same"};
}

CensusResult Census(const Context& context, const Target& target, const std::vector<int>& ids,
                    int silenceMs, const std::function<void(const ReaderRow&)>& found) {
    CensusResult result;
    Connection c(context);
    if (!c.link.OpenPort(target.port, tblink::kLineSettingsTexts[target.settingsIndex])) {
        result.portClosed = PortClosed(target.port, c.link.LastOpenFailure());
        return result;
    }
    const char start = StartCharacter(target.type);
    for (int number : ids) {
        if (c.pacer.Stopped()) break;
        result.stoppedAfter = number;
        const std::string id = commands::TwoDigits(number);
        context.progress.status(ComName(target.port) + " ID " + id);
        const auto serial = CheckId(c, start, id, silenceMs);
        if (!serial) continue;
        const commands::Session session{c.link, c.pacer, start + id};
        ReaderRow row;
        row.port = target.port;
        row.settingsIndex = target.settingsIndex;
        row.id = id;
        row.serial = *serial;
        row.values = commands::ReadOut(session, std::nullopt);
        row.version = row.values.version;
        row.outcome =
            row.version
                ? Outcome{kExitOk, English(Msg::ReaderFindOk) + PortSuffix(target.port), {}, {}}
                : Failed(c.link, English(Msg::ReaderDataError) + PortSuffix(target.port));
        result.readers.push_back(row);
        if (found) {
            context.progress.clear();
            found(row);
        }
    }
    c.link.ClosePort();
    if (!c.pacer.Stopped() || ids.empty() || result.stoppedAfter == ids.back())
        result.stoppedAfter.reset();
    return result;
}

InfoResult Info(const Context& context, const Target& target) {
    InfoResult result;
    Connection c(context);
    const auto found = ProbeTarget(c, target, result.outcome);
    if (!found) return result;
    result.reader = Describe(c, *found, target.type, commands::Info(target.type).readOut);
    result.outcome = result.reader->outcome;
    return result;
}

namespace {

// The port opened at the target, the reader found first when it has no ID and the command is
// addressed; none, with `failure`, when either went wrong.
std::optional<commands::Session> OpenTarget(Connection& c, Target& target, bool addressed,
                                            Outcome& failure) {
    if (addressed && !target.id) {
        const auto found = ProbeTarget(c, target, failure);
        if (!found) return std::nullopt;
        target.id = commands::FoundReaderId(found->reply);
        if (!target.id) {
            failure = {kExitFailed, English(Msg::ReaderDataError) + PortSuffix(target.port), "id",
                       "the reply carries no reader ID 01 to 99"};
            return std::nullopt;
        }
    }
    if (!c.link.OpenPort(target.port, tblink::kLineSettingsTexts[target.settingsIndex])) {
        failure = PortClosed(target.port, c.link.LastOpenFailure());
        return std::nullopt;
    }
    return commands::Session{
        c.link, c.pacer, addressed ? Prefix(target) : std::string(1, StartCharacter(target.type))};
}

// The command procedure's steps on the command line: no link to check, nothing to keep busy,
// progress while a reader restarts, and the outcome as an exit status with its reason.
class CommandHost : public actions::Host {
public:
    CommandHost(Connection& connection, Target& target) : c_(connection), target_(target) {}

    void busy(bool) override {}
    bool linked(const actions::ActionInfo&) override { return true; }
    void started(const actions::ActionInfo& action) override {
        // A reader that restarts is polled until it answers: a dot a poll after this.
        if (action.id == actions::ActionId::FactoryDefault ||
            action.id == actions::ActionId::StandAloneDefault)
            c_.context.progress.status(English(Msg::PleaseWaiting));
    }
    std::optional<commands::Session> open(const actions::ActionInfo& action) override {
        return OpenTarget(c_, target_, action.addressed, notOpened_);
    }
    void close(const actions::ActionInfo&) override {
        c_.link.ClosePort();
        c_.context.progress.clear();
    }
    void finished(const actions::Outcome& outcome) override {
        c_.context.progress.clear();
        const std::string message = outcome.message ? English(*outcome.message) : "";
        switch (outcome.ending) {
            case actions::Ending::Done:
                outcome_ = {kExitOk, message, {}, {}};
                break;
            case actions::Ending::Refused:
                outcome_ = {kExitUsage, message, "refused", outcome.detail};
                break;
            case actions::Ending::PortClosed:
                outcome_ = notOpened_;
                break;
            case actions::Ending::Failed:
            case actions::Ending::NotLinked:
            case actions::Ending::Cancelled:
                outcome_ = Failed(c_.link, message);
                break;
        }
    }

    const Outcome& outcome() const { return outcome_; }

private:
    Connection& c_;
    Target& target_;
    Outcome notOpened_;
    Outcome outcome_;
};

}  // namespace

Outcome Perform(Connection& connection, Target& target, const actions::Request& request,
                std::string* refusal) {
    CommandHost host(connection, target);
    const actions::Outcome ended = actions::Perform(host, request);
    if (refusal) *refusal = ended.ending == actions::Ending::Refused ? ended.detail : "";
    return host.outcome();
}

Outcome ReadCards(const Context& context, Target target, commands::CardLoop loop, bool refuse,
                  const std::function<bool()>& end,
                  const std::function<void(const std::string&, bool keys, const Target&)>& shown) {
    Connection c(context, {}, end);
    Outcome outcome;
    const auto session = OpenTarget(c, target, true, outcome);
    if (!session) return outcome;
    const auto how = commands::ReadCards(
        *session, loop,
        [&](const commands::PollOutcome& poll) {
            if (poll.show == commands::PollOutcome::Show::CardId)
                shown(English(Msg::CardId) + FromReader(poll.text), false, target);
            else if (poll.show == commands::PollOutcome::Show::Keys)
                shown(FromReader(poll.text), true, target);
        },
        [refuse] { return refuse; });
    c.link.ClosePort();
    return how == commands::CardLoopEnd::Stopped ? Success(std::nullopt)
                                                 : Failed(c.link, English(Msg::ReaderNotFind));
}

RowResult ApplyRow(const Context& context, const PlanRow& row, bool force) {
    RowResult result;
    result.row = row;
    result.status = "invalid";
    result.id = row.id.value_or("");
    result.settingsIndex = row.settingsIndex.value_or(tblink::kDefaultLineSettingsIndex);
    const auto invalid = [&](const std::string& detail) {
        result.outcome = {kExitFailed, {}, "plan", detail};
        return result;
    };
    if (!row.error.empty()) return invalid(row.error);
    Target target{*row.port, row.settingsIndex.value_or(tblink::kDefaultLineSettingsIndex),
                  row.type.value_or(commands::ReaderType::PX10), row.id};
    const auto& info = commands::Info(target.type);
    if (row.cardType && !info.Shows(commands::FunctionPage::EM))
        return invalid(std::string("card_type: ") + info.name + " has no card type setting");
    if (row.newSettingsIndex) {
        if (const auto fixed = LineSettingsFixed(context, target.port))
            return invalid("new_settings: " + *fixed);
    }
    result.settingsIndex = target.settingsIndex;

    Connection c(context);
    const auto stop = [&](const Outcome& outcome) {
        result.outcome = outcome;
        result.messages.push_back(outcome.message);
        result.status = outcome.exit == kExitPortClosed ? "port"
                        : outcome.reason == "not-found" ? "not-found"
                                                        : "failed";
        return result;
    };
    if (row.newId && !force) {
        if (const auto taken = NewIdTaken(c, target, *row.newId)) return stop(*taken);
    }
    Outcome outcome;
    const auto found = ProbeTarget(c, target, outcome, true);
    if (!found) return stop(outcome);
    result.serial = tblink::ReplyField(found->reply, 6, 8);
    target.id = commands::FoundReaderId(found->reply);
    if (!target.id)
        return stop({kExitFailed, English(Msg::ReaderDataError) + PortSuffix(target.port), "id",
                     "the reply carries no reader ID 01 to 99"});
    result.id = *target.id;

    // The order of the factory default: the ID first, so every later command is addressed to the
    // new one, and the line settings last, after which the reader talks at them.
    struct Step {
        bool wanted;
        std::function<actions::Request()> request;
        std::function<void()> done;
    };
    std::vector<Step> steps = {
        {row.newId.has_value(), [&] { return actions::SetId(std::stoi(*row.newId)); },
         [&] { target.id = row.newId; }},
        {row.interface.has_value(), [&] { return actions::SetInterface(*row.interface); }, [] {}},
        {row.cardType.has_value(), [&] { return actions::SetCardType(*row.cardType); }, [] {}},
    };
    for (const PlanStep& each : row.steps) {
        steps.push_back({true,
                         [&] {
                             Values values;  // the steps set only: they read nothing back
                             return each.run.subcommand->request(each.run, values);
                         },
                         [] {}});
    }
    steps.push_back({row.newSettingsIndex.has_value(),
                     [&] { return actions::SetLine(*row.newSettingsIndex); },
                     [&] { target.settingsIndex = *row.newSettingsIndex; }});
    for (const Step& step : steps) {
        if (!step.wanted) continue;
        outcome = Perform(c, target, step.request());
        if (!outcome.ok()) return stop(outcome);
        result.messages.push_back(outcome.message);
        step.done();
        result.id = *target.id;
        result.settingsIndex = target.settingsIndex;
    }

    if (row.profile) {
        if (const auto failed = ApplyProfileRow(context, target, *row.profile, result.messages))
            return stop(*failed);
    }

    // The reader must answer where it now is: its ID at its line settings.
    Target now = target;
    const auto again = ProbeTarget(c, now, outcome, true);
    if (!again) return stop(outcome);
    result.outcome = {kExitOk, English(Msg::ReaderFindOk) + PortSuffix(now.port), {}, {}};
    result.messages.push_back(result.outcome.message);
    result.status = "ok";
    return result;
}

}  // namespace cli
