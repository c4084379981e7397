#include "link/ReaderLink.h"

#include <algorithm>
#include <chrono>

#include "link/ReplyFields.h"

namespace tblink {
namespace {

long long MillisecondsBetween(platform::Clock::TimePoint mark, platform::Clock::TimePoint now) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(now - mark).count();
}

// Where an exchange refused for want of an open port happened.
const std::shared_ptr<const PortInfo>& NoPort() {
    static const auto none = std::make_shared<const PortInfo>();
    return none;
}

}  // namespace

ReaderLink::ReaderLink(std::unique_ptr<platform::SerialChannel> channel, PortResolver resolver,
                       const platform::Clock& clock)
    : channel_(std::move(channel)), resolver_(std::move(resolver)), clock_(clock) {}

bool ReaderLink::OpenPort(int portNumber, const std::string& lineSettings) {
    auto port = std::make_shared<const PortInfo>(
        PortInfo{portNumber, "COM" + std::to_string(portNumber),
                 resolver_ ? resolver_(portNumber) : std::string(), lineSettings});
    // Ports are held exclusively: one already open here (a card-reading loop) stays with its
    // owner, as it would against any other program.
    if (channel_->isOpen()) {
        platform::PortDiagnosis here;
        here.problem = platform::PortProblem::HeldHere;
        here.device = port_ ? port_->device : port->device;
        return refuseOpen(std::move(port), std::move(here));
    }
    if (port->device.empty()) {
        platform::PortDiagnosis unmapped;
        unmapped.problem = platform::PortProblem::NotMapped;
        unmapped.device = port->name;
        return refuseOpen(std::move(port), std::move(unmapped));
    }
    if (!channel_->open(port->device, lineSettings)) {
        platform::PortDiagnosis why = channel_->diagnosis();
        if (why.problem == platform::PortProblem::None) {
            why.problem = platform::PortProblem::Other;
            why.device = port->device;
        }
        return refuseOpen(std::move(port), std::move(why));
    }
    lastOpenFailure_ = {};
    port_ = std::move(port);
    HistoryEntry opened;
    opened.event = HistoryEvent::PortOpened;
    opened.port = port_;
    history_.Add(std::move(opened));
    return true;
}

bool ReaderLink::refuseOpen(std::shared_ptr<const PortInfo> port, platform::PortDiagnosis why) {
    lastOpenFailure_ = why;
    HistoryEntry refused;
    refused.event = HistoryEvent::PortOpenFailed;
    refused.port = std::move(port);
    refused.diagnosis = std::make_shared<const platform::PortDiagnosis>(std::move(why));
    history_.Add(std::move(refused));
    return false;
}

void ReaderLink::ClosePort() {
    if (!channel_->isOpen()) return;
    channel_->close();
    HistoryEntry closed;
    closed.event = HistoryEvent::PortClosed;
    closed.port = port_ ? port_ : NoPort();
    port_.reset();
    history_.Add(std::move(closed));
}

bool ReaderLink::IsOpen() const { return channel_->isOpen(); }

void ReaderLink::SendByte(std::uint8_t byte) { channel_->write(&byte, 1); }

void ReaderLink::SendBytes(const std::uint8_t* bytes, std::size_t count) {
    channel_->write(bytes, count);
}

int ReaderLink::Transact(const std::string& commandText) {
    return TransactTimed(commandText, kDefaultSilenceLimitMs);
}

int ReaderLink::TransactTimed(const std::string& commandText, int silenceLimitMs) {
    HistoryEntry entry;
    entry.when = std::chrono::system_clock::now();  // a row says when its frame went out
    lastResult_ = exchange(commandText, silenceLimitMs, entry);
    entry.result = lastResult_;
    entry.silenceLimitMs = silenceLimitMs;
    entry.port = port_ ? port_ : NoPort();
    history_.Add(std::move(entry));
    return lastResult_ == TransactResult::Ok ? 1 : 0;
}

std::string ReaderLink::ReplyField(int position, int length) const {
    return tblink::ReplyField(replyText_, position, length);
}

void ReaderLink::SetMessagePump(MessagePump pump) {
    pump_ = std::move(pump);
    channel_->setMessagePump([this] { this->pump(); });
}

void ReaderLink::pump() {
    if (pump_) pump_();
}

TransactResult ReaderLink::exchange(const std::string& commandText, int silenceLimitMs,
                                    HistoryEntry& entry) {
    entry.sent = SentEcho(commandText);
    if (commandText.size() > kMaxCommandLength) return TransactResult::CommandTooLong;
    if (!channel_->isOpen()) return TransactResult::NotOpen;

    assembler_.reset();
    channel_->purge();  // no stale byte may be taken for the reply
    // The frame the vectors test, written in five writes: TAB, text, checksum, checksum, CR.
    const std::string frame = CommandFrame(commandText);
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(frame.data());
    const std::size_t textLength = commandText.size();
    SendByte(bytes[0]);
    SendBytes(bytes + 1, textLength);
    SendByte(bytes[textLength + 1]);
    SendByte(bytes[textLength + 2]);
    SendByte(bytes[textLength + 3]);
    // The silence limit counts from the moment the reader has heard the whole frame.
    channel_->drain();
    const auto sentAt = clock_.Now();
    if (echoSink_) echoSink_->showSentEcho(entry.sent);
    pump();

    const TransactResult result = collectReply(silenceLimitMs);
    const auto endedAt = result == TransactResult::Ok || result == TransactResult::ChecksumError
                             ? lastByteAt_
                             : clock_.Now();
    entry.elapsedMs = MillisecondsBetween(sentAt, endedAt);
    entry.silenceMs = MillisecondsBetween(lastByteAt_, endedAt);
    entry.bytesReceived = bytesTaken_;
    entry.received = EchoBytes(assembler_.length(), assembler_.bytes());
    if (result == TransactResult::LineGone) {
        platform::PortDiagnosis lost = channel_->diagnosis();
        if (lost.problem != platform::PortProblem::None)
            entry.diagnosis = std::make_shared<const platform::PortDiagnosis>(std::move(lost));
    }

    if (echoSink_) echoSink_->showReceivedEcho(entry.received);
    pump();
    return result;
}

TransactResult ReaderLink::collectReply(int silenceLimitMs) {
    auto& mark = lastByteAt_;
    mark = clock_.Now();
    std::size_t& received = bytesTaken_;
    received = 0;
    for (;;) {
        std::uint8_t byte = 0;
        // Bytes already waiting are taken at once; only an empty port costs a pump and a wait.
        platform::ReadStatus status = channel_->readByte(byte, 0);
        if (status == platform::ReadStatus::Timeout) {
            pump();
            const long long silent = MillisecondsBetween(mark, clock_.Now());
            if (silent > silenceLimitMs) return TransactResult::Silence;
            const long long untilLimit = silenceLimitMs - silent + 1;
            const int slice = static_cast<int>(std::min<long long>(kWaitSliceMs, untilLimit));
            status = channel_->readByte(byte, slice);
        }
        if (status == platform::ReadStatus::LineGone) return TransactResult::LineGone;
        if (status == platform::ReadStatus::Timeout) continue;

        mark = clock_.Now();
        ++received;
        if (assembler_.feed(byte) == ReplyAssembler::Step::Complete) {
            replyText_ = assembler_.frameText();
            return assembler_.checksumOk() ? TransactResult::Ok : TransactResult::ChecksumError;
        }
        if (received >= kMaxBytesPerReply) return TransactResult::Overflow;
    }
}

}  // namespace tblink
