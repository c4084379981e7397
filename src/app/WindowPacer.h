// The window's pacer: kept-alive pauses run a local event loop (painting and timers go on),
// plain pauses sleep, the tick is the short progress tone, and a loop is stopped when the
// window's continuous-read flag has been cleared by the stop click.
#pragma once

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

private:
    std::function<void()> tick_;
    std::function<bool()> stopped_;
};

}  // namespace app
