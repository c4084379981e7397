// The channel both front ends use: each open picks the back end by the form of the path, so
// a port map entry may name a device ("/dev/ttyUSB0") or a serial device server
// ("rfc2217://door-server:4001", "socket://10.0.0.7:4001") and every caller stays the same.
#pragma once

#include <memory>

#include "platform/NetworkChannel.h"
#include "platform/PosixSerialChannel.h"

namespace platform {

class AnyChannel : public SerialChannel {
public:
    AnyChannel() = default;
    ~AnyChannel() override;

    bool open(const std::string& devicePath, const std::string& lineSettings) override;
    void close() override;
    bool isOpen() const override { return active_ && active_->isOpen(); }
    void purge() override;
    void write(const std::uint8_t* bytes, std::size_t count) override;
    void drain() override;
    ReadStatus readByte(std::uint8_t& byte, int timeoutMs) override;
    void setMessagePump(std::function<void()> pump) override;
    // The diagnosis of the back end the last open chose, or why no back end took the path.
    PortDiagnosis diagnosis() const override;

    // The back ends, for tests that set their limits.
    PosixSerialChannel& local() { return local_; }
    SocketChannel& socket() { return socket_; }
    Rfc2217Channel& rfc2217() { return rfc2217_; }

private:
    PosixSerialChannel local_;
    SocketChannel socket_;
    Rfc2217Channel rfc2217_;
    SerialChannel* active_ = nullptr;
    PortDiagnosis badAddress_;
};

// The channel for a front end: an AnyChannel.
std::unique_ptr<SerialChannel> MakeSerialChannel();

}  // namespace platform
