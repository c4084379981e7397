// How the window looks while a reader action runs (actions::Perform is the procedure itself),
// and the busy window that discovery and the card loop share with it.
#include <QApplication>
#include <QLabel>

#include "app/MainArea.h"
#include "app/TfrmModule.h"
#include "app/widgets/Lamp.h"

namespace app {

TfrmModule::BusyWindow::BusyWindow(TfrmModule& window, bool flashing)
    : window_(window), flashing_(flashing) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    ++window_.commandDepth_;
    if (flashing_)
        window_.SetBusy(true);
    else
        window_.setEnabled(false);
}

TfrmModule::BusyWindow::~BusyWindow() {
    --window_.commandDepth_;
    window_.SetBusy(false);
    QApplication::restoreOverrideCursor();
}

void TfrmModule::PumpMessages() { pacer_.Pump(); }

// Hourglass and disabled window; refusal (red lamp, low tone) when not linked; the start
// message, with the frame history's rows grouped under it; the outcome's lamp, message and tone.
class TfrmModule::ActionHost : public actions::Host {
public:
    explicit ActionHost(TfrmModule& window) : window_(window) {}

    void busy(bool on) override {
        if (on)
            busy_ = std::make_unique<BusyWindow>(window_, false);
        else
            busy_.reset();
    }

    bool linked(const actions::ActionInfo& action) override {
        if (!action.needsLink || window_.linked_) return true;
        window_.SetCommLamp(kLampRed);
        window_.Beep(kToneLowHz, kToneMs);
        return false;
    }

    void started(const actions::ActionInfo& action) override {
        scope_ = std::make_unique<ActionScope>(window_, action.messages.start);
        window_.ShowMessage(action.messages.start);
    }

    std::optional<commands::Session> open(const actions::ActionInfo& action) override {
        if (!window_.link_.OpenPort(window_.portNumber_, window_.lineSettings_))
            return std::nullopt;
        if (action.flashBusy) window_.SetBusy(true);
        return commands::Session{
            window_.link_, window_.pacer_,
            action.addressed ? window_.commandPrefix() : window_.startCharacter_};
    }

    void close(const actions::ActionInfo& action) override {
        window_.link_.ClosePort();
        if (action.flashBusy) window_.SetBusy(false);
    }

    void finished(const actions::Outcome& outcome) override {
        using actions::Ending;
        if (outcome.ok()) window_.sentSinceLink_.push_back(outcome.id);
        if (outcome.ending != Ending::NotLinked && outcome.ending != Ending::Cancelled) {
            window_.SetCommLamp(outcome.ok() ? kLampYellow : kLampRed);
            if (outcome.message) window_.ShowMessage(*outcome.message);
            // Nothing went out: the received-bytes panel says why.
            if (outcome.reason)
                window_.sbCommReceived->setText(outcome.reason->in(window_.language_));
            window_.Beep(outcome.ok() ? kToneHighHz : kToneLowHz, kToneMs);
        }
        scope_.reset();
    }

private:
    TfrmModule& window_;
    std::unique_ptr<BusyWindow> busy_;
    std::unique_ptr<ActionScope> scope_;
};

actions::Outcome TfrmModule::RunAction(const actions::Request& request) {
    ActionHost host(*this);
    return actions::Perform(host, request);
}

}  // namespace app
