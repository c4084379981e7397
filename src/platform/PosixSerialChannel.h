// SerialChannel on Linux terminal devices, on termios directly. Exclusive use is enforced three
// ways because each alone has holes: TIOCEXCL (root ignores it), a non-blocking flock (what
// QSerialPort users and picocom take) and a UUCP lock file LCK..<name> (minicom): a live one of
// another program keeps us out, and we leave our own while the port is open.
#pragma once

#include <termios.h>

#include <array>
#include <optional>
#include <string>

#include "platform/SerialChannel.h"

namespace platform {

class PosixSerialChannel : public SerialChannel {
public:
    PosixSerialChannel() = default;
    ~PosixSerialChannel() override;
    PosixSerialChannel(const PosixSerialChannel&) = delete;
    PosixSerialChannel& operator=(const PosixSerialChannel&) = delete;

    bool open(const std::string& devicePath, const std::string& lineSettings) override;
    void close() override;
    bool isOpen() const override { return fd_ >= 0; }
    void purge() override;
    void write(const std::uint8_t* bytes, std::size_t count) override;
    void drain() override;
    ReadStatus readByte(std::uint8_t& byte, int timeoutMs) override;
    PortDiagnosis diagnosis() const override { return diagnosis_; }

    // Where UUCP lock files are looked for; tests point it at a temporary directory.
    void setLockDirectories(std::string first, std::string second);

private:
    // The live UUCP lock file on the device and its owner; nullopt when there is none.
    std::optional<PortDiagnosis> uucpLockHolder(const std::string& devicePath) const;
    bool refuse(PortDiagnosis diagnosis);
    void lineLost();
    void lineStalled(long long limitMs);
    ReadStatus fill(int timeoutMs);
    void takeLockFile();
    // How long the line may take to send `bytes` before it counts as stalled.
    long long stallLimitMs(std::size_t bytes) const;
    // Bytes written but not yet on the wire.
    std::size_t queuedBytes() const;

    int fd_ = -1;
    std::string devicePath_;
    PortDiagnosis diagnosis_;
    termios saved_{};
    bool lineGone_ = false;
    // Bytes already taken from the device but not yet handed out; purge drops them.
    std::array<std::uint8_t, 256> pending_{};
    std::size_t pendingBegin_ = 0;
    std::size_t pendingEnd_ = 0;
    std::string lockDirectories_[2] = {"/var/lock", "/run/lock"};
    std::string lockFile_;  // our own LCK.. file while open; empty when none could be made
    long baud_ = 0;
    int bitsPerCharacter_ = 10;
};

}  // namespace platform
