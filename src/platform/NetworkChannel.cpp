#include "platform/NetworkChannel.h"

#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>

#include "platform/LineSettings.h"

namespace platform {
namespace {

using SteadyClock = std::chrono::steady_clock;

int MillisecondsUntil(SteadyClock::time_point deadline) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - SteadyClock::now());
    return static_cast<int>(std::max<long long>(0, left.count()));
}

// A name lookup in progress. getaddrinfo_a runs it on glibc's helper thread, which calls
// nothing of ours; we only ask whether it is done. A lookup that outlives its open cannot be
// cancelled once started, so it is parked here until it finishes.
struct Lookup {
    std::string host;
    std::string service;
    addrinfo hints{};
    gaicb request{};
    ~Lookup() {
        if (request.ar_result) freeaddrinfo(request.ar_result);
    }
};

std::vector<std::unique_ptr<Lookup>>& ParkedLookups() {
    static std::vector<std::unique_ptr<Lookup>> parked;
    return parked;
}

void ReapParkedLookups() {
    auto& parked = ParkedLookups();
    parked.erase(std::remove_if(parked.begin(), parked.end(),
                                [](const std::unique_ptr<Lookup>& lookup) {
                                    return gai_error(&lookup->request) != EAI_INPROGRESS;
                                }),
                 parked.end());
}

std::chrono::nanoseconds CharacterTime(const std::string& lineSettings) {
    const LineSettings settings = ParseLineSettings(lineSettings);
    if (!settings.baud || *settings.baud <= 0) return std::chrono::nanoseconds(0);
    // Start bit, data bits, parity bit, stop bits, in half bits.
    int halfBits = 2 + 2 * settings.dataBits.value_or(8);
    if (settings.parity.value_or(Parity::None) != Parity::None) halfBits += 2;
    const StopBits stop = settings.stopBits.value_or(StopBits::One);
    halfBits += stop == StopBits::One ? 2 : stop == StopBits::OneAndHalf ? 3 : 4;
    return std::chrono::nanoseconds(500'000'000LL * halfBits / *settings.baud);
}

}  // namespace

SocketChannel::~SocketChannel() { close(); }

void SocketChannel::fail(PortProblem problem, int error) {
    diagnosis_ = {};
    diagnosis_.problem = problem;
    diagnosis_.device = url_;
    diagnosis_.error = error;
    if (problem == PortProblem::NoAnswer || problem == PortProblem::NotNegotiated)
        diagnosis_.limitMs = openLimitMs_;
}

void SocketChannel::lineLost() {
    if (lineGone_) return;
    lineGone_ = true;
    fail(PortProblem::Dropped, 0);
}

void SocketChannel::pump() {
    if (pump_) pump_();
}

bool SocketChannel::open(const std::string& devicePath, const std::string& lineSettings) {
    close();
    diagnosis_ = {};
    url_ = devicePath;
    const std::optional<NetworkAddress> address = ParseNetworkAddress(devicePath);
    if (!address || address->kind != kind_) {
        fail(PortProblem::BadAddress, EINVAL);
        return false;
    }
    const Deadline deadline = SteadyClock::now() + std::chrono::milliseconds(openLimitMs_);
    if (!connectTo(*address, deadline)) return false;

    lineGone_ = false;
    pending_.clear();
    pendingBegin_ = 0;
    characterTime_ = CharacterTime(lineSettings);
    wireDone_ = SteadyClock::now();
    const PortProblem problem = startSession(lineSettings, deadline);
    if (problem != PortProblem::None) {
        // Refused: accepted, then closed, as a server that takes one client at a time and has
        // one does.
        fail(problem, problem == PortProblem::Refused ? ECONNRESET : ETIMEDOUT);
        dropConnection();
        return false;
    }
    return true;
}

