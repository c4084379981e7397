#include "platform/PosixSerialChannel.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fstream>

#include "platform/LineSettings.h"

namespace platform {
namespace {

std::string BaseName(const std::string& path) {
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool ProcessAlive(long pid) {
    if (pid <= 0 || pid == static_cast<long>(getpid())) return false;
    return kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
}

// UUCP lock files hold the owner's pid, as ASCII text (the usual form) or as a binary int.
long LockFilePid(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) return 0;
    std::string content((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    if (content.size() == sizeof(int) && content.find_first_of("0123456789 \n") != 0) {
        int binary = 0;
        std::copy(content.begin(), content.end(), reinterpret_cast<char*>(&binary));
        return binary;
    }
    return std::strtol(content.c_str(), nullptr, 10);
}

bool HungUp(int revents) { return (revents & (POLLHUP | POLLERR | POLLNVAL)) != 0; }

}  // namespace

PosixSerialChannel::~PosixSerialChannel() { close(); }

void PosixSerialChannel::setLockDirectories(std::string first, std::string second) {
    lockDirectories_[0] = std::move(first);
    lockDirectories_[1] = std::move(second);
}

std::optional<PortDiagnosis> PosixSerialChannel::uucpLockHolder(
    const std::string& devicePath) const {
    char resolved[PATH_MAX];
    const std::string real = realpath(devicePath.c_str(), resolved) ? resolved : devicePath;
    for (const auto& directory : lockDirectories_) {
        for (const auto& name : {BaseName(devicePath), BaseName(real)}) {
            const std::string lockFile = directory + "/LCK.." + name;
            const long pid = LockFilePid(lockFile);
            if (!ProcessAlive(pid)) continue;
            PortDiagnosis held;
            held.problem = PortProblem::HeldByProgram;
            held.device = devicePath;
            held.holderPid = static_cast<pid_t>(pid);
            held.holderName = ProcessName(held.holderPid);
            held.heldBy = lockFile;
            return held;
        }
    }
    return std::nullopt;
}

bool PosixSerialChannel::refuse(PortDiagnosis diagnosis) {
    diagnosis_ = std::move(diagnosis);
    return false;
}

bool PosixSerialChannel::open(const std::string& devicePath, const std::string& lineSettings) {
    close();
    diagnosis_ = {};
    if (devicePath.empty()) return refuse(DiagnoseOpenError(devicePath, ENOENT, {}));
    if (auto held = uucpLockHolder(devicePath)) return refuse(std::move(*held));
    const int fd = ::open(devicePath.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        const int error = errno;
        const bool denied = error == EACCES || error == EPERM;
        PortDiagnosis refused = DiagnoseOpenError(
            devicePath, error, denied ? ExamineAccess(devicePath) : DeviceAccess{});
        if (error == EBUSY) {
            const PortHolder holder = FindHolder(devicePath);
            refused.holderPid = holder.pid;
            refused.holderName = holder.name;
            refused.heldBy = "TIOCEXCL";
        }
        return refuse(std::move(refused));
    }
    termios settings{};
    PortDiagnosis refused;
    if (!isatty(fd)) {
        refused = DiagnoseOpenError(devicePath, ENOTTY, {});
    } else if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        refused = DiagnoseOpenError(devicePath, error, {});
        if (refused.problem == PortProblem::HeldByProgram) {
            const PortHolder holder = FindHolder(devicePath);
            refused.holderPid = holder.pid;
            refused.holderName = holder.name;
            refused.heldBy = "flock";
        }
    } else if (tcgetattr(fd, &settings) != 0) {
        refused = DiagnoseOpenError(devicePath, errno, {});
    }
    if (refused.problem != PortProblem::None) {
        ::close(fd);
        return refuse(std::move(refused));
    }
    ioctl(fd, TIOCEXCL);
    saved_ = settings;

    // Raw bytes, no echo, no modem-line waits; reads never block in the kernel (we poll).
    cfmakeraw(&settings);
    settings.c_cflag |= CLOCAL | CREAD;
    // No flow control, hardware or software: a port left with crtscts by another program would
    // otherwise send nothing at all.
    settings.c_cflag &= ~static_cast<tcflag_t>(CRTSCTS);
    settings.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY);
    settings.c_cc[VMIN] = 0;
    settings.c_cc[VTIME] = 0;
    ApplyLineSettings(ParseLineSettings(lineSettings), settings);
    tcsetattr(fd, TCSANOW, &settings);  // a setting the device refuses shows as a failed exchange

