// A clock that moves only when told. The scripted channel and the recording pacer advance it by
// what their waits would take, so a sequence of long waits runs in no real time and a test can
// still say how long it would have taken.
#pragma once

#include <algorithm>
#include <chrono>

#include "platform/Clock.h"

class VirtualClock : public platform::Clock {
public:
    TimePoint Now() const override { return now_; }

    // Time only goes forward: a negative step, or a moment already past, changes nothing.
    void Advance(std::chrono::nanoseconds step) {
        if (step > std::chrono::nanoseconds::zero()) now_ += step;
    }
    void AdvanceTo(TimePoint when) { now_ = std::max(now_, when); }

    // Since the clock was made.
    std::chrono::nanoseconds Elapsed() const { return now_ - start_; }
    TimePoint Start() const { return start_; }

private:
    // Away from the epoch, so that code taking a zero time for "never" shows up.
    TimePoint start_ = TimePoint{} + std::chrono::hours(1);
    TimePoint now_ = start_;
};
