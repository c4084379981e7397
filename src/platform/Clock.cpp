#include "platform/Clock.h"

#include <sys/prctl.h>

#include <thread>

namespace platform {
namespace {

// Longer than the kernel's usual lateness here, short enough to cost little CPU: a card loop
// spends 5 x 250 us a poll of about 60 ms awake.
constexpr std::chrono::microseconds kAwakeStretch{250};

class SystemSteadyClock : public Clock {
public:
    TimePoint Now() const override { return std::chrono::steady_clock::now(); }
};

}  // namespace

const Clock& SteadyClock() {
    static const SystemSteadyClock clock;
    return clock;
}

void KeepTimersPrecise() {
    // A nanosecond, the least the kernel takes; a refusal leaves the default, which is harmless.
    ::prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
}

void SleepFor(int milliseconds) {
    SleepUntil(std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds));
}

void SleepUntil(std::chrono::steady_clock::time_point deadline) {
    std::this_thread::sleep_until(deadline - kAwakeStretch);
    while (std::chrono::steady_clock::now() < deadline) std::this_thread::yield();
}

}  // namespace platform
