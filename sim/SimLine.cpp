#include "SimLine.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <condition_variable>
#include <cstdlib>
#include <deque>
#include <optional>
#include <random>
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

// One burst of bytes on its way to the program: a reply, a collision or what a fault made of
// them. Byte i leaves when it would have finished crossing the wire.
struct Transmission {
    std::string bytes;
    Clock::time_point start;
    Nanos characterTime{0};
    Nanos pause{0};  // after every byte (trickling reader)
    std::size_t sent = 0;
    std::optional<std::size_t> goneAfter;         // the line disappears after this many bytes
    std::optional<Clock::time_point> drainLimit;  // how long the program gets to take them
    std::size_t replies = 0;                      // reader replies carried

    Clock::time_point due(std::size_t index) const {
        return start + characterTime * static_cast<Nanos::rep>(index + 1) +
               pause * static_cast<Nanos::rep>(index);
    }
    Clock::time_point end() const { return bytes.empty() ? start : due(bytes.size() - 1); }
};

// Keeps the header (LF, character, ID, character) and seals a new data field with its checksum.
std::string Reseal(const std::string& reply, const std::string& data) {
    std::string frame = reply.substr(0, 5) + data;
    frame += HexByte(ReplyChecksum(frame));
    frame += kCr;
    return frame;
}

void CloseFd(int& fd) {
    if (fd >= 0) ::close(fd);
    fd = -1;
}

}  // namespace

struct SimLine::Impl {
    mutable std::mutex mutex;
    std::condition_variable changed;

    // Guarded by `mutex`.
    std::vector<std::unique_ptr<SimReader>> readers;
    std::vector<std::string> frames;
    std::vector<std::string> commands;
    FaultPlan fault;
    std::size_t replies = 0;
    bool pacing = true;
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
    std::deque<Transmission> queue;
    bool outputBlocked = false;
    std::mt19937 random{20240611u};

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
    bool applyFault(Transmission& transmission, Clock::time_point& ready);
    void serviceOutput(int fd);
    std::optional<Clock::time_point> nextDeadline() const;

    // A hang-up flushes what the program has not read yet. A line that breaks after some bytes
    // should still deliver them, so the close waits until the program has taken them (seen
    // through our own slave descriptor), but never long.
    static constexpr Nanos kDrainCheck = std::chrono::milliseconds(1);
    static constexpr Nanos kDrainLimit = std::chrono::milliseconds(200);
    bool programStillReading(Transmission& transmission, Clock::time_point now) const {
        // The pseudo-terminal hands the bytes over a moment after the write: give it that moment.
        if (!transmission.drainLimit) {
            transmission.drainLimit = now + kDrainLimit;
            return true;
        }
        int pending = 0;
        if (slave < 0 || ::ioctl(slave, FIONREAD, &pending) != 0) return false;
        return pending > 0 && now < *transmission.drainLimit;
    }
};

void SimLine::Impl::run() {
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
    const auto parts = SplitCommandFrame(frame);
    std::vector<SimReader*> listeners;
    int baud = 0;
    bool paced = true;
    {
        std::lock_guard<std::mutex> lock(mutex);
        frames.push_back(frame);
        commands.push_back(parts.text);
        changed.notify_all();
        for (const auto& reader : readers) listeners.push_back(reader.get());
        baud = baudLocked();
        paced = pacing;
    }
    if (!parts.checksumOk || baud == 0) return;

    std::vector<std::string> answers;
    Nanos receiveTime{0};
    Nanos sendTime{0};
    for (SimReader* reader : listeners) {
        if (reader->baud() != baud) continue;
        // Taken before the answer: a reader told to change its speed ("E") replies at the old
        // one and only then switches.
        const Nanos characterTime = reader->characterTime();
        auto answer = reader->answer(parts.text);
        if (!answer) continue;
        if (answers.empty()) receiveTime = characterTime;
        sendTime = std::max(sendTime, characterTime);
        answers.push_back(std::move(*answer));
    }
    if (answers.empty()) return;
    if (!paced) receiveTime = sendTime = Nanos{0};

    Transmission transmission;
    transmission.bytes = answers.size() == 1 ? answers.front() : CollideReplies(answers);
    transmission.replies = answers.size();
    transmission.characterTime = sendTime;
    // The reader hears the frame only once its last character has crossed the wire.
    Clock::time_point ready =
        std::max(Clock::now(), firstByte + receiveTime * static_cast<Nanos::rep>(frame.size()));
    if (!applyFault(transmission, ready)) return;
    if (!queue.empty()) ready = std::max(ready, queue.back().end());
    transmission.start = ready;
    queue.push_back(std::move(transmission));
}

