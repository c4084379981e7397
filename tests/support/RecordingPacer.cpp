#include "RecordingPacer.h"

#include <algorithm>
#include <iterator>
#include <memory>

void RecordingPacer::pause(Call::Kind kind, int milliseconds) {
    calls_.push_back({kind, milliseconds});
    clock_.Advance(std::chrono::milliseconds(milliseconds));
}

void RecordingPacer::PauseKeptAlive(int milliseconds) {
    pause(Call::Kind::KeptAlive, milliseconds);
}

void RecordingPacer::PausePlain(int milliseconds) { pause(Call::Kind::Plain, milliseconds); }

void RecordingPacer::Pump() {
    calls_.push_back({Call::Kind::Pump, 0});
    if (onPump) onPump();
}

void RecordingPacer::Tick() { calls_.push_back({Call::Kind::Tick, 0}); }

bool RecordingPacer::Stopped() {
    ++stoppedQuestions_;
    return stopWhen && stopWhen();
}

void RecordingPacer::stopAfter(int count) {
    auto left = std::make_shared<int>(count);
    stopWhen = [left] {
        if (*left <= 0) return true;
        --*left;
        return false;
    };
}

std::vector<RecordingPacer::Call> RecordingPacer::pauses() const {
    std::vector<Call> list;
    std::copy_if(calls_.begin(), calls_.end(), std::back_inserter(list), [](const Call& call) {
        return call.kind == Call::Kind::KeptAlive || call.kind == Call::Kind::Plain;
    });
    return list;
}

std::string RecordingPacer::pausesText() const {
    std::string text;
    for (const Call& call : pauses()) {
        if (!text.empty()) text += ' ';
        text += call.kind == Call::Kind::KeptAlive ? 'K' : 'P';
        text += std::to_string(call.ms);
    }
    return text;
}

int RecordingPacer::count(Call::Kind kind) const {
    return static_cast<int>(std::count_if(calls_.begin(), calls_.end(),
                                          [kind](const Call& call) { return call.kind == kind; }));
}

void RecordingPacer::clear() {
    calls_.clear();
    stoppedQuestions_ = 0;
}
