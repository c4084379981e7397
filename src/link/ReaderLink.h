// The reader link: opens the port by its COM number, sends one command frame and collects one
// reply frame at a time. The window and tagbench-cli each own one ReaderLink; every exchange
// (a command's Session, discovery's probe) goes through Transact or TransactTimed, which return
// 1 or 0, while LastResult() says why a transaction failed and LastOpenFailure() why a port did
// not open. Every exchange, open and close goes into the link's frame history.
//
// Waiting keeps the window alive: the link blocks on the port in slices of at most 20 ms and
// runs the owner's message pump between them (the window pumps its events; tagbench-cli sets
// none), so a reply is taken the moment it arrives and an idle wait costs no processor time.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "link/FrameHistory.h"
#include "link/ReplyAssembler.h"
#include "platform/Clock.h"
#include "platform/SerialChannel.h"

namespace tblink {

// Where the status bar's two panels get their texts: the frame sent, the bytes received.
class EchoSink {
public:
    virtual ~EchoSink() = default;
    virtual void showSentEcho(const std::string& echo) = 0;
    virtual void showReceivedEcho(const std::string& echo) = 0;
};

// The device path of a COM number; empty when the port map has no such port.
using PortResolver = std::function<std::string(int portNumber)>;
using MessagePump = std::function<void()>;

class ReaderLink {
public:
    static constexpr int kDefaultSilenceLimitMs = 300;
    static constexpr int kWaitSliceMs = 20;
    // A line that never stops talking cannot hold the window: after this many bytes without a
    // frame the transaction gives up.
    static constexpr std::size_t kMaxBytesPerReply = 8 * kBufferSize;

    // `clock` measures the silence limit; it must outlive the link.
    ReaderLink(std::unique_ptr<platform::SerialChannel> channel, PortResolver resolver,
               const platform::Clock& clock = platform::SteadyClock());

    bool OpenPort(int portNumber, const std::string& lineSettings);
    // Why the last OpenPort failed.
    const platform::PortDiagnosis& LastOpenFailure() const { return lastOpenFailure_; }
    void ClosePort();
    bool IsOpen() const;
    void SendByte(std::uint8_t byte);
    void SendBytes(const std::uint8_t* bytes, std::size_t count);

    int Transact(const std::string& commandText);
    int TransactTimed(const std::string& commandText, int silenceLimitMs);
    TransactResult LastResult() const { return lastResult_; }

    // The last complete reply frame, LF to CR; kept when a transaction times out.
    const std::string& ReplyText() const { return replyText_; }
    // Bytes received by the last transaction (the frame's length after a complete reply).
    int ReplyLength() const { return static_cast<int>(assembler_.length()); }
    // Characters `position` .. (1-based, LF is 1) of the reply text.
    std::string ReplyField(int position, int length) const;

    FrameHistory& History() { return history_; }
    const FrameHistory& History() const { return history_; }

    void SetEchoSink(EchoSink* sink) { echoSink_ = sink; }
    // Also handed to the channel, for the waits it does on its own (connecting).
    void SetMessagePump(MessagePump pump);

private:
    TransactResult exchange(const std::string& commandText, int silenceLimitMs,
                            HistoryEntry& entry);
    TransactResult collectReply(int silenceLimitMs);
    void pump();
    bool refuseOpen(std::shared_ptr<const PortInfo> port, platform::PortDiagnosis why);

    std::unique_ptr<platform::SerialChannel> channel_;
    PortResolver resolver_;
    const platform::Clock& clock_;
    ReplyAssembler assembler_;
    std::string replyText_;
    TransactResult lastResult_ = TransactResult::NotOpen;
    platform::PortDiagnosis lastOpenFailure_;
    // While a port is open: which one, for its history entries.
    std::shared_ptr<const PortInfo> port_;
    // Set by collectReply: when the last byte came, and how many came.
    platform::Clock::TimePoint lastByteAt_;
    std::size_t bytesTaken_ = 0;
    FrameHistory history_;
    EchoSink* echoSink_ = nullptr;
    MessagePump pump_;
};

}  // namespace tblink
