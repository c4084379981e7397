// Continuous card reading: polls per second against the simulated reader, beside the ceiling
// that the loop's own waits (five 10 ms pauses) and the wire (frame and an empty reply at
// 19200,e,8,1) allow; and again with the frame history window open and following every poll.
// The rate is the time between polls, from the first poll's frame to the last's; what the loop
// costs before its first poll and after its last is given apart. The median and the longest
// interval tell a steady loop slowed by one stall of the machine from a loop slow throughout.
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QtTest>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include "BenchWindow.h"
#include "SimLine.h"

namespace {

constexpr int kReadingMs = 4000;

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    tbsim::SimLine line;
    if (!line.start()) return 1;
    line.addReader(tbsim::ReaderConfig{});

    BenchWindow bench(line.devicePath());
    app::TfrmModule& window = bench.window();
    window.findChild<QComboBox*>("cmbPort")->setEditText("COM1");
    QTest::mouseClick(window.findChild<QPushButton*>("btnLink"), Qt::LeftButton);
    if (!window.linked()) return 1;

    auto* readCard = window.findChild<QPushButton*>("btnReadCard");
    struct Loop {
        double pollsPerSecond;
        double startAndStopMs;
        double medianIntervalMs;
        double longestIntervalMs;
    };
    const auto readFor = [&] {
        const tblink::FrameHistory& history = window.frameHistory();
        const std::size_t before = history.Size();
        QElapsedTimer clock;
        QTimer::singleShot(kReadingMs, [&] { QTest::mouseClick(readCard, Qt::LeftButton); });
        clock.start();
        QTest::mouseClick(readCard, Qt::LeftButton);  // returns when the loop has stopped
        const double wholeMs = static_cast<double>(clock.nsecsElapsed()) / 1e6;
        std::vector<std::chrono::system_clock::time_point> polls;
        for (std::size_t i = before; i < history.Size(); ++i)
            if (history.At(i).event == tblink::HistoryEvent::Exchange)
                polls.push_back(history.At(i).when);
        if (polls.size() < 2) return Loop{0, wholeMs, 0, 0};
        std::vector<double> intervalsMs;
        for (std::size_t i = 1; i < polls.size(); ++i)
            intervalsMs.push_back(
                std::chrono::duration<double, std::milli>(polls[i] - polls[i - 1]).count());
        const double spanMs =
            std::chrono::duration<double, std::milli>(polls.back() - polls.front()).count();
        const double periodMs = spanMs / static_cast<double>(intervalsMs.size());
        const double longestMs = *std::max_element(intervalsMs.begin(), intervalsMs.end());
        const auto middle = intervalsMs.begin() + static_cast<long>(intervalsMs.size() / 2);
        std::nth_element(intervalsMs.begin(), middle, intervalsMs.end());
        return Loop{1000.0 / periodMs, wholeMs - periodMs * static_cast<double>(polls.size()),
                    *middle, longestMs};
    };
    const Loop closed = readFor();
    window.findChild<QAction*>("mnuFrameHistory")->trigger();
    const Loop withHistory = readFor();
    const double rate = closed.pollsPerSecond;
    const double rateWithHistory = withHistory.pollsPerSecond;

    const double charMs = 11.0 * 1000.0 / 19200.0;
    const double ceiling = 1000.0 / (5 * 10 + (8 + 8) * charMs);
    std::printf("card_polls_per_second %.2f /s\n", rate);
    std::printf("card_polls_ceiling %.2f /s\n", ceiling);
    std::printf("card_polls_share_of_ceiling %.3f x\n", rate / ceiling);
    std::printf("card_polls_median_interval_share_of_ceiling %.3f x\n",
                1000.0 / closed.medianIntervalMs / ceiling);
    std::printf("card_polls_longest_interval_ms %.2f ms\n", closed.longestIntervalMs);
    std::printf("card_polls_ceiling_interval_ms %.2f ms\n", 1000.0 / ceiling);
    std::printf("card_loop_start_and_stop_ms %.1f ms\n", closed.startAndStopMs);
    std::printf("card_polls_with_history_window_per_second %.2f /s\n", rateWithHistory);
    std::printf("card_polls_history_window_to_closed_ratio %.3f x\n", rateWithHistory / rate);
    return 0;
}
