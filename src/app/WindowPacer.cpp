#include "app/WindowPacer.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>
#include <algorithm>
#include <chrono>

#include "platform/Clock.h"

namespace app {

WindowPacer::WindowPacer(std::function<void()> tick, std::function<bool()> stopped)
    : tick_(std::move(tick)), stopped_(std::move(stopped)) {
    platform::KeepTimersPrecise();  // the window's thread: its pauses are the reader's timing
}

void WindowPacer::PauseKeptAlive(int milliseconds) {
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    ReleasePaint();
    // The event loop wakes its timers on whole milliseconds and up to one late: the last
    // millisecond is slept out.
    QEventLoop loop;
    QTimer::singleShot(std::max(0, milliseconds - 1), Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
    platform::SleepUntil(deadline);
    Pump();
}

void WindowPacer::PausePlain(int milliseconds) {
    ReleasePaint();  // painted at the next pump
    platform::SleepFor(milliseconds);
}

void WindowPacer::Pump() { QCoreApplication::processEvents(); }

void WindowPacer::Tick() { tick_(); }

bool WindowPacer::Stopped() { return stopped_(); }

void WindowPacer::HoldPaint(QWidget& window) {
    held_ = &window;
    window.setUpdatesEnabled(false);
}

void WindowPacer::ReleasePaint() {
    if (held_) held_->setUpdatesEnabled(true);
    held_ = nullptr;
}

}  // namespace app
