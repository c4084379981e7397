// The command procedure that every reader-command button follows, and the busy window that
// discovery and the command tests share with it.
#include <QApplication>

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

bool TfrmModule::RunCommand(const CommandSteps& steps, const CommandAction& action) {
    BusyWindow busy(*this, false);
    if (steps.needsLink && !linked_) {
        SetCommLamp(kLampRed);
        Beep(kToneLowHz, kToneMs);
        return false;
    }
    if (steps.proceed && !steps.proceed()) return false;
    const ActionScope scope(*this, steps.start);
    ShowMessage(steps.start);
    if (steps.onStart) steps.onStart();

    bool success = false;
    if (link_.OpenPort(portNumber_, lineSettings_)) {
        if (steps.flashBusy) SetBusy(true);
        try {
            success = action(commands::Session{link_, pacer_, commandPrefix()});
        } catch (...) {
            // A command that throws has failed: never a stuck window or an open port.
            success = false;
        }
        link_.ClosePort();
        if (steps.flashBusy) SetBusy(false);
    }

    SetCommLamp(success ? kLampYellow : kLampRed);
    ShowMessage(success ? steps.ok : steps.error);
    Beep(success ? kToneHighHz : kToneLowHz, kToneMs);
    return success;
}

}  // namespace app
