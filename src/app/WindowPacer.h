// The window's pacer: kept-alive pauses run a local event loop (painting and timers go on),
// plain pauses sleep, the tick is the short progress tone, and a loop is stopped when the
// window's continuous-read flag has been cleared by the stop click.
#pragma once

#include <QPointer>
#include <QWidget>
#include <functional>

#include "link/Pacer.h"

namespace app {

class WindowPacer : public tblink::Pacer {
public:
    WindowPacer(std::function<void()> tick, std::function<bool()> stopped);

    void PauseKeptAlive(int milliseconds) override;
    void PausePlain(int milliseconds) override;
    void Pump() override;
    void Tick() override;
    bool Stopped() override;

    // The window paints nothing until the next pause or ReleasePaint: an action's first paint
    // (the disabled window, its start message) goes into a wait the procedure makes anyway
    // instead of ahead of the port's open. The window is disabled, so no input reaches it.
    void HoldPaint(QWidget& window);
    void ReleasePaint();

private:
    QPointer<QWidget> held_;
    std::function<void()> tick_;
    std::function<bool()> stopped_;
};

}  // namespace app
