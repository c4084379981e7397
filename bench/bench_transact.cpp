// How close a transaction comes to the wire: the median round trip of Transact("A01B") against
// the simulated reader, beside a minimal raw client on the same kind of line (write the frame,
// block until the reply's CR), which is the floor; and the processor time a transaction uses
// while it waits out a silent reader. Prints one `name value unit` line per figure.
#include <QCoreApplication>

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "SimLine.h"
#include "link/ReaderLink.h"
#include "platform/PosixSerialChannel.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kRounds = 200;
constexpr int kPort = 1;

double Milliseconds(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double ThreadCpuMilliseconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

double TransactRoundTrip(tblink::ReaderLink& link) {
    std::vector<double> times;
    for (int i = 0; i < kRounds; ++i) {
        const auto start = Clock::now();
        if (link.Transact("A01B") != 1) std::fprintf(stderr, "transact failed\n");
        times.push_back(Milliseconds(Clock::now() - start));
    }
    return Median(times);
}

// The floor: one write of the whole frame, then a blocking wait for the CR.
double RawRoundTrip(const std::string& device) {
    const int fd = ::open(device.c_str(), O_RDWR | O_NOCTTY);
    termios tio{};
    tcgetattr(fd, &tio);
    cfmakeraw(&tio);
    cfsetspeed(&tio, B19200);
    tio.c_cflag |= PARENB;
    tcsetattr(fd, TCSANOW, &tio);
    const std::string frame = "\tA01B0B\r";
    std::vector<double> times;
    char buffer[64];
    for (int i = 0; i < kRounds; ++i) {
        tcflush(fd, TCIOFLUSH);
        const auto start = Clock::now();
        if (::write(fd, frame.data(), frame.size()) != static_cast<ssize_t>(frame.size())) break;
        bool done = false;
        while (!done) {
            pollfd ready{fd, POLLIN, 0};
            if (poll(&ready, 1, 1000) <= 0) break;
            const ssize_t n = ::read(fd, buffer, sizeof buffer);
            for (ssize_t k = 0; k < n; ++k) done = done || buffer[k] == '\r';
        }
        times.push_back(Milliseconds(Clock::now() - start));
    }
    ::close(fd);
    return Median(times);
}

double SilentWaitCpuPercent(tblink::ReaderLink& link, tbsim::SimLine& line) {
    tbsim::FaultPlan silence;
    silence.fault = tbsim::Fault::Silence;
    line.setFault(silence);
    const double cpuBefore = ThreadCpuMilliseconds();
    const auto start = Clock::now();
    link.Transact("A01B");
    const double wall = Milliseconds(Clock::now() - start);
    const double cpu = ThreadCpuMilliseconds() - cpuBefore;
    line.clearFault();
    return 100.0 * cpu / wall;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    tbsim::SimLine line;
    if (!line.start()) return 1;
    line.addReader(tbsim::ReaderConfig{});
    const std::string device = line.devicePath();

    tblink::ReaderLink link(std::make_unique<platform::PosixSerialChannel>(),
                            [device](int) { return device; });
    link.SetMessagePump([] { QCoreApplication::processEvents(); });
    if (!link.OpenPort(kPort, "19200,e,8,1")) return 1;
    const double transact = TransactRoundTrip(link);
    const double cpu = SilentWaitCpuPercent(link, line);
    link.ClosePort();
    const double raw = RawRoundTrip(device);

    std::printf("transact_round_trip_median %.3f ms\n", transact);
    std::printf("raw_client_round_trip_median %.3f ms\n", raw);
    std::printf("transact_to_raw_ratio %.3f x\n", transact / raw);
    std::printf("silent_wait_cpu %.3f %%\n", cpu);
    return 0;
}
