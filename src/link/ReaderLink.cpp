#include "link/ReaderLink.h"

#include <algorithm>
#include <chrono>

#include "link/ReplyFields.h"

namespace tblink {
namespace {

long long MillisecondsBetween(platform::Clock::TimePoint mark, platform::Clock::TimePoint now) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(now - mark).count();
}

}  // namespace

ReaderLink::ReaderLink(std::unique_ptr<platform::SerialChannel> channel, PortResolver resolver,
                       const platform::Clock& clock)
    : channel_(std::move(channel)), resolver_(std::move(resolver)), clock_(clock) {}

bool ReaderLink::OpenPort(int portNumber, const std::string& lineSettings) {
    // Ports are held exclusively: one already open here (a card-reading loop) stays with its
    // owner, as it would against any other program.
    if (channel_->isOpen()) return false;
    const std::string device = resolver_ ? resolver_(portNumber) : std::string();
    return !device.empty() && channel_->open(device, lineSettings);
}

void ReaderLink::ClosePort() { channel_->close(); }

bool ReaderLink::IsOpen() const { return channel_->isOpen(); }

void ReaderLink::SendByte(std::uint8_t byte) { channel_->write(&byte, 1); }

void ReaderLink::SendBytes(const std::uint8_t* bytes, std::size_t count) {
    channel_->write(bytes, count);
}

int ReaderLink::Transact(const std::string& commandText) {
    return TransactTimed(commandText, kDefaultSilenceLimitMs);
}

int ReaderLink::TransactTimed(const std::string& commandText, int silenceLimitMs) {
    lastResult_ = exchange(commandText, silenceLimitMs);
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

TransactResult ReaderLink::exchange(const std::string& commandText, int silenceLimitMs) {
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
    if (echoSink_) echoSink_->showSentEcho(SentEcho(commandText));
    pump();

    const TransactResult result = collectReply(silenceLimitMs);

    if (echoSink_) echoSink_->showReceivedEcho(EchoBytes(assembler_.length(), assembler_.bytes()));
    pump();
    return result;
}

TransactResult ReaderLink::collectReply(int silenceLimitMs) {
    auto mark = clock_.Now();
    std::size_t received = 0;
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
        if (assembler_.feed(byte) == ReplyAssembler::Step::Complete) {
            replyText_ = assembler_.frameText();
            return assembler_.checksumOk() ? TransactResult::Ok : TransactResult::ChecksumError;
        }
        if (++received >= kMaxBytesPerReply) return TransactResult::Overflow;
    }
}

}  // namespace tblink
