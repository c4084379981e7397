// What a serial device server costs a transaction: the median round trip of Transact("A01B")
// to the simulated reader over its local pseudo-terminal, and over the same line through
// ser2net on 127.0.0.1 by RFC 2217 and by raw TCP, in one run; and the median of opening and
// closing the port (every action does both; over the network that is a connection each time).
// Beside each network figure, its floor: a bare client through the same server (connect, write
// the frame, read to its CR), so what is ours is told apart from what ser2net costs.
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>
#include <QCoreApplication>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "Ser2net.h"
#include "SimLine.h"
#include "link/Frame.h"
#include "link/ReaderLink.h"
#include "platform/AnyChannel.h"
#include "platform/Telnet.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kRounds = 200;
constexpr int kOpenRounds = 50;
constexpr char kLineSettings[] = "19200,e,8,1";

double Milliseconds(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// How long `work` takes.
double TimedMs(const std::function<void()>& work) {
    const auto start = Clock::now();
    work();
    return Milliseconds(Clock::now() - start);
}

// Our link to `path` (a device or a URL) as COM1, with the message pump the window gives it.
std::unique_ptr<tblink::ReaderLink> LinkTo(const std::string& path) {
    auto link = std::make_unique<tblink::ReaderLink>(platform::MakeSerialChannel(),
                                                     [path](int) { return path; });
    link->SetMessagePump([] { QCoreApplication::processEvents(); });
    return link;
}

bool OpenAndClose(tblink::ReaderLink& link) {
    const bool opened = link.OpenPort(1, kLineSettings);
    link.ClosePort();
    return opened;
}

struct Figures {
    double transact = 0;
    double openClose = 0;
    bool ok = true;
};

Figures Measure(const std::string& path) {
    const auto link = LinkTo(path);
    Figures figures;
    std::vector<double> times;
    for (int i = 0; i < kOpenRounds; ++i)
        times.push_back(TimedMs([&] { figures.ok = figures.ok && OpenAndClose(*link); }));
    figures.openClose = Median(times);

    times.clear();
    figures.ok = figures.ok && link->OpenPort(1, kLineSettings);
    for (int i = 0; i < kRounds; ++i)
        times.push_back(TimedMs([&] { figures.ok = figures.ok && link->Transact("A01B") == 1; }));
    link->ClosePort();
    figures.transact = Median(times);
    return figures;
}

// The bare client. On the telnet port it asks for binary both ways, as any RFC 2217 client
// must for a CR to pass alone, answers nothing else and skips the server's negotiation; asked
// to, it offers COM-PORT too, waits for the server's word on it and sends what our open and close
// send.
class BareClient {
public:
    BareClient(int port, bool telnet, bool comPort = false)
        : port_(port), telnet_(telnet), comPort_(comPort) {}
    ~BareClient() { close(); }

    bool open() {
        fd_ = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(static_cast<std::uint16_t>(port_));
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        const int on = 1;
        ::setsockopt(fd_, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
        if (::connect(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
            close();
            return false;
        }
        static const std::uint8_t kBinaryBothWays[] = {255, 253, 0, 255, 251, 0};
        static const std::uint8_t kComPort[] = {255, 251, 44};
        if (!telnet_) return true;
        if (!sendAll(kBinaryBothWays, sizeof kBinaryBothWays)) return false;
        if (!comPort_) return true;
        if (!(sendAll(kComPort, sizeof kComPort) && readComPortWord())) return false;
        using namespace platform::telnet;
        // The line settings and control lines our open sends.
        const std::string commands = SetBaudrate(19200) + SetDatasize(8) +
                                     SetParity(ComParity::Even) + SetStopsize(ComStopsize::One) +
                                     SetControl(ComControl::NoFlowControl) +
                                     SetControl(ComControl::DtrOn) + SetControl(ComControl::RtsOn);
        return sendAll(reinterpret_cast<const std::uint8_t*>(commands.data()), commands.size());
    }
    void close() {
        if (fd_ >= 0 && comPort_) {
            using namespace platform::telnet;
            const std::string end = PurgeData(ComPurge::Both) + SetControl(ComControl::DtrOff) +
                                    SetControl(ComControl::RtsOff);
            sendAll(reinterpret_cast<const std::uint8_t*>(end.data()), end.size());
        }
        if (fd_ >= 0) ::close(fd_);
        fd_ = -1;
    }
    bool roundTrip(const std::string& frame) {
        return sendAll(reinterpret_cast<const std::uint8_t*>(frame.data()), frame.size()) &&
               readToCr();
    }

private:
    bool sendAll(const std::uint8_t* bytes, std::size_t count) {
        while (count > 0) {
            const ssize_t sent = ::send(fd_, bytes, count, MSG_NOSIGNAL);
            if (sent <= 0) return false;
            bytes += sent;
            count -= static_cast<std::size_t>(sent);
        }
        return true;
    }
    // Telnet commands are three bytes (IAC, verb, option) or a subnegotiation up to IAC SE.
    bool readToCr() {
        std::uint8_t byte = 0;
        int skip = 0;
        bool inSubnegotiation = false;
        bool afterIac = false;
        while (readByte(byte)) {
            if (skip > 0) {
                --skip;
            } else if (telnet_ && afterIac) {
                afterIac = false;
                if (byte == 250)
                    inSubnegotiation = true;
                else if (byte == 240)
                    inSubnegotiation = false;
                else if (byte >= 251)
                    skip = 1;
            } else if (telnet_ && byte == 255) {
                afterIac = true;
            } else if (!inSubnegotiation && byte == tblink::kCr) {
                return true;
            }
        }
        return false;
    }
    // IAC DO or DONT COM-PORT.
    bool readComPortWord() {
        std::uint8_t previous[2] = {0, 0};
        std::uint8_t byte = 0;
        while (readByte(byte)) {
            if (previous[0] == 255 && (previous[1] == 253 || previous[1] == 254) && byte == 44)
                return true;
            previous[0] = previous[1];
            previous[1] = byte;
        }
        return false;
    }
    bool readByte(std::uint8_t& byte) {
        pollfd ready{fd_, POLLIN, 0};
        if (::poll(&ready, 1, 1000) != 1) return false;
        return ::recv(fd_, &byte, 1, 0) == 1;
    }

    int port_;
    bool telnet_;
    bool comPort_;
    int fd_ = -1;
};

int PortOf(const QString& url) { return url.section(':', -1).toInt(); }

// Our RFC 2217 open and close beside the bare client's doing the same exchange, round by round:
// ser2net sometimes takes some 10 ms to give a session its device, for either client, in
// spells that last many rounds.
struct OpenPair {
    double ours = 0;
    double bare = 0;
    bool ok = true;
};

OpenPair MeasureOpenPair(const std::string& url) {
    const auto link = LinkTo(url);
    const int port = PortOf(QString::fromStdString(url));
    OpenPair pair;
    std::vector<double> ours;
    std::vector<double> bare;
    for (int i = 0; i < kOpenRounds; ++i) {
        ours.push_back(TimedMs([&] { pair.ok = pair.ok && OpenAndClose(*link); }));
        BareClient client(port, true, true);
        bare.push_back(TimedMs([&] {
            pair.ok = pair.ok && client.open();
            client.close();
        }));
    }
    pair.ours = Median(ours);
    pair.bare = Median(bare);
    return pair;
}

Figures MeasureBare(int port, bool telnet) {
    const std::string frame = tblink::CommandFrame("A01B");
    Figures figures;
    std::vector<double> times;
    for (int i = 0; i < kOpenRounds; ++i) {
        BareClient client(port, telnet);
        times.push_back(TimedMs([&] {
            figures.ok = figures.ok && client.open();
            client.close();
        }));
    }
    figures.openClose = Median(times);

    times.clear();
    BareClient client(port, telnet);
    figures.ok = figures.ok && client.open();
    for (int i = 0; i < kRounds; ++i)
        times.push_back(TimedMs([&] { figures.ok = figures.ok && client.roundTrip(frame); }));
    figures.transact = Median(times);
    return figures;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    // Two lines with a server each: ser2net lets one connection at a time have a device, and a
    // connection that just closed may still hold it.
    tbsim::SimLine line;
    tbsim::SimLine rawLine;
    if (!line.start() || !rawLine.start()) return 1;
    line.addReader(tbsim::ReaderConfig{});
    rawLine.addReader(tbsim::ReaderConfig{});
    Ser2net server;
    Ser2net rawServer;
    if (!server.start(line.devicePath()) || !rawServer.start(rawLine.devicePath())) {
        std::fprintf(stderr, "bench_network: %s%s\n", qPrintable(server.error()),
                     qPrintable(rawServer.error()));
        return 1;
    }

    const Figures local = Measure(line.devicePath());
    const Figures rfc2217 = Measure(server.rfc2217Url().toStdString());
    const Figures socket = Measure(rawServer.socketUrl().toStdString());
    const Figures rfc2217Bare = MeasureBare(PortOf(server.rfc2217Url()), true);
    const Figures socketBare = MeasureBare(PortOf(rawServer.socketUrl()), false);
    const OpenPair opens = MeasureOpenPair(server.rfc2217Url().toStdString());
    if (!local.ok || !rfc2217.ok || !socket.ok || !rfc2217Bare.ok || !socketBare.ok || !opens.ok)
        std::fprintf(stderr, "bench_network: failures\n");

    std::printf("network_local_transact_median %.3f ms\n", local.transact);
    std::printf("network_rfc2217_transact_median %.3f ms\n", rfc2217.transact);
    std::printf("network_socket_transact_median %.3f ms\n", socket.transact);
    std::printf("network_rfc2217_raw_transact_median %.3f ms\n", rfc2217Bare.transact);
    std::printf("network_socket_raw_transact_median %.3f ms\n", socketBare.transact);
    std::printf("network_rfc2217_to_local_ratio %.3f x\n", rfc2217.transact / local.transact);
    std::printf("network_rfc2217_to_raw_ratio %.3f x\n", rfc2217.transact / rfc2217Bare.transact);
    std::printf("network_socket_to_raw_ratio %.3f x\n", socket.transact / socketBare.transact);
    std::printf("network_local_open_close_median %.3f ms\n", local.openClose);
    std::printf("network_rfc2217_open_close_median %.3f ms\n", rfc2217.openClose);
    std::printf("network_socket_open_close_median %.3f ms\n", socket.openClose);
    std::printf("network_rfc2217_raw_open_close_median %.3f ms\n", rfc2217Bare.openClose);
    std::printf("network_socket_raw_open_close_median %.3f ms\n", socketBare.openClose);
    std::printf("network_rfc2217_paired_open_close_median %.3f ms\n", opens.ours);
    std::printf("network_rfc2217_raw_negotiated_open_close_median %.3f ms\n", opens.bare);
    std::printf("network_rfc2217_open_over_negotiated_raw_ms %.3f ms\n", opens.ours - opens.bare);
    return 0;
}