    int modemLines = TIOCM_DTR | TIOCM_RTS;
    ioctl(fd, TIOCMBIS, &modemLines);  // pseudo-terminals have no modem lines

    fd_ = fd;
    devicePath_ = devicePath;
    lineGone_ = false;
    pendingBegin_ = pendingEnd_ = 0;
    return true;
}

void PosixSerialChannel::close() {
    if (fd_ < 0) return;
    purge();
    // An RS-485 converter keys its transmitter on RTS: release the bus whatever the device's
    // hang-up setting would do.
    int modemLines = TIOCM_DTR | TIOCM_RTS;
    ioctl(fd_, TIOCMBIC, &modemLines);
    tcsetattr(fd_, TCSANOW, &saved_);
    // Exclusive mode outlives our descriptor while anyone else holds the device open.
    ioctl(fd_, TIOCNXCL);
    ::close(fd_);
    fd_ = -1;
}

void PosixSerialChannel::purge() {
    pendingBegin_ = pendingEnd_ = 0;
    if (fd_ >= 0) tcflush(fd_, TCIOFLUSH);
}

void PosixSerialChannel::write(const std::uint8_t* bytes, std::size_t count) {
    std::size_t written = 0;
    while (fd_ >= 0 && !lineGone_ && written < count) {
        const ssize_t n = ::write(fd_, bytes + written, count - written);
        if (n > 0) {
            written += static_cast<std::size_t>(n);
        } else if (n < 0 && errno == EAGAIN) {
            pollfd ready{fd_, POLLOUT, 0};
            if (poll(&ready, 1, 1000) <= 0 || HungUp(ready.revents)) lineLost();
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else {
            lineLost();
        }
    }
}

void PosixSerialChannel::drain() {
    if (fd_ >= 0 && !lineGone_) tcdrain(fd_);
}

ReadStatus PosixSerialChannel::fill(int timeoutMs) {
    pollfd ready{fd_, POLLIN, 0};
    const int events = poll(&ready, 1, timeoutMs);
    if (events < 0) return errno == EINTR ? ReadStatus::Timeout : ReadStatus::LineGone;
    if (events == 0) return ReadStatus::Timeout;
    if ((ready.revents & POLLIN) == 0 && HungUp(ready.revents)) return ReadStatus::LineGone;
    const ssize_t n = ::read(fd_, pending_.data(), pending_.size());
    if (n > 0) {
        pendingBegin_ = 0;
        pendingEnd_ = static_cast<std::size_t>(n);
        return ReadStatus::Byte;
    }
    if (n < 0 && (errno == EAGAIN || errno == EINTR)) return ReadStatus::Timeout;
    return ReadStatus::LineGone;  // 0 bytes after a readable poll, or EIO: the device is gone
}

void PosixSerialChannel::lineLost() {
    if (lineGone_) return;
    lineGone_ = true;
    // A USB adapter pulled out takes its device node with it; a hang-up leaves the node.
    diagnosis_ = {};
    diagnosis_.device = devicePath_;
    diagnosis_.problem =
        access(devicePath_.c_str(), F_OK) == 0 ? PortProblem::HungUp : PortProblem::Vanished;
}

ReadStatus PosixSerialChannel::readByte(std::uint8_t& byte, int timeoutMs) {
    if (fd_ < 0 || lineGone_) return ReadStatus::LineGone;
    if (pendingBegin_ == pendingEnd_) {
        const ReadStatus status = fill(timeoutMs);
        if (status == ReadStatus::LineGone) lineLost();
        if (status != ReadStatus::Byte) return status;
    }
    byte = pending_[pendingBegin_++];
    return ReadStatus::Byte;
}

}  // namespace platform
