// SerialChannels for ports behind serial device servers: SocketChannel (socket://, raw TCP)
// and Rfc2217Channel (rfc2217://, telnet with the COM-PORT-OPTION). To the transaction they
// behave like a local port: open connects or fails, a connection that drops is a line gone at
// once, and bytes arrive one at a time. diagnosis() says which, in the port diagnostics' terms.
//
// One thread, no callbacks: the socket is non-blocking and every wait is a poll. Connecting
// (name, TCP connect and the server's answer to the COM-PORT-OPTION) has its own limit of
// kOpenLimitMs, waited out in slices with the message pump in between, so the window keeps
// painting while a server does not answer.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/NetworkAddress.h"
#include "platform/SerialChannel.h"
#include "platform/Telnet.h"

namespace platform {

class SocketChannel : public SerialChannel {
public:
    static constexpr int kOpenLimitMs = 1500;
    static constexpr int kSliceMs = 20;

    SocketChannel() = default;
    ~SocketChannel() override;
    SocketChannel(const SocketChannel&) = delete;
    SocketChannel& operator=(const SocketChannel&) = delete;

    // `devicePath` is the URL; the line settings pace drain() (and go to the server through
    // RFC 2217).
    bool open(const std::string& devicePath, const std::string& lineSettings) override;
    void close() override;
    bool isOpen() const override { return fd_ >= 0; }
    void purge() override;
    void write(const std::uint8_t* bytes, std::size_t count) override;
    // The server writes what it received at the line's speed: waits the frame's time on the
    // wire, as a local port's drain waits for its transmitter.
    void drain() override;
    ReadStatus readByte(std::uint8_t& byte, int timeoutMs) override;
    void setMessagePump(std::function<void()> pump) override { pump_ = std::move(pump); }
    PortDiagnosis diagnosis() const override { return diagnosis_; }

    // Tests shorten the open limit to keep a silent server from costing them time.
    void setOpenLimitMs(int limitMs) { openLimitMs_ = limitMs; }

protected:
    explicit SocketChannel(NetworkKind kind) : kind_(kind) {}

    using Deadline = std::chrono::steady_clock::time_point;
    // After the connection stands: the protocol's own start. Anything but None fails the open
    // with that problem.
    virtual PortProblem startSession(const std::string& lineSettings, Deadline deadline);
    // Just before the socket closes.
    virtual void endSession() {}
    // What the server's bytes carry as data, appended to `data`.
    virtual void takeIncoming(const std::uint8_t* bytes, std::size_t count, std::string& data);
    // Data bytes as they go on the wire.
    virtual std::string outgoing(const std::uint8_t* bytes, std::size_t count);
    // After the local purge: the server's buffers, where the protocol can reach them.
    virtual void purgeServer() {}

    // Writes bytes as they stand, whole, or marks the line gone.
    void sendRaw(const std::string& bytes);
    // Reads what the socket holds, or waits up to `timeoutMs` for something; false when the
    // connection is gone.
    bool receive(int timeoutMs);
    void pump();

private:
    bool connectTo(const NetworkAddress& address, Deadline deadline);
    void fail(PortProblem problem, int error);
    void lineLost();
    void dropConnection();

    NetworkKind kind_ = NetworkKind::Socket;
    int fd_ = -1;
    bool lineGone_ = false;
    std::string pending_;  // data taken from the socket, not yet handed out
    std::size_t pendingBegin_ = 0;
    std::size_t lastChunk_ = 0;  // bytes the last receive() took from the socket
    std::function<void()> pump_;
    PortDiagnosis diagnosis_;
    int openLimitMs_ = kOpenLimitMs;
    std::string url_;  // of the last open

    // drain(): when the bytes written since the last drain are on the wire.
    std::chrono::nanoseconds characterTime_{0};
    Deadline wireDone_{};
};

class Rfc2217Channel : public SocketChannel {
public:
    Rfc2217Channel() : SocketChannel(NetworkKind::Rfc2217) {}
    ~Rfc2217Channel() override;

protected:
    // Offers the options, waits (within the open limit) for the server's word on the
    // COM-PORT-OPTION, then sends the line settings, no flow control, DTR and RTS on. Answers
    // to those are not waited for: a server may never confirm DTR or RTS on a line without
    // modem lines. A server that refuses the option still opens, as a device that refuses a
    // setting does; the exchange then shows it. A server that says nothing on it (a raw TCP
    // port named rfc2217://) does not open: its line settings would be unknown.
    PortProblem startSession(const std::string& lineSettings, Deadline deadline) override;
    // Purge and DTR/RTS off, so an RS-485 converter releases the bus, as the local port does.
    void endSession() override;
    void takeIncoming(const std::uint8_t* bytes, std::size_t count, std::string& data) override;
    std::string outgoing(const std::uint8_t* bytes, std::size_t count) override;
    void purgeServer() override;

private:
    telnet::Decoder decoder_;
    telnet::Negotiator negotiator_{true};
    std::vector<telnet::Event> events_;
};

}  // namespace platform
