#include "SimLine.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/prctl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <condition_variable>
#include <cstdlib>
#include <deque>
#include <optional>
#include <thread>

#include "SimFrame.h"

namespace tbsim {

namespace {

using Clock = std::chrono::steady_clock;
using Nanos = std::chrono::nanoseconds;

int BaudFromSpeed(speed_t speed) {
    struct Pair {
        speed_t speed;
        int baud;
    };
    static const Pair pairs[] = {
        {B300, 300},       {B600, 600},       {B1200, 1200},     {B2400, 2400},   {B4800, 4800},
        {B9600, 9600},     {B19200, 19200},   {B38400, 38400},   {B57600, 57600}, {B115200, 115200},
        {B230400, 230400}, {B460800, 460800}, {B921600, 921600},
    };
    for (const auto& pair : pairs) {
        if (pair.speed == speed) return pair.baud;
    }
    return 0;
}

// A transmission from the bus and how far it has gone out through the pseudo-terminal.
struct Outgoing {
    Transmission transmission;
    std::size_t sent = 0;
    std::optional<Clock::time_point> drainLimit;  // how long the program gets to take the bytes
    bool bytesSeen = false;  // the bytes have reached the program's side of the terminal
};

void CloseFd(int& fd) {
    if (fd >= 0) ::close(fd);
    fd = -1;
}

}  // namespace

struct SimLine::Impl {
    mutable std::mutex mutex;
    std::condition_variable changed;

    SimBus bus;  // guards itself

    // Guarded by `mutex`.
    int master = -1;  // while running, only the line thread closes it
    int slave =
        -1;  // our own slave descriptor: keeps the master usable while the program's is closed
    int wakeRead = -1;
    int wakeWrite = -1;
    std::string path;
    std::thread thread;
    bool running = false;
    bool stopRequested = false;
    bool hangUpRequested = false;

    // The line thread's own.
    CommandAssembler assembler;
    Clock::time_point frameStart;
    std::deque<Outgoing> queue;
    bool outputBlocked = false;

    void wake() const {
        const char byte = 'w';
        [[maybe_unused]] const auto written = ::write(wakeWrite, &byte, 1);
    }

    void closeLineLocked() {
        CloseFd(master);
        CloseFd(slave);
        queue.clear();
        outputBlocked = false;
        changed.notify_all();
    }

    int baudLocked() const {
        termios settings{};
        if (master < 0 || ::tcgetattr(master, &settings) != 0) return 0;
        return BaudFromSpeed(::cfgetospeed(&settings));
    }

    void run();
    void readInput(int fd);
    void onFrame(const std::string& frame, Clock::time_point firstByte);
    void serviceOutput(int fd);
    std::optional<Clock::time_point> nextDeadline() const;

