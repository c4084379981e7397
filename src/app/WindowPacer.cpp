#include "app/WindowPacer.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>
#include <chrono>
#include <thread>

#include "platform/Clock.h"

namespace app {

WindowPacer::WindowPacer(std::function<void()> tick, std::function<bool()> stopped)
    : tick_(std::move(tick)), stopped_(std::move(stopped)) {
    platform::KeepTimersPrecise();  // the window's thread: its pauses are the reader's timing
}

void WindowPacer::PauseKeptAlive(int milliseconds) {
    ReleasePaint();
    QEventLoop loop;
    QTimer::singleShot(milliseconds, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
    Pump();
}

void WindowPacer::PausePlain(int milliseconds) {
    ReleasePaint();  // painted at the next pump
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
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
