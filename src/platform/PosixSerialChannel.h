// SerialChannel on Linux terminal devices, on termios directly. Exclusive use is enforced three
// ways because each alone has holes: TIOCEXCL (root ignores it), a non-blocking flock (what
// QSerialPort users and picocom take) and a live UUCP lock file LCK..<name> (minicom).
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
    ReadStatus fill(int timeoutMs);

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
};

}  // namespace platform