    // A hang-up flushes what the program has not read yet. A line that breaks after some bytes
    // should still deliver them, so the close waits until the program has taken them (seen
    // through our own slave descriptor), but never long.
    static constexpr Nanos kDrainCheck = std::chrono::milliseconds(1);
    static constexpr Nanos kDrainLimit = std::chrono::milliseconds(2000);
    static constexpr Nanos kHandOver = std::chrono::milliseconds(100);
    bool programStillReading(Outgoing& outgoing, Clock::time_point now) const {
        if (!outgoing.drainLimit) outgoing.drainLimit = now + kDrainLimit;
        int pending = 0;
        if (slave < 0 || ::ioctl(slave, FIONREAD, &pending) != 0) return false;
        // The terminal hands the bytes over a moment after the write, later on a busy machine:
        // once they were seen on the program's side, or after a while, the program has them.
        if (pending > 0) outgoing.bytesSeen = true;
        const bool handedOver =
            outgoing.bytesSeen || now >= *outgoing.drainLimit - kDrainLimit + kHandOver;
        return (pending > 0 || !handedOver) && now < *outgoing.drainLimit;
    }
};

void SimLine::Impl::run() {
    // A reader keeps its character times to the microsecond; the kernel's default slack of
    // 50 us a wake-up would make every reply late.
    ::prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
    for (;;) {
        int fd = -1;
        {
            std::lock_guard<std::mutex> lock(mutex);
            if (stopRequested) {
                hangUpRequested = false;  // stop() closes the line right after
                changed.notify_all();
                return;
            }
            if (hangUpRequested) {
                closeLineLocked();
                hangUpRequested = false;
                changed.notify_all();
            }
            fd = master;
        }

        pollfd fds[2] = {{wakeRead, POLLIN, 0}, {fd, 0, 0}};
        nfds_t count = 1;
        if (fd >= 0) {
            fds[1].events = static_cast<short>(POLLIN | (outputBlocked ? POLLOUT : 0));
            count = 2;
        }
        timespec timeout{};
        timespec* timeoutPtr = nullptr;
        if (const auto deadline = nextDeadline()) {
            const auto wait = std::max(Nanos{0}, *deadline - Clock::now());
            timeout.tv_sec = static_cast<time_t>(wait.count() / 1000000000);
            timeout.tv_nsec = static_cast<long>(wait.count() % 1000000000);
            timeoutPtr = &timeout;
        }
        if (::ppoll(fds, count, timeoutPtr, nullptr) < 0 && errno != EINTR) return;

        if (fds[0].revents != 0) {
            char drain[64];
            while (::read(wakeRead, drain, sizeof drain) > 0) {
            }
        }
        if (count == 2) {
            if (fds[1].revents & POLLOUT) outputBlocked = false;
            if (fds[1].revents & (POLLIN | POLLHUP | POLLERR)) readInput(fd);
        }
        serviceOutput(fd);
    }
}

void SimLine::Impl::readInput(int fd) {
    char buffer[4096];
    for (;;) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got > 0) {
            const auto now = Clock::now();
            for (ssize_t i = 0; i < got; ++i) {
                const bool wasInFrame = assembler.inFrame();
                auto done = assembler.feed(&buffer[i], 1);
                // A frame counts from the arrival of its TAB.
                if (!done.empty()) {
                    onFrame(done.front(), frameStart);
                } else if (!wasInFrame && assembler.inFrame()) {
                    frameStart = now;
                } else if (wasInFrame && buffer[i] == kTab) {
                    frameStart = now;
                }
            }
            continue;
        }
        if (got < 0 && (errno == EAGAIN || errno == EINTR)) return;
        // End of file or EIO: the slave side is gone for good (we hold a descriptor of our own,
        // so this is not the program closing its port). Polling on would spin: drop the line.
        std::lock_guard<std::mutex> lock(mutex);
        closeLineLocked();
        return;
    }
}

void SimLine::Impl::onFrame(const std::string& frame, Clock::time_point firstByte) {
    int baud = 0;
    {
        std::lock_guard<std::mutex> lock(mutex);
        baud = baudLocked();
    }
    auto transmission = bus.hear(frame, baud, firstByte, Clock::now());
    if (!transmission) return;
    if (!queue.empty())
        transmission->start = std::max(transmission->start, queue.back().transmission.end());
    Outgoing outgoing;
    outgoing.transmission = std::move(*transmission);
    queue.push_back(std::move(outgoing));
}

std::optional<Clock::time_point> SimLine::Impl::nextDeadline() const {
    if (queue.empty() || outputBlocked) return std::nullopt;
    const Outgoing& next = queue.front();
    const Transmission& transmission = next.transmission;
    if (transmission.cutsLine() && next.sent >= transmission.deliverable()) {
        return next.sent == 0 ? transmission.start : Clock::now() + kDrainCheck;
    }
    if (next.sent >= transmission.bytes.size()) return Clock::now();
    return transmission.due(next.sent);
}

void SimLine::Impl::serviceOutput(int fd) {
    while (fd >= 0 && !queue.empty() && !outputBlocked) {
        Outgoing& next = queue.front();
        const Transmission& transmission = next.transmission;
        const auto now = Clock::now();
        const std::size_t limit = transmission.deliverable();
        if (transmission.cutsLine() && next.sent >= limit) {
            if (now < transmission.start) return;
            if (limit > 0 && programStillReading(next, now)) return;
            std::lock_guard<std::mutex> lock(mutex);
            closeLineLocked();
            return;
        }
        if (next.sent >= transmission.bytes.size()) {
            bus.delivered(transmission);
            queue.pop_front();
            continue;
        }
        // Every byte whose time has come goes in one write, so a late wake-up catches up with
        // the schedule instead of stretching it.
        std::size_t count = 0;
        while (next.sent + count < limit && transmission.due(next.sent + count) <= now) ++count;
        if (count == 0) return;
        const ssize_t written = ::write(fd, transmission.bytes.data() + next.sent, count);
        if (written < 0) {
            if (errno == EAGAIN || errno == EINTR) {
                outputBlocked = errno == EAGAIN;
                return;
            }
            std::lock_guard<std::mutex> lock(mutex);
            closeLineLocked();
            return;
        }
        next.sent += static_cast<std::size_t>(written);
        if (static_cast<std::size_t>(written) < count) {
            outputBlocked = true;
            return;
        }
    }
}