bool SocketChannel::connectTo(const NetworkAddress& address, Deadline deadline) {
    ReapParkedLookups();
    auto lookup = std::make_unique<Lookup>();
    lookup->host = address.host;
    lookup->service = std::to_string(address.port);
    lookup->hints.ai_family = AF_UNSPEC;
    lookup->hints.ai_socktype = SOCK_STREAM;
    lookup->hints.ai_flags = AI_NUMERICSERV;
    lookup->request.ar_name = lookup->host.c_str();
    lookup->request.ar_service = lookup->service.c_str();
    lookup->request.ar_request = &lookup->hints;
    gaicb* requests[] = {&lookup->request};
    int status = getaddrinfo_a(GAI_NOWAIT, requests, 1, nullptr);
    if (status == 0) {
        while ((status = gai_error(&lookup->request)) == EAI_INPROGRESS) {
            const int left = MillisecondsUntil(deadline);
            if (left == 0) break;
            const timespec slice{0, std::min(left, kSliceMs) * 1'000'000L};
            gai_suspend(requests, 1, &slice);
            pump();
        }
    }
    if (status == EAI_INPROGRESS) {
        if (gai_cancel(&lookup->request) == EAI_NOTCANCELED)
            ParkedLookups().push_back(std::move(lookup));
        fail(PortProblem::NoAnswer, ETIMEDOUT);
        return false;
    }
    if (status != 0) {
        fail(PortProblem::HostNotFound, status);
        return false;
    }

    // Each address in turn (a name may give IPv6 and IPv4), all within the one limit.
    int lastError = ECONNREFUSED;
    for (const addrinfo* ai = lookup->request.ar_result; ai; ai = ai->ai_next) {
        const int fd = ::socket(ai->ai_family, ai->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC,
                                ai->ai_protocol);
        if (fd < 0) {
            lastError = errno;
            continue;
        }
        int error = 0;
        if (::connect(fd, ai->ai_addr, ai->ai_addrlen) != 0) {
            error = errno;
            if (error == EINPROGRESS) {
                error = ETIMEDOUT;
                while (MillisecondsUntil(deadline) > 0) {
                    pollfd ready{fd, POLLOUT, 0};
                    const int n =
                        ::poll(&ready, 1, std::min(MillisecondsUntil(deadline), kSliceMs));
                    if (n > 0) {
                        socklen_t length = sizeof error;
                        getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length);
                        break;
                    }
                    pump();
                }
            }
        }
        if (error == 0) {
            // Frames are small and a reader waits for each: no batching of bytes.
            const int on = 1;
            setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
            fd_ = fd;
            return true;
        }
        ::close(fd);
        lastError = error;
        if (error == ETIMEDOUT) break;
    }
    fail(lastError == ETIMEDOUT      ? PortProblem::NoAnswer
         : lastError == ECONNREFUSED ? PortProblem::Refused
                                     : PortProblem::Unreachable,
         lastError);
    return false;
}

PortProblem SocketChannel::startSession(const std::string&, Deadline) { return PortProblem::None; }

void SocketChannel::takeIncoming(const std::uint8_t* bytes, std::size_t count, std::string& data) {
    data.append(reinterpret_cast<const char*>(bytes), count);
}

std::string SocketChannel::outgoing(const std::uint8_t* bytes, std::size_t count) {
    return std::string(reinterpret_cast<const char*>(bytes), count);
}

void SocketChannel::dropConnection() {
    if (fd_ < 0) return;
    // Unread bytes would turn the close into a reset, and a reset may cost the server what we
    // sent last.
    char sink[512];
    while (::recv(fd_, sink, sizeof sink, MSG_DONTWAIT) > 0) {
    }
    ::shutdown(fd_, SHUT_RDWR);
    ::close(fd_);
    fd_ = -1;
}

void SocketChannel::close() {
    if (fd_ < 0) return;
    if (!lineGone_) endSession();
    dropConnection();
    pending_.clear();
    pendingBegin_ = 0;
}

void SocketChannel::sendRaw(const std::string& bytes) {
    std::size_t sent = 0;
    while (fd_ >= 0 && !lineGone_ && sent < bytes.size()) {
        const ssize_t n = ::send(fd_, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (n > 0) {
            sent += static_cast<std::size_t>(n);
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            pollfd ready{fd_, POLLOUT, 0};
            if (::poll(&ready, 1, 1000) <= 0 || (ready.revents & (POLLERR | POLLHUP))) lineLost();
        } else {
            lineLost();
        }
    }
}

bool SocketChannel::receive(int timeoutMs) {
    lastChunk_ = 0;
    if (fd_ < 0 || lineGone_) return false;
    pollfd ready{fd_, POLLIN, 0};
    const int events = ::poll(&ready, 1, timeoutMs);
    if (events < 0) {
        if (errno == EINTR) return true;
        lineLost();
        return false;
    }
    if (events == 0) return true;
    std::uint8_t buffer[512];
    const ssize_t n = ::recv(fd_, buffer, sizeof buffer, MSG_DONTWAIT);
    // A server that batches small writes (Nagle) holds the rest of a reply until we acknowledge
    // the first part; a delayed acknowledgement would add up to 40 ms to every reply. Linux
    // drops quick-ack mode again by itself, so it is set after every read.
    const int quickAck = 1;
    setsockopt(fd_, IPPROTO_TCP, TCP_QUICKACK, &quickAck, sizeof quickAck);
    if (n > 0) {
        lastChunk_ = static_cast<std::size_t>(n);
        if (pendingBegin_ == pending_.size()) {
            pending_.clear();
            pendingBegin_ = 0;
        }
        takeIncoming(buffer, static_cast<std::size_t>(n), pending_);
        return !lineGone_;
    }
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)) return true;
    lineLost();  // the server closed the connection, or it broke
    return false;
}

