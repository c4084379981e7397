#include "app/WindowPacer.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>
#include <chrono>
#include <thread>

namespace app {

WindowPacer::WindowPacer(std::function<void()> tick, std::function<bool()> stopped)
    : tick_(std::move(tick)), stopped_(std::move(stopped)) {}

void WindowPacer::PauseKeptAlive(int milliseconds) {
    QEventLoop loop;
    QTimer::singleShot(milliseconds, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
    Pump();
}

void WindowPacer::PausePlain(int milliseconds) {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

void WindowPacer::Pump() { QCoreApplication::processEvents(); }

void WindowPacer::Tick() { tick_(); }

bool WindowPacer::Stopped() { return stopped_(); }

}  // namespace app