SimLine::SimLine() : impl_(std::make_unique<Impl>()) {}

SimLine::~SimLine() { stop(); }

bool SimLine::start() {
    Impl& d = *impl_;
    std::lock_guard<std::mutex> lock(d.mutex);
    if (d.running) return true;

    d.master = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (d.master < 0) return false;
    char name[128] = {};
    int wake[2] = {-1, -1};
    bool ok = ::fcntl(d.master, F_SETFD, FD_CLOEXEC) == 0 &&
              ::fcntl(d.master, F_SETFL, ::fcntl(d.master, F_GETFL) | O_NONBLOCK) == 0 &&
              ::grantpt(d.master) == 0 && ::unlockpt(d.master) == 0 &&
              ::ptsname_r(d.master, name, sizeof name) == 0;
    if (ok) {
        d.slave = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
        ok = d.slave >= 0;
    }
    if (ok) {
        // Raw from the start: a pseudo-terminal in its default mode echoes what the program
        // writes back to us, and we would take our own replies for commands.
        termios settings{};
        ok = ::tcgetattr(d.slave, &settings) == 0;
        if (ok) {
            ::cfmakeraw(&settings);
            ::cfsetispeed(&settings, B9600);
            ::cfsetospeed(&settings, B9600);
            ok = ::tcsetattr(d.slave, TCSANOW, &settings) == 0;
        }
    }
    ok = ok && ::pipe2(wake, O_CLOEXEC | O_NONBLOCK) == 0;
    if (!ok) {
        CloseFd(d.master);
        CloseFd(d.slave);
        return false;
    }
    d.path = name;
    d.wakeRead = wake[0];
    d.wakeWrite = wake[1];
    d.stopRequested = false;
    d.hangUpRequested = false;
    d.assembler = CommandAssembler{};
    d.running = true;
    d.thread = std::thread([&d] { d.run(); });
    return true;
}

void SimLine::stop() {
    Impl& d = *impl_;
    {
        std::lock_guard<std::mutex> lock(d.mutex);
        if (!d.running) {
            d.closeLineLocked();
            return;
        }
        d.stopRequested = true;
        d.wake();
    }
    d.thread.join();
    std::lock_guard<std::mutex> lock(d.mutex);
    d.running = false;
    d.closeLineLocked();
    CloseFd(d.wakeRead);
    CloseFd(d.wakeWrite);
}

std::string SimLine::devicePath() const {
    std::lock_guard<std::mutex> lock(impl_->mutex);
    return impl_->path;
}

SimReader* SimLine::addReader(const ReaderConfig& config) { return impl_->bus.addReader(config); }

std::vector<SimReader*> SimLine::readers() const { return impl_->bus.readers(); }

void SimLine::setFault(const FaultPlan& plan, const std::string& onlyCommand) {
    impl_->bus.setFault(plan, onlyCommand);
}

void SimLine::clearFault() { impl_->bus.clearFault(); }

void SimLine::hangUp() {
    Impl& d = *impl_;
    std::unique_lock<std::mutex> lock(d.mutex);
    if (!d.running) {
        d.closeLineLocked();
        return;
    }
    // The line thread owns the descriptor while it polls it; let it close it and wait for that.
    d.hangUpRequested = true;
    d.wake();
    d.changed.wait(lock, [&d] { return !d.hangUpRequested; });
}

std::vector<std::string> SimLine::receivedFrames() const { return impl_->bus.receivedFrames(); }

std::vector<std::string> SimLine::receivedCommands() const { return impl_->bus.receivedCommands(); }

void SimLine::clearLog() { impl_->bus.clearLog(); }

std::vector<std::string> SimLine::takeReceivedCommands() {
    return impl_->bus.takeReceivedCommands();
}

std::size_t SimLine::repliesSent() const { return impl_->bus.repliesSent(); }

int SimLine::currentBaud() const {
    std::lock_guard<std::mutex> lock(impl_->mutex);
    return impl_->baudLocked();
}

void SimLine::setPacing(bool on) { impl_->bus.setPacing(on); }

bool SimLine::pacing() const { return impl_->bus.pacing(); }

SimBus& SimLine::bus() { return impl_->bus; }

}  // namespace tbsim
