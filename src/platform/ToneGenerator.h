// Tones: the window's audible signal beside the lamp (1000 Hz success, 300 Hz failure).
#pragma once

#include <memory>

namespace platform {

class ToneGenerator {
public:
    virtual ~ToneGenerator() = default;
    // Starts a tone and returns at once; the window never waits for it to end.
    virtual void Beep(int frequencyHz, int durationMs) = 0;
};

// A sine tone on the default audio output; silent where the machine has no audio output.
std::unique_ptr<ToneGenerator> MakeAudioToneGenerator();

}  // namespace platform
