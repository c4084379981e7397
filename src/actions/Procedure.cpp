#include "actions/Procedure.h"

#include <utility>

namespace actions {
namespace {

PerformObserver& Observer() {
    static PerformObserver observer;
    return observer;
}

class BusyScope {
public:
    explicit BusyScope(Host& host) : host_(host) { host_.busy(true); }
    ~BusyScope() { host_.busy(false); }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

private:
    Host& host_;
};

// CR and LF end a frame; a TAB in a reader text is never meant.
bool HasFrameCharacter(const std::string& bytes) {
    return bytes.find_first_of("\r\n\t") != std::string::npos;
}

}  // namespace

// In one pass, so that an argument holding "%2" stays as it is.
QString Reason::in(int language) const {
    const QString form = text::Text(msg, language);
    QString text;
    for (qsizetype i = 0; i < form.size(); ++i) {
        const int n = i + 1 < form.size() ? form.at(i + 1).digitValue() : -1;
        if (form.at(i) == u'%' && n >= 1 && n <= args.size()) {
            text += args.at(n - 1);
            ++i;
        } else {
            text += form.at(i);
        }
    }
    return text;
}

Request::Request(ActionId id, Run run) : id_(id), run_(std::move(run)) {}

void Request::refuse(const std::string& why) {
    if (refusal_.empty()) refusal_ = why;
}

void Request::refuse(const Reason& why) {
    if (!refusal_.empty()) return;
    refusal_ = why.in(text::kEnglish).toStdString();
    reason_ = why;
}

void Request::checkNumber(const char* input, int value) {
    const InputRule* rule = info().input(input);
    if (!rule) return refuse(std::string(input) + ": not an input of " + info().name);
    if (value < rule->min || value > rule->max)
        refuse(std::string(input) + " " + std::to_string(value) + " is outside " +
               std::to_string(rule->min) + " to " + std::to_string(rule->max));
}

void Request::checkText(const char* input, const std::string& bytes) {
    const InputRule* rule = info().input(input);
    if (!rule) return refuse(std::string(input) + ": not an input of " + info().name);
    if (bytes.size() > static_cast<std::size_t>(rule->max))
        refuse(std::string(input) + " is " + std::to_string(bytes.size()) +
               " bytes long; it takes at most " + std::to_string(rule->max));
    else if (HasFrameCharacter(bytes))
        refuse(std::string(input) + " holds a line break or a tab, which would split the frame");
}

void Request::wrap(const std::function<bool(const commands::Session&, const Run&)>& around) {
    run_ = [around, inner = run_](const commands::Session& session) {
        return around(session, inner);
    };
}

void SetPerformObserver(PerformObserver observer) { Observer() = std::move(observer); }

Outcome Perform(Host& host, const Request& request) {
    const ActionInfo& action = request.info();
    if (Observer()) Observer()(request.id());
    const BusyScope busy(host);
    Outcome outcome;
    outcome.id = request.id();
    const auto finish = [&](Ending ending, std::optional<text::Msg> message) {
        outcome.ending = ending;
        outcome.message = message;
        host.finished(outcome);
        return outcome;
    };
    if (!host.linked(action)) return finish(Ending::NotLinked, std::nullopt);
    if (request.proceed && !request.proceed()) return finish(Ending::Cancelled, std::nullopt);
    host.started(action);
    if (request.starting) request.starting();
    if (!request.refusal().empty()) {
        outcome.detail = request.refusal();
        outcome.reason = request.reason();
        return finish(Ending::Refused, action.messages.error);
    }
    const std::optional<commands::Session> session = host.open(action);
    if (!session) return finish(Ending::PortClosed, action.messages.error);
    bool done = false;
    try {
        done = request.run()(*session);
    } catch (...) {
        // A command that throws has failed: never a stuck front end or an open port.
        done = false;
    }
    outcome.last = session->link.LastResult();
    host.close(action);
    return done ? finish(Ending::Done, action.messages.ok)
                : finish(Ending::Failed, action.messages.error);
}

}  // namespace actions
