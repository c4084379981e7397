#include "ScriptedChannel.h"

#include <termios.h>

#include <algorithm>
#include <stdexcept>

#include "platform/LineSettings.h"

namespace {

using Nanos = std::chrono::nanoseconds;

// What the simulated line's pseudo-terminal starts at; a port opened with settings that do not
// parse keeps these fields, as a real device keeps its own.
const tbsim::LineFormat kRestingFormat{9600, 'n', 8, 2};

// The system sets only the rates it has a constant for and leaves the speed alone otherwise.
bool SystemHasRate(int baud) {
    termios tio{};
    cfsetospeed(&tio, B0);
    platform::LineSettings rate;
    rate.baud = baud;
    platform::ApplyLineSettings(rate, tio);
    return cfgetospeed(&tio) != B0;
}

// The port's format once opened with `text`: each field that parses replaces the resting one.
tbsim::LineFormat Applied(const std::string& text) {
    const platform::LineSettings parsed = platform::ParseLineSettings(text);
    tbsim::LineFormat format = kRestingFormat;
    if (parsed.baud && SystemHasRate(*parsed.baud)) format.baud = *parsed.baud;
    if (parsed.parity) {
        switch (*parsed.parity) {
            case platform::Parity::None:
                format.parity = 'n';
                break;
            case platform::Parity::Even:
                format.parity = 'e';
                break;
            case platform::Parity::Odd:
                format.parity = 'o';
                break;
            case platform::Parity::Mark:
                format.parity = 'm';
                break;
            case platform::Parity::Space:
                format.parity = 's';
                break;
        }
    }
    if (parsed.dataBits) format.dataBits = *parsed.dataBits;
    if (parsed.stopBits) {
        switch (*parsed.stopBits) {
            case platform::StopBits::One:
                format.stopHalfBits = 2;
                break;
            case platform::StopBits::OneAndHalf:
                format.stopHalfBits = 3;
                break;
            case platform::StopBits::Two:
                format.stopHalfBits = 4;
                break;
        }
    }
    return format;
}

}  // namespace

ScriptedChannel::ScriptedChannel(VirtualClock& clock) : clock_(clock) {}

ScriptedChannel::~ScriptedChannel() = default;

ScriptedChannel::Line& ScriptedChannel::newLine(const std::string& path) {
    if (path.empty() || lines_.count(path))
        throw std::logic_error("scripted line path empty or taken: " + path);
    auto line = std::make_unique<Line>();
    line->path = path;
    line->frameStart = line->wireFree = clock_.Now();
    return *lines_.emplace(path, std::move(line)).first->second;
}

tbsim::SimBus& ScriptedChannel::addLine(const std::string& path) {
    Line& line = newLine(path);
    line.owned = std::make_unique<tbsim::SimBus>();
    line.bus = line.owned.get();
    return *line.bus;
}

void ScriptedChannel::attachLine(const std::string& path, tbsim::SimBus& bus) {
    newLine(path).bus = &bus;
}

ScriptedChannel::Line* ScriptedChannel::find(const std::string& path) {
    const auto it = lines_.find(path);
    return it == lines_.end() ? nullptr : it->second.get();
}

tbsim::SimBus& ScriptedChannel::line(const std::string& path) {
    Line* line = find(path);
    if (!line) throw std::logic_error("no scripted line at " + path);
    return *line->bus;
}

void ScriptedChannel::setHeld(const std::string& path, bool held) {
    if (Line* line = find(path)) line->held = held;
}

void ScriptedChannel::setRefusal(const std::string& path, const platform::PortDiagnosis& why) {
    if (Line* line = find(path)) line->refusal = why;
}

void ScriptedChannel::hangUp(const std::string& path) {
    if (Line* line = find(path)) cut(*line);
}

void ScriptedChannel::cut(Line& line) {
    line.gone = true;
    line.incoming.clear();
}

bool ScriptedChannel::open(const std::string& devicePath, const std::string& lineSettings) {
    close();
    ++openAttempts_;
    diagnosis_ = {};
    diagnosis_.device = devicePath;
    Line* line = find(devicePath);
    if (line && line->refusal.problem != platform::PortProblem::None) {
        diagnosis_ = line->refusal;
        return false;
    }
    if (!line || line->gone) diagnosis_.problem = platform::PortProblem::NoSuchDevice;
    if (line && line->held) {
        diagnosis_.problem = platform::PortProblem::HeldByProgram;
        diagnosis_.heldBy = "flock";  // as a QSerialPort program would hold it
    }
    if (!line || line->held || line->gone) return false;
    diagnosis_ = {};
    const tbsim::LineFormat format = Applied(lineSettings);
    open_ = line;
    openSettings_ = lineSettings;
    baud_ = format.baud;
    characterTime_ = tbsim::CharacterTime(format);
    ++opens_;
    return true;
}

