// What a serial device server costs a transaction: the median round trip of Transact("A01B")
// to the simulated reader over its local pseudo-terminal, and over the same line through
// ser2net on 127.0.0.1 by RFC 2217 and by raw TCP, in one run; and the median of opening and
// closing the port (every action does both; over the network that is a connection each time).
#include <QCoreApplication>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "Ser2net.h"
#include "SimLine.h"
#include "link/ReaderLink.h"
#include "platform/AnyChannel.h"

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

struct Figures {
    double transact = 0;
    double openClose = 0;
    bool ok = true;
};

Figures Measure(const std::string& path) {
    tblink::ReaderLink link(platform::MakeSerialChannel(), [path](int) { return path; });
    link.SetMessagePump([] { QCoreApplication::processEvents(); });
    Figures figures;
    std::vector<double> times;
    for (int i = 0; i < kOpenRounds; ++i) {
        const auto start = Clock::now();
        figures.ok = figures.ok && link.OpenPort(1, kLineSettings);
        link.ClosePort();
        times.push_back(Milliseconds(Clock::now() - start));
    }
    figures.openClose = Median(times);

    times.clear();
    figures.ok = figures.ok && link.OpenPort(1, kLineSettings);
    for (int i = 0; i < kRounds; ++i) {
        const auto start = Clock::now();
        figures.ok = figures.ok && link.Transact("A01B") == 1;
        times.push_back(Milliseconds(Clock::now() - start));
    }
    link.ClosePort();
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
    if (!local.ok || !rfc2217.ok || !socket.ok) std::fprintf(stderr, "bench_network: failures\n");

    std::printf("network_local_transact_median %.3f ms\n", local.transact);
    std::printf("network_rfc2217_transact_median %.3f ms\n", rfc2217.transact);
    std::printf("network_socket_transact_median %.3f ms\n", socket.transact);
    std::printf("network_rfc2217_to_local_ratio %.3f x\n", rfc2217.transact / local.transact);
    std::printf("network_local_open_close_median %.3f ms\n", local.openClose);
    std::printf("network_rfc2217_open_close_median %.3f ms\n", rfc2217.openClose);
    std::printf("network_socket_open_close_median %.3f ms\n", socket.openClose);
    return 0;
}
