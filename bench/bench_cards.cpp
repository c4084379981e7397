// Continuous card reading: polls per second against the simulated reader, beside the ceiling
// that the loop's own waits (five 10 ms pauses) and the wire (frame and an empty reply at
// 19200,e,8,1) allow; and again with the frame history window open and following every poll.
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QtTest>
#include <cstdio>

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
    const auto pollsPerSecond = [&] {
        line.clearLog();
        QElapsedTimer clock;
        QTimer::singleShot(kReadingMs, [&] { QTest::mouseClick(readCard, Qt::LeftButton); });
        clock.start();
        QTest::mouseClick(readCard, Qt::LeftButton);  // returns when the loop has stopped
        const double seconds = static_cast<double>(clock.elapsed()) / 1000.0;
        return static_cast<double>(line.receivedCommands().size()) / seconds;
    };
    const double rate = pollsPerSecond();
    window.findChild<QAction*>("mnuFrameHistory")->trigger();
    const double rateWithHistory = pollsPerSecond();

    const double charMs = 11.0 * 1000.0 / 19200.0;
    const double ceiling = 1000.0 / (5 * 10 + (8 + 8) * charMs);
    std::printf("card_polls_per_second %.2f /s\n", rate);
    std::printf("card_polls_ceiling %.2f /s\n", ceiling);
    std::printf("card_polls_share_of_ceiling %.3f x\n", rate / ceiling);
    std::printf("card_polls_with_history_window_per_second %.2f /s\n", rateWithHistory);
    std::printf("card_polls_history_window_to_closed_ratio %.3f x\n", rateWithHistory / rate);
    return 0;
}
