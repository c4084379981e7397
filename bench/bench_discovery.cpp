// Scan to "Reader find ok." for a reader on the stored port (the quick try), beside the floor
// that the waits of the procedure and the wire speed set: 100 ms before the probe, 100 ms
// before "V", 50 ms before each read-out command, and every frame and reply at 19200,e,8,1.
// A round runs from the click on a settled window to the result (the handler's return, when
// the window is enabled again), and on to that result painted.
#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QtTest>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include "BenchWindow.h"
#include "SimLine.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kRounds = 15;

// Frame bytes on the wire for one exchange: TAB, text, 2 checksum, CR; then the reply.
double ExchangeMs(std::size_t commandText, std::size_t replyBytes, double charMs) {
    return static_cast<double>(commandText + 4 + replyBytes) * charMs;
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    tbsim::SimLine line;
    if (!line.start()) return 1;
    line.addReader(tbsim::ReaderConfig{});  // PX10, ID 01, 19200,e,8,1

    BenchWindow bench(line.devicePath(), [](platform::SettingsStore& store) {
        store.writeInt("TagBench", "ScanCommNo", 1);  // the quick try goes straight to COM1
    });
    app::TfrmModule& window = bench.window();
    auto* scan = window.findChild<QPushButton*>("btnScan");
    auto* message = window.findChild<QLabel*>("pnMsg");

    const auto msSince = [](Clock::time_point start) {
        return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    };
    std::vector<double> times;
    std::vector<double> paintedTimes;
    for (int i = 0; i < kRounds; ++i) {
        QCoreApplication::processEvents();  // the last round's paint is not this round's
        const auto start = Clock::now();
        QTest::mouseClick(scan, Qt::LeftButton);
        times.push_back(msSince(start));
        QCoreApplication::processEvents();
        paintedTimes.push_back(msSince(start));
        if (!message->text().startsWith("Reader find ok.")) {
            std::fprintf(stderr, "scan failed: %s\n", qPrintable(message->text()));
            return 1;
        }
    }
    std::sort(times.begin(), times.end());
    std::sort(paintedTimes.begin(), paintedTimes.end());

    const double charMs = 11.0 * 1000.0 / 19200.0;          // start, 8 data, parity, stop
    const double floor = 100 + ExchangeMs(4, 16, charMs)    // probe "A00B"
                         + 100 + ExchangeMs(4, 24, charMs)  // "A01V"
                         + 50 + ExchangeMs(4, 12, charMs);  // "A01A"
    const double median = times[times.size() / 2];
    std::printf("scan_quick_try_median %.1f ms\n", median);
    std::printf("scan_quick_try_floor %.1f ms\n", floor);
    std::printf("scan_quick_try_to_floor_ratio %.3f x\n", median / floor);
    const double painted = paintedTimes[paintedTimes.size() / 2];
    std::printf("scan_quick_try_painted_median %.1f ms\n", painted);
    std::printf("scan_quick_try_painted_to_floor_ratio %.3f x\n", painted / floor);
    return 0;
}
