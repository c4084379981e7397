// The command procedure that every reader-command button follows.
#include <QApplication>
#include <QEventLoop>
#include <QTimer>
#include <chrono>
#include <thread>

#include "app/TfrmModule.h"
#include "app/widgets/Lamp.h"

namespace app {
namespace {

// Hourglass and a disabled window for as long as it lives, whatever way the scope is left.
class BusyWindow {
public:
    BusyWindow(QWidget* window, int& depth) : window_(window), depth_(depth) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        window_->setEnabled(false);
        ++depth_;
    }
    ~BusyWindow() {
        --depth_;
        window_->setEnabled(true);
        QApplication::restoreOverrideCursor();
    }
    BusyWindow(const BusyWindow&) = delete;
    BusyWindow& operator=(const BusyWindow&) = delete;

private:
    QWidget* window_;
    int& depth_;
};

}  // namespace

void TfrmModule::PumpMessages() { QCoreApplication::processEvents(); }

void TfrmModule::SleepWithoutPumping(int milliseconds) {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

void TfrmModule::PumpWait(int milliseconds) {
    QEventLoop loop;
    QTimer::singleShot(milliseconds, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
}

bool TfrmModule::RunCommand(const CommandSteps& steps, const std::function<bool()>& attempt) {
    BusyWindow busy(this, commandDepth_);
    if (!linked_) {
        SetCommLamp(kLampRed);
        Beep(kToneLowHz, kToneMs);
        return false;
    }
    ShowMessage(steps.start);

    bool success = false;
    if (link_.OpenPort(portNumber_, lineSettings_)) {
        try {
            for (int i = 0; i < steps.attempts && !success; ++i) {
                if (steps.pause == AttemptPause::Pumped100ms) {
                    PumpWait(100);
                    PumpMessages();
                } else {
                    SleepWithoutPumping(50);
                }
                success = attempt();
            }
        } catch (...) {
            // An attempt that throws is a failed command, never a stuck window or open port.
            success = false;
        }
        link_.ClosePort();
    }

    SetCommLamp(success ? kLampYellow : kLampRed);
    ShowMessage(success ? steps.ok : steps.error);
    Beep(success ? kToneHighHz : kToneLowHz, kToneMs);
    return success;
}

}  // namespace app