void ScriptedChannel::close() {
    if (!open_) return;
    purge();
    open_ = nullptr;
    ++closes_;
}

std::string ScriptedChannel::openPath() const { return open_ ? open_->path : std::string(); }

void ScriptedChannel::settle(Line& line) {
    const auto now = clock_.Now();
    for (Incoming& in : line.incoming) {
        if (!in.counted && !in.transmission.cutsLine() && in.transmission.end() <= now) {
            line.bus->delivered(in.transmission);
            in.counted = true;
        }
    }
    while (!line.incoming.empty()) {
        const Incoming& front = line.incoming.front();
        const tbsim::Transmission& transmission = front.transmission;
        if (front.read < transmission.deliverable()) return;
        if (transmission.cutsLine()) {
            // The bytes before the cut reach the program first, as on the simulated line.
            if (now >= transmission.goneAt()) cut(line);
            return;
        }
        if (!front.counted) return;
        line.incoming.pop_front();
    }
}

void ScriptedChannel::purge() {
    if (!open_) return;
    const auto now = clock_.Now();
    for (Incoming& in : open_->incoming) {
        const tbsim::Transmission& transmission = in.transmission;
        while (in.read < transmission.deliverable() && transmission.due(in.read) <= now) ++in.read;
    }
    settle(*open_);
}

void ScriptedChannel::write(const std::uint8_t* bytes, std::size_t count) {
    if (!open_ || open_->gone) return;
    Line& line = *open_;
    for (std::size_t i = 0; i < count; ++i) {
        // The port sends queued bytes back to back; a byte written later starts when written.
        const auto begin = std::max(clock_.Now(), line.wireFree);
        line.wireFree = begin + characterTime_;
        const char c = static_cast<char>(bytes[i]);
        const bool wasInFrame = line.assembler.inFrame();
        const auto frames = line.assembler.feed(&c, 1);
        // A frame counts from its TAB, and a TAB inside a frame starts it again.
        if ((!wasInFrame && line.assembler.inFrame()) || (wasInFrame && c == tbsim::kTab))
            line.frameStart = begin;
        for (const auto& frame : frames) onFrame(frame);
    }
}

void ScriptedChannel::onFrame(const std::string& frame) {
    Line& line = *open_;
    sent_.push_back(Sent{
        line.path, openSettings_, frame, tbsim::SplitCommandFrame(frame).text,
        std::chrono::duration_cast<std::chrono::milliseconds>(line.frameStart - clock_.Start())});
    auto transmission = line.bus->hear(frame, baud_, line.frameStart, line.wireFree);
    if (!transmission) return;
    // One reader talks at a time: a reply waits for the one before it to finish.
    if (!line.incoming.empty())
        transmission->start =
            std::max(transmission->start, line.incoming.back().transmission.end());
    line.incoming.push_back(Incoming{std::move(*transmission)});
}

void ScriptedChannel::drain() {
    if (open_ && !open_->gone) clock_.AdvanceTo(open_->wireFree);
}

platform::ReadStatus ScriptedChannel::readByte(std::uint8_t& byte, int timeoutMs) {
    if (!open_) return platform::ReadStatus::LineGone;
    Line& line = *open_;
    const auto deadline = clock_.Now() + std::chrono::milliseconds(std::max(timeoutMs, 0));
    for (;;) {
        settle(line);
        if (line.gone) {
            diagnosis_ = {};
            diagnosis_.device = line.path;
            diagnosis_.problem = platform::PortProblem::Vanished;
            return platform::ReadStatus::LineGone;
        }
        if (line.incoming.empty()) {
            clock_.AdvanceTo(deadline);
            return platform::ReadStatus::Timeout;
        }
        Incoming& front = line.incoming.front();
        const tbsim::Transmission& transmission = front.transmission;
        const bool byteNext = front.read < transmission.deliverable();
        // The next thing to happen: a byte arriving, or the line being cut after its last one.
        const auto next = byteNext ? transmission.due(front.read) : transmission.goneAt();
        if (byteNext && next <= clock_.Now()) {
            byte = static_cast<std::uint8_t>(transmission.bytes[front.read++]);
            return platform::ReadStatus::Byte;
        }
        if (next > deadline) {
            clock_.AdvanceTo(deadline);
            return platform::ReadStatus::Timeout;
        }
        clock_.AdvanceTo(next);
    }
}

std::vector<std::string> ScriptedChannel::commands() const {
    std::vector<std::string> texts;
    for (const auto& sent : sent_) texts.push_back(sent.command);
    return texts;
}

std::vector<std::string> ScriptedChannel::takeCommands() {
    std::vector<std::string> texts;
    for (std::size_t i = taken_; i < sent_.size(); ++i) texts.push_back(sent_[i].command);
    taken_ = sent_.size();
    return texts;
}
