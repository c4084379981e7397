// The steady clock the link measures silences with. Tests put a virtual clock in its place, so
// that a sequence of long waits runs in no real time.
#pragma once

#include <chrono>

namespace platform {

class Clock {
public:
    using TimePoint = std::chrono::steady_clock::time_point;

    virtual ~Clock() = default;
    virtual TimePoint Now() const = 0;
};

// The system's steady clock; one instance serves the whole program.
const Clock& SteadyClock();

// Makes the calling thread's sleeps and timed waits end when asked rather than up to the
// kernel's default slack (50 us) later: a card loop sleeps five times a poll.
void KeepTimersPrecise();

// Sleeps the calling thread for `milliseconds`, or until `deadline`, and ends as close to it as
// the scheduler lets: the kernel's wake-up comes some tens to hundreds of microseconds late on a
// busy machine, five times a card poll, so the last stretch is waited out awake.
void SleepFor(int milliseconds);
void SleepUntil(std::chrono::steady_clock::time_point deadline);

}  // namespace platform