bool SimLine::Impl::applyFault(Transmission& transmission, Clock::time_point& ready) {
    FaultPlan plan;
    {
        std::lock_guard<std::mutex> lock(mutex);
        if (fault.fault == Fault::None || fault.times == 0) return true;
        plan = fault;
        if (fault.times > 0 && --fault.times == 0) fault = FaultPlan{};
    }
    std::string& bytes = transmission.bytes;
    // Faults that rewrite a reply's fields need one well-formed reply; a collision stays garbled.
    const bool oneReply = transmission.replies == 1 && bytes.size() >= 8;
    switch (plan.fault) {
        case Fault::None:
            break;
        case Fault::Silence:
            return false;
        case Fault::LateReply:
            ready += plan.delay;
            break;
        case Fault::Trickle:
            transmission.pause = plan.delay;
            break;
        case Fault::WrongChecksum:
            if (oneReply) {
                const std::size_t at = bytes.size() - 3;
                bytes.replace(
                    at, 2,
                    HexByte(static_cast<std::uint8_t>(ReplyChecksum(bytes.substr(0, at)) ^ 0xFF)));
            }
            break;
        case Fault::StrayByte:
            // A bus driver switching on often leaves a zero byte on the line.
            bytes.insert(bytes.begin(), '\0');
            break;
        case Fault::WrongLength:
            if (oneReply && bytes.size() > 8)
                bytes = Reseal(bytes, bytes.substr(5, bytes.size() - 9));
            break;
        case Fault::Garbage: {
            std::uniform_int_distribution<int> byteValue(0, 255);
            for (char& c : bytes) {
                do {
                    c = static_cast<char>(byteValue(random));
                } while (c == kLf || c == kCr);
            }
            break;
        }
        case Fault::OverlongReply:
            if (oneReply) {
                std::string data = bytes.substr(5, bytes.size() - 8);
                if (data.empty()) data = "0";
                std::string longData;
                longData.reserve(plan.length);
                while (longData.size() < plan.length) longData += data;
                longData.resize(plan.length);
                bytes = Reseal(bytes, longData);
            }
            break;
        case Fault::LineGone:
            transmission.goneAfter = plan.length;
            break;
    }
    return true;
}

std::optional<Clock::time_point> SimLine::Impl::nextDeadline() const {
    if (queue.empty() || outputBlocked) return std::nullopt;
    const Transmission& next = queue.front();
    if (next.goneAfter && next.sent >= *next.goneAfter) {
        return *next.goneAfter == 0 ? next.start : Clock::now() + kDrainCheck;
    }
    if (next.sent >= next.bytes.size()) return Clock::now();
    return next.due(next.sent);
}

void SimLine::Impl::serviceOutput(int fd) {
    while (fd >= 0 && !queue.empty() && !outputBlocked) {
        Transmission& next = queue.front();
        const auto now = Clock::now();
        if (next.goneAfter && next.sent >= *next.goneAfter) {
            if (now < next.start) return;
            if (*next.goneAfter > 0 && programStillReading(next, now)) return;
            std::lock_guard<std::mutex> lock(mutex);
            closeLineLocked();
            return;
        }
        if (next.sent >= next.bytes.size()) {
            std::lock_guard<std::mutex> lock(mutex);
            replies += next.replies;
            changed.notify_all();
            queue.pop_front();
            continue;
        }
        // Every byte whose time has come goes in one write, so a late wake-up catches up with
        // the schedule instead of stretching it.
        std::size_t limit = next.bytes.size();
        if (next.goneAfter) limit = std::min(limit, *next.goneAfter);
        std::size_t count = 0;
        while (next.sent + count < limit && next.due(next.sent + count) <= now) ++count;
        if (count == 0) return;
        const ssize_t written = ::write(fd, next.bytes.data() + next.sent, count);
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

SimReader* SimLine::addReader(const ReaderConfig& config) {
    std::lock_guard<std::mutex> lock(impl_->mutex);
    impl_->readers.push_back(std::make_unique<SimReader>(config));
    return impl_->readers.back().get();
}

std::vector<SimReader*> SimLine::readers() const {
    std::lock_guard<std::mutex> lock(impl_->mutex);
    std::vector<SimReader*> list;
    for (const auto& reader : impl_->readers) list.push_back(reader.get());
    return list;
}

void SimLine::setFault(const FaultPlan& plan) {
    std::lock_guard<std::mutex> lock(impl_->mutex);
    impl_->fault = plan;
}

void SimLine::clearFault() { setFault(FaultPlan{}); }

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

std::vector<std::string> SimLine::receivedFrames() const {
    std::lock_guard<std::mutex> lock(impl_->mutex);
    return impl_->frames;
}

std::vector<std::string> SimLine::receivedCommands() const {
    std::lock_guard<std::mutex> lock(impl_->mutex);
    return impl_->commands;
}

void SimLine::clearLog() {
    std::lock_guard<std::mutex> lock(impl_->mutex);
    impl_->frames.clear();
    impl_->commands.clear();
}

std::vector<std::string> SimLine::takeReceivedCommands() {
    std::lock_guard<std::mutex> lock(impl_->mutex);
    std::vector<std::string> taken;
    taken.swap(impl_->commands);
    impl_->frames.clear();
    return taken;
}

std::size_t SimLine::repliesSent() const {
    std::lock_guard<std::mutex> lock(impl_->mutex);
    return impl_->replies;
}

int SimLine::currentBaud() const {
    std::lock_guard<std::mutex> lock(impl_->mutex);
    return impl_->baudLocked();
}

void SimLine::setPacing(bool on) {
    std::lock_guard<std::mutex> lock(impl_->mutex);
    impl_->pacing = on;
}

bool SimLine::pacing() const {
    std::lock_guard<std::mutex> lock(impl_->mutex);
    return impl_->pacing;
}

}  // namespace tbsim
