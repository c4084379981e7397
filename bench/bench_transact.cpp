// How close a transaction comes to the wire: the median round trip of Transact("A01B") against
// the simulated reader, with the frame history on as it always is, beside a minimal raw client
// on the same kind of line (write the frame, block until the reply's CR), which is the floor;
// the processor time a transaction uses while it waits out a silent reader; and what one history
// entry costs by itself, with and without the session log file. Prints one `name value unit`
// line per figure.
#include <QCoreApplication>
#include <QTemporaryDir>

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

// Nanoseconds per entry added to a full history (the bound drops one each time), as the median
// of batches, with an entry shaped like a real exchange.
double HistoryAddNanoseconds(tblink::HistoryObserver* observer) {
    constexpr int kBatches = 50;
    constexpr int kPerBatch = 1000;
    tblink::FrameHistory history;
    if (observer) history.AddObserver(observer);
    tblink::HistoryEntry shape;
    shape.port = std::make_shared<const tblink::PortInfo>(
        tblink::PortInfo{1, "COM1", "/dev/serial/by-id/usb-FTDI_FT232R-if00-port0", "19200,e,8,1"});
    shape.sent = "[09]A01B0B[0D]";
    shape.received =
        "[0A]A01 12345678"
        "2C[0D]";
    shape.silenceLimitMs = 300;
    shape.elapsedMs = 9;
    for (std::size_t i = 0; i < history.Capacity(); ++i) history.Add(shape);
    std::vector<double> batches;
    for (int b = 0; b < kBatches; ++b) {
        const auto start = Clock::now();
        for (int i = 0; i < kPerBatch; ++i) history.Add(shape);
        batches.push_back(std::chrono::duration<double, std::nano>(Clock::now() - start).count() /
                          kPerBatch);
    }
    if (observer) history.RemoveObserver(observer);
    return Median(batches);
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
    const double historyAdd = HistoryAddNanoseconds(nullptr);
    QTemporaryDir dir;
    tblink::FrameLogFile log(dir.filePath("soak.tsv").toStdString());
    const double historyAddLogged = HistoryAddNanoseconds(&log);

    std::printf("transact_round_trip_median %.3f ms\n", transact);
    std::printf("raw_client_round_trip_median %.3f ms\n", raw);
    std::printf("transact_to_raw_ratio %.3f x\n", transact / raw);
    std::printf("silent_wait_cpu %.3f %%\n", cpu);
    std::printf("history_entry_add_median %.0f ns\n", historyAdd);
    std::printf("history_entry_add_with_log_file_median %.0f ns\n", historyAddLogged);
    std::printf("history_entries_kept %zu entries\n", link.History().Size());
    return 0;
}
