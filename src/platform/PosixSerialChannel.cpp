#include "platform/PosixSerialChannel.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdlib>

#include "platform/LineSettings.h"
#include "platform/LockFile.h"

namespace platform {
namespace {

std::string BaseName(const std::string& path) {
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool HungUp(int revents) { return (revents & (POLLHUP | POLLERR | POLLNVAL)) != 0; }

// A stalled line is given this long beyond the wire time of what it still has to send, so a
// busy USB adapter or a slow reader of a pseudo-terminal is not taken for a dead line.
constexpr long long kStallMarginMs = 2000;

using Steady = std::chrono::steady_clock;

long long MillisecondsUntil(Steady::time_point deadline) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Steady::now());
    return std::max<long long>(0, left.count());
}

// poll(2) for one descriptor that a signal does not cut short: the wait goes on to the same
// deadline. The events that came, 0 when the time ran out, -1 on an error.
int PollFor(int fd, short events, int timeoutMs) {
    const auto deadline = Steady::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        pollfd ready{fd, events, 0};
        const int result = poll(&ready, 1, timeoutMs);
        if (result > 0) return ready.revents;
        if (result == 0) return 0;
        if (errno != EINTR) return -1;
        timeoutMs = static_cast<int>(MillisecondsUntil(deadline));
    }
}

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
            const std::optional<pid_t> pid = LiveLockOwner(lockFile);
            if (!pid) continue;
            PortDiagnosis held;
            held.problem = PortProblem::HeldByProgram;
            held.device = devicePath;
            held.holderPid = *pid;
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
    // A text that does not name all four parts would leave the rest as the last program set
    // them: refused before the device is touched.
    const LineSettings line = ParseLineSettings(lineSettings);
    if (!IsComplete(line)) {
        PortDiagnosis refused;
        refused.problem = PortProblem::BadLineSettings;
        refused.device = devicePath;
        refused.error = EINVAL;
        refused.lineSettings = lineSettings;
        return refuse(std::move(refused));
    }
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
    // A byte that arrives with a parity error is handed on as it came, neither dropped (IGNPAR)
    // nor zeroed or marked (INPCK, PARMRK), as the original platform's port did: the reply's
    // checksum then decides, and a flipped parity bit alone does not cost a good reply.
    settings.c_iflag &= ~static_cast<tcflag_t>(INPCK | IGNPAR | PARMRK);
    settings.c_cc[VMIN] = 0;
    settings.c_cc[VTIME] = 0;
    ApplyLineSettings(line, settings);
    tcsetattr(fd, TCSANOW, &settings);  // a setting the device refuses shows as a failed exchange

    int modemLines = TIOCM_DTR | TIOCM_RTS;
    ioctl(fd, TIOCMBIS, &modemLines);  // pseudo-terminals have no modem lines

    fd_ = fd;
    devicePath_ = devicePath;
    lineGone_ = false;
    pendingBegin_ = pendingEnd_ = 0;
    baud_ = *line.baud;
    bitsPerCharacter_ = BitsPerCharacter(line);
    takeLockFile();
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
    if (!lockFile_.empty()) ReleaseLockFile(lockFile_);
    lockFile_.clear();
}

void PosixSerialChannel::takeLockFile() {
    char resolved[PATH_MAX];
    const std::string real = realpath(devicePath_.c_str(), resolved) ? resolved : devicePath_;
    // A folder we may not write to leaves the port with its other two locks only.
    for (const auto& directory : lockDirectories_) {
        const std::string lockFile = directory + "/LCK.." + BaseName(real);
        if (TakeLockFile(lockFile)) {
            lockFile_ = lockFile;
            return;
        }
    }
}

long long PosixSerialChannel::stallLimitMs(std::size_t bytes) const {
    const long long wireMs =
        static_cast<long long>(bytes) * bitsPerCharacter_ * 1000 / std::max(1L, baud_);
    return wireMs + kStallMarginMs;
}

std::size_t PosixSerialChannel::queuedBytes() const {
    int queued = 0;
    return ioctl(fd_, TIOCOUTQ, &queued) == 0 && queued > 0 ? static_cast<std::size_t>(queued) : 0;
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
            // The output buffer is full: it empties at the line's speed, so the wait is bound
            // by the wire time of what is queued and what is still to go.
            const long long limit = stallLimitMs(queuedBytes() + count - written);
            const int events = PollFor(fd_, POLLOUT, static_cast<int>(limit));
            if (events == 0) {
                lineStalled(limit);
            } else if (events < 0 || HungUp(events)) {
                lineLost();
            }
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else {
            lineLost();
        }
    }
}

// tcdrain has no limit and a stalled adapter holds it for ever, so the output queue is watched
// until it is empty within its wire time; tcdrain then only waits out the last character in
// the UART.
void PosixSerialChannel::drain() {
    if (fd_ < 0 || lineGone_) return;
    const long long limit = stallLimitMs(queuedBytes());
    const auto deadline = Steady::now() + std::chrono::milliseconds(limit);
    for (std::size_t queued = queuedBytes(); queued > 0; queued = queuedBytes()) {
        const long long left = MillisecondsUntil(deadline);
        if (left == 0) return lineStalled(limit);
        const long long step = stallLimitMs(queued) - kStallMarginMs;
        PollFor(-1, 0, static_cast<int>(std::clamp<long long>(step, 1, std::min(10LL, left))));
    }
    while (tcdrain(fd_) != 0 && errno == EINTR) {
    }
}

ReadStatus PosixSerialChannel::fill(int timeoutMs) {
    const int events = PollFor(fd_, POLLIN, timeoutMs);
    if (events < 0) return ReadStatus::LineGone;
    if (events == 0) return ReadStatus::Timeout;
    if ((events & POLLIN) == 0 && HungUp(events)) return ReadStatus::LineGone;
    const ssize_t n = ::read(fd_, pending_.data(), pending_.size());
    if (n > 0) {
        pendingBegin_ = 0;
        pendingEnd_ = static_cast<std::size_t>(n);
        return ReadStatus::Byte;
    }
    if (n < 0 && (errno == EAGAIN || errno == EINTR)) return ReadStatus::Timeout;
    return ReadStatus::LineGone;  // 0 bytes after a readable poll, or EIO: the device is gone
}

void PosixSerialChannel::lineStalled(long long limitMs) {
    if (lineGone_) return;
    lineGone_ = true;
    diagnosis_ = {};
    diagnosis_.device = devicePath_;
    diagnosis_.problem = PortProblem::Stalled;
    diagnosis_.limitMs = static_cast<int>(limitMs);
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
