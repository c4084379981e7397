// The one command procedure: every reader action of either front end runs through Perform, which
// refuses what breaks an input rule before anything is sent, keeps the front end busy, opens the
// port, runs the action's commands/ call with its attempts, closes the port on every path (an
// exception included) and says what came of it. A front end supplies only how this looks: the
// window's hourglass, lamps, tones and message panel, or tagbench-cli's progress and exit status.
#pragma once

#include <QStringList>
#include <functional>
#include <optional>
#include <string>
#include <utility>

#include "actions/Action.h"
#include "commands/Session.h"
#include "link/ReaderLink.h"

namespace actions {

// A catalogue text with its %1, %2, ... filled in: why an action is refused, in every language.
struct Reason {
    text::Msg msg;
    QStringList args;
    QString in(int language) const;
};

// A reader action ready to run: its inputs checked against their rules and bound to its
// commands/ call. Made by the functions of Requests.h; a front end may add its own steps.
class Request {
public:
    using Run = std::function<bool(const commands::Session&)>;
    explicit Request(ActionId id, Run run = {});
    void setRun(Run run) { run_ = std::move(run); }

    ActionId id() const { return id_; }
    const ActionInfo& info() const { return Describe(id_); }
    const Run& run() const { return run_; }

    // Why an input breaks its rule, in English; empty while every input keeps to its rule. The
    // first broken rule is the one reported.
    const std::string& refusal() const { return refusal_; }
    void refuse(const std::string& why);
    // A refusal the window can say in its language as well; tagbench-cli prints the English.
    void refuse(const Reason& why);
    const std::optional<Reason>& reason() const { return reason_; }
    // The rules of Action.h: a number in its range, a list item, a reader text of at most so
    // many bytes in the code page and without frame characters (`bytes` is already encoded).
    void checkNumber(const char* input, int value);
    void checkText(const char* input, const std::string& bytes);

    // A front end's step between the linked check and the start message: false ends the action
    // quietly, with no message, lamp or tone (a file dialog the user cancelled).
    std::function<bool()> proceed;
    // A front end's step after the start message, before the port opens, whatever then follows.
    std::function<void()> starting;
    // Wraps the commands/ call, for a front end that writes controls while the port is open.
    void wrap(const std::function<bool(const commands::Session&, const Run&)>& around);

private:
    ActionId id_;
    Run run_;
    std::string refusal_;
    std::optional<Reason> reason_;
};

// How an action ended.
enum class Ending {
    Done,        // the reader did what was asked
    Failed,      // the port opened but the command did not succeed
    Refused,     // an input broke its rule: nothing was sent, the port was not opened
    NotLinked,   // the window has no linked reader: nothing was sent, no message shown
    Cancelled,   // the front end's own step ended it before the start: nothing shown
    PortClosed,  // the port did not open (or the reader could not be found, on the command line)
};

struct Outcome {
    ActionId id = ActionId::SetId;
    Ending ending = Ending::Failed;
    // What the message panel shows at the end: the action's ok or error message; none when the
    // action ended before its start message, or succeeded without a message of its own.
    std::optional<text::Msg> message;
    tblink::TransactResult last = tblink::TransactResult::Ok;  // Failed: the last exchange's
    std::string detail;                                        // Refused: why
    std::optional<Reason> reason;  // Refused, when the refusal has catalogue words
    bool ok() const { return ending == Ending::Done; }
};

// What a front end does at each step of the procedure.
class Host {
public:
    virtual ~Host() = default;
    // Around the whole action, from the first step to the last, on every path.
    virtual void busy(bool on) = 0;
    // The window's refusal while no reader is linked; false ends the action as NotLinked.
    virtual bool linked(const ActionInfo& action) = 0;
    virtual void started(const ActionInfo& action) = 0;
    // Opens the port and gives the session the action runs in (its prefix addressed or not);
    // none when the port did not open, with the host's own reasons kept for `finished`.
    virtual std::optional<commands::Session> open(const ActionInfo& action) = 0;
    virtual void close(const ActionInfo& action) = 0;
    virtual void finished(const Outcome& outcome) = 0;
};

// Tests watch which action each front end performs.
using PerformObserver = std::function<void(ActionId)>;
void SetPerformObserver(PerformObserver observer);

Outcome Perform(Host& host, const Request& request);

}  // namespace actions