void SocketChannel::purge() {
    if (fd_ < 0 || lineGone_) return;
    // What already arrived is stale; it still passes the decoder, which must keep its place in
    // the server's command stream.
    while (receive(0) && lastChunk_ > 0) {
        pending_.clear();
        pendingBegin_ = 0;
    }
    pending_.clear();
    pendingBegin_ = 0;
    purgeServer();
}

void SocketChannel::write(const std::uint8_t* bytes, std::size_t count) {
    if (fd_ < 0 || lineGone_ || count == 0) return;
    const auto now = SteadyClock::now();
    wireDone_ = std::max(wireDone_, now) + characterTime_ * static_cast<long long>(count);
    sendRaw(outgoing(bytes, count));
}

void SocketChannel::drain() {
    while (fd_ >= 0 && !lineGone_) {
        const int left = MillisecondsUntil(wireDone_);
        if (left == 0) break;
        ::poll(nullptr, 0, std::min(left, kSliceMs));
        pump();
    }
}

ReadStatus SocketChannel::readByte(std::uint8_t& byte, int timeoutMs) {
    const Deadline deadline = SteadyClock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        if (pendingBegin_ < pending_.size()) {
            byte = static_cast<std::uint8_t>(pending_[pendingBegin_++]);
            return ReadStatus::Byte;
        }
        // Telnet commands carry no data: keep waiting for the rest of the time.
        if (!receive(MillisecondsUntil(deadline))) return ReadStatus::LineGone;
        if (pendingBegin_ == pending_.size() && MillisecondsUntil(deadline) == 0) {
            return ReadStatus::Timeout;
        }
    }
}

// ---- RFC 2217 ----

Rfc2217Channel::~Rfc2217Channel() { close(); }

void Rfc2217Channel::takeIncoming(const std::uint8_t* bytes, std::size_t count, std::string& data) {
    events_.clear();
    decoder_.feed(bytes, count, data, events_);
    std::string answers;
    for (const telnet::Event& event : events_) {
        if (event.kind == telnet::Event::Kind::Option)
            answers += negotiator_.answer(event.verb, event.option);
        // The server's confirmations of COM-PORT commands and its line and modem state
        // notices change nothing here.
    }
    decoder_.setDropNulAfterCr(!negotiator_.serverBinary());
    if (!answers.empty()) sendRaw(answers);
}

std::string Rfc2217Channel::outgoing(const std::uint8_t* bytes, std::size_t count) {
    return telnet::Escape(bytes, count);
}

PortProblem Rfc2217Channel::startSession(const std::string& lineSettings, Deadline deadline) {
    decoder_.reset();
    negotiator_ = telnet::Negotiator(true);
    decoder_.setDropNulAfterCr(true);
    sendRaw(negotiator_.opening());
    while (!negotiator_.comPortSettled()) {
        const int left = MillisecondsUntil(deadline);
        if (left == 0 || !receive(std::min(left, kSliceMs))) break;
        pump();
    }
    if (!isOpen() || !receive(0)) return PortProblem::Refused;
    if (!negotiator_.comPortSettled()) return PortProblem::NotNegotiated;
    if (!negotiator_.comPortEnabled()) return PortProblem::None;

    using namespace telnet;
    const LineSettings settings = ParseLineSettings(lineSettings);
    std::string commands;
    if (settings.baud && *settings.baud > 0)
        commands += SetBaudrate(static_cast<std::uint32_t>(*settings.baud));
    if (settings.dataBits) commands += SetDatasize(*settings.dataBits);
    if (settings.parity) {
        static constexpr ComParity kParity[] = {ComParity::None, ComParity::Even, ComParity::Odd,
                                                ComParity::Mark, ComParity::Space};
        commands += SetParity(kParity[static_cast<int>(*settings.parity)]);
    }
    if (settings.stopBits) {
        static constexpr ComStopsize kStop[] = {ComStopsize::One, ComStopsize::OneAndHalf,
                                                ComStopsize::Two};
        commands += SetStopsize(kStop[static_cast<int>(*settings.stopBits)]);
    }
    commands += SetControl(ComControl::NoFlowControl);
    commands += SetControl(ComControl::DtrOn);
    commands += SetControl(ComControl::RtsOn);
    sendRaw(commands);
    return isOpen() && receive(0) ? PortProblem::None : PortProblem::Refused;
}

void Rfc2217Channel::purgeServer() {
    if (negotiator_.comPortEnabled()) sendRaw(telnet::PurgeData(telnet::ComPurge::Both));
}

void Rfc2217Channel::endSession() {
    if (!negotiator_.comPortEnabled()) return;
    using namespace telnet;
    sendRaw(PurgeData(ComPurge::Both) + SetControl(ComControl::DtrOff) +
            SetControl(ComControl::RtsOff));
}

}  // namespace platform
