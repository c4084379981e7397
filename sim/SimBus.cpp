#include "SimBus.h"

#include <algorithm>

#include "SimFrame.h"

namespace tbsim {

namespace {

using Nanos = std::chrono::nanoseconds;

// Keeps the header (LF, character, ID, character) and seals a new data field with its checksum.
std::string Reseal(const std::string& reply, const std::string& data) {
    std::string frame = reply.substr(0, 5) + data;
    frame += HexByte(ReplyChecksum(frame));
    frame += kCr;
    return frame;
}

// When a frame of `size` characters, begun at `firstByte`, has crossed at `characterTime` each.
TimePoint Crossed(TimePoint firstByte, std::size_t size, Nanos characterTime) {
    return firstByte + characterTime * static_cast<Nanos::rep>(size);
}

}  // namespace

TimePoint Transmission::due(std::size_t index) const {
    return start + characterTime * static_cast<Nanos::rep>(index + 1) +
           pause * static_cast<Nanos::rep>(index);
}

TimePoint Transmission::end() const { return bytes.empty() ? start : due(bytes.size() - 1); }

TimePoint Transmission::goneAt() const {
    const std::size_t count = deliverable();
    return count == 0 ? start : due(count - 1);
}

SimBus::SimBus() = default;
SimBus::~SimBus() = default;

SimReader* SimBus::addReader(const ReaderConfig& config) {
    std::lock_guard<std::mutex> lock(mutex_);
    readers_.push_back(std::make_unique<SimReader>(config));
    return readers_.back().get();
}

std::vector<SimReader*> SimBus::readers() const {
    std::lock_guard<std::mutex> lock(mutex_);
    std::vector<SimReader*> list;
    for (const auto& reader : readers_) list.push_back(reader.get());
    return list;
}

void SimBus::setFault(const FaultPlan& plan, const std::string& onlyCommand) {
    std::lock_guard<std::mutex> lock(mutex_);
    fault_ = plan;
    faultCommand_ = onlyCommand;
}

void SimBus::clearFault() { setFault(FaultPlan{}); }

std::optional<Transmission> SimBus::hear(const std::string& frame, int baud, TimePoint firstByte,
                                         TimePoint lastByte) {
    const auto parts = SplitCommandFrame(frame);
    std::vector<SimReader*> listeners;
    bool paced = true;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        frames_.push_back(frame);
        commands_.push_back(parts.text);
        for (const auto& reader : readers_) listeners.push_back(reader.get());
        paced = pacing_;
    }
    if (!parts.checksumOk || baud == 0) return std::nullopt;

    std::vector<std::string> answers;
    Nanos receiveTime{0};
    Nanos sendTime{0};
    for (SimReader* reader : listeners) {
        if (reader->baud() != baud) continue;
        // Taken before the answer: a reader told to change its speed ("E") replies at the old
        // one and only then switches.
        const Nanos characterTime = paced ? reader->characterTime() : Nanos{0};
        const TimePoint heard = std::max(lastByte, Crossed(firstByte, frame.size(), characterTime));
        auto answer = reader->answer(parts.text, heard);
        if (!answer) continue;
        if (answers.empty()) receiveTime = characterTime;
        sendTime = std::max(sendTime, characterTime);
        answers.push_back(std::move(*answer));
    }
    if (answers.empty()) return std::nullopt;

    Transmission transmission;
    transmission.bytes = answers.size() == 1 ? answers.front() : CollideReplies(answers);
    transmission.replies = answers.size();
    transmission.characterTime = sendTime;
    // The reader answers only once the frame's last character has crossed the wire.
    TimePoint ready = std::max(lastByte, Crossed(firstByte, frame.size(), receiveTime));
    if (!applyFault(parts.text, transmission, ready)) return std::nullopt;
    transmission.start = ready;
    return transmission;
}

bool SimBus::applyFault(const std::string& command, Transmission& transmission, TimePoint& ready) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (fault_.fault == Fault::None || fault_.times == 0) return true;
    // The text after the start character and the two-digit ID.
    constexpr std::size_t kAddress = 3;
    if (!faultCommand_.empty() &&
        (command.size() < kAddress ||
         command.compare(kAddress, faultCommand_.size(), faultCommand_) != 0))
        return true;
    const FaultPlan plan = fault_;
    if (fault_.times > 0 && --fault_.times == 0) fault_ = FaultPlan{};

    std::string& bytes = transmission.bytes;
    // Faults that rewrite a reply's fields need one well-formed reply; a collision stays garbled.
    const bool oneReply = transmission.replies == 1 && bytes.size() >= 8;
    switch (plan.fault) {
        case Fault::None:
            break;
        case Fault::Silence:
            return false;
        case Fault::LateReply:
            ready += plan.delay;
            break;
        case Fault::Trickle:
            transmission.pause = plan.delay;
            break;
        case Fault::WrongChecksum:
            if (oneReply) {
                const std::size_t at = bytes.size() - 3;
                bytes.replace(
                    at, 2,
                    HexByte(static_cast<std::uint8_t>(ReplyChecksum(bytes.substr(0, at)) ^ 0xFF)));
            }
            break;
        case Fault::StrayByte:
            // A bus driver switching on often leaves a zero byte on the line.
            bytes.insert(bytes.begin(), '\0');
            break;
        case Fault::WrongLength:
            if (oneReply && bytes.size() > 8)
                bytes = Reseal(bytes, bytes.substr(5, bytes.size() - 9));
            break;
        case Fault::Garbage: {
            std::uniform_int_distribution<int> byteValue(0, 255);
            for (char& c : bytes) {
                do {
                    c = static_cast<char>(byteValue(random_));
                } while (c == kLf || c == kCr);
            }
            break;
        }
        case Fault::OverlongReply:
            if (oneReply) {
                std::string data = bytes.substr(5, bytes.size() - 8);
                if (data.empty()) data = "0";
                std::string longData;
                longData.reserve(plan.length);
                while (longData.size() < plan.length) longData += data;
                longData.resize(plan.length);
                bytes = Reseal(bytes, longData);
            }
            break;
        case Fault::LineGone:
            transmission.goneAfter = plan.length;
            break;
        case Fault::AlteredData:
            if (oneReply && bytes.size() > 8) {
                std::string data = bytes.substr(5, bytes.size() - 8);
                data.back() = data.back() == '0' ? '1' : '0';
                bytes = Reseal(bytes, data);
            }
            break;
    }
    return true;
}

void SimBus::delivered(const Transmission& transmission) {
    std::lock_guard<std::mutex> lock(mutex_);
    replies_ += transmission.replies;
}

std::vector<std::string> SimBus::receivedFrames() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return frames_;
}

std::vector<std::string> SimBus::receivedCommands() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return commands_;
}

void SimBus::clearLog() {
    std::lock_guard<std::mutex> lock(mutex_);
    frames_.clear();
    commands_.clear();
}

std::vector<std::string> SimBus::takeReceivedCommands() {
    std::lock_guard<std::mutex> lock(mutex_);
    std::vector<std::string> taken;
    taken.swap(commands_);
    frames_.clear();
    return taken;
}

std::size_t SimBus::repliesSent() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return replies_;
}

void SimBus::setPacing(bool on) {
    std::lock_guard<std::mutex> lock(mutex_);
    pacing_ = on;
}

bool SimBus::pacing() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return pacing_;
}

}  // namespace tbsim
