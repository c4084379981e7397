// apply --dry-run: every row runs its actions against a stand-in line that opens no device and
// answers as one obliging reader would, so the frames of a real run are seen and none is sent.
#pragma once

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "platform/Clock.h"
#include "platform/SerialChannel.h"

namespace cli {

// One row's stand-in line, and the time that passes on it (a silent ID costs no real wait).
class DryLine : public platform::Clock {
public:
    // `id`: the ID the reader answers to; a "C" command gives it another.
    explicit DryLine(std::string id) : id_(std::move(id)) {}
    TimePoint Now() const override { return TimePoint{} + passed_; }
    void wait(int milliseconds) { passed_ += std::chrono::milliseconds(milliseconds); }
    std::unique_ptr<platform::SerialChannel> channel();
    // The frames sent, as the status bar shows them: "[09]A01B0A[0D]".
    const std::vector<std::string>& frames() const { return frames_; }

private:
    class Channel;
    std::string id_;
    std::vector<std::string> frames_;
    std::chrono::milliseconds passed_{0};
};

}  // namespace cli
