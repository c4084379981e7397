#include "platform/Clock.h"

#include <sys/prctl.h>

namespace platform {
namespace {

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

}  // namespace platform
