// A pacer for tests: its pauses move the virtual clock instead of waiting, and every call is
// recorded in order, so a test can assert the pause kinds and lengths and the attempt counts of
// a reader command. Whether the user has stopped a loop is asked of `stopWhen`.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "VirtualClock.h"
#include "link/Pacer.h"

class RecordingPacer : public tblink::Pacer {
public:
    struct Call {
        enum class Kind { KeptAlive, Plain, Pump, Tick };
        Kind kind;
        int ms = 0;  // pauses only

        static Call keptAlive(int ms) { return {Kind::KeptAlive, ms}; }
        static Call plain(int ms) { return {Kind::Plain, ms}; }
        bool operator==(const Call& other) const { return kind == other.kind && ms == other.ms; }
        bool operator!=(const Call& other) const { return !(*this == other); }
    };

    // `clock` must outlive the pacer.
    explicit RecordingPacer(VirtualClock& clock) : clock_(clock) {}

    void PauseKeptAlive(int milliseconds) override;
    void PausePlain(int milliseconds) override;
    void Pump() override;
    void Tick() override;
    // Asks `stopWhen`; not recorded among the calls, only counted.
    bool Stopped() override;

    // What the user does while the window pumps its messages (a click that stops a loop).
    std::function<void()> onPump;

    // Nothing set: the user never stops.
    std::function<bool()> stopWhen;
    // Stopped() answers false `count` times, then true: "the user stops after N rounds".
    void stopAfter(int count);

    const std::vector<Call>& calls() const { return calls_; }
    // The pauses alone, in order, without pumps and ticks.
    std::vector<Call> pauses() const;
    // The same as text, e.g. "K100 K100 P50" (K kept alive, P plain): readable when a
    // comparison fails.
    std::string pausesText() const;
    int pumps() const { return count(Call::Kind::Pump); }
    int ticks() const { return count(Call::Kind::Tick); }
    int stoppedQuestions() const { return stoppedQuestions_; }
    void clear();

private:
    int count(Call::Kind kind) const;
    void pause(Call::Kind kind, int milliseconds);

    VirtualClock& clock_;
    std::vector<Call> calls_;
    int stoppedQuestions_ = 0;
};
