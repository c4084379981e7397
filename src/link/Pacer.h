// How a sequence of exchanges waits between its steps. Reader commands never sleep by themselves:
// they ask the pacer, which the window implements with its message pump and tone generator, the
// command-line program without them, and tests with a virtual clock that records every call.
#pragma once

namespace tblink {

// How long the progress tone of long sequences sounds.
constexpr int kTickMs = 50;

class Pacer {
public:
    virtual ~Pacer() = default;

    // Waits with the window kept alive (painting and timers go on), then pumps its messages
    // once: the usual pause before an attempt (100 ms).
    virtual void PauseKeptAlive(int milliseconds) = 0;
    // Waits with the window still: the short pauses the reader's own timing needs (50 ms).
    virtual void PausePlain(int milliseconds) = 0;
    // Lets the window handle what is waiting (paint, timers, the click that stops a loop).
    virtual void Pump() = 0;
    // The short progress tone of long sequences (1000 Hz, kTickMs). It does not hold the
    // caller: a sequence whose timing counts the tone waits it out itself.
    virtual void Tick() = 0;
    // True once the user has asked a running loop to end.
    virtual bool Stopped() = 0;
};

}  // namespace tblink
