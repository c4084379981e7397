// Finding a reader on the simulated lines: the quick try of the stored port, the walk over the
// port list and the line settings, locked and unlocked, and the link probe.
#include <QtTest>

#include "CommandRig.h"
#include "link/Discovery.h"
#include "link/LineSettingsList.h"

using namespace tblink;
using tbsim::ReaderKind;
using Commands = std::vector<std::string>;

namespace {

using Kind = DiscoveryStep::Kind;

// What the progress callback saw, as text: "item0 line5 open1 found1".
struct StepLog {
    QStringList steps;
    DiscoveryProgress callback() {
        return [this](const DiscoveryStep& step) {
            switch (step.kind) {
                case Kind::PortItem:
                    steps << QString("item%1").arg(step.item);
                    break;
                case Kind::LineSettings:
                    steps << QString("line%1").arg(step.lineSettingsIndex);
                    break;
                case Kind::PortOpened:
                    steps << QString("open%1").arg(step.port);
                    break;
                case Kind::FoundInWalk:
                    steps << QString("found%1").arg(step.port);
                    break;
            }
        };
    }
    QString text() const { return steps.join(' '); }
};

ScanRequest Request(std::vector<std::string> items, int storedPort, int storedIndex, bool lock) {
    ScanRequest request;
    request.probe = ScanProbe('A');
    request.storedPort = storedPort;
    request.storedLineSettingsIndex = storedIndex;
    request.storedLineSettings = kLineSettingsTexts[storedIndex];
    request.portItems = std::move(items);
    request.lock = lock;
    return request;
}

}  // namespace

class TestScan : public QObject {
    Q_OBJECT
private slots:
    void quickTryFindsTheStoredReader();
    void quickTryFailsThenTheWalkFinds();
    void lockedWalkTriesOneSettingPerPort();
    void unlockedWalkFindsTheReadersSpeed_data();
    void unlockedWalkFindsTheReadersSpeed();
    void portThatDoesNotOpenIsSkipped();
    void itemsWithoutANumberAreSkipped();
    void otherLengthIsNoReader();
    void linkProbeUsesTheChosenId();
    void probesWaitTheRequestsSilence_data();
    void probesWaitTheRequestsSilence();
};

void TestScan::quickTryFindsTheStoredReader() {
    CommandRig rig;
    rig.addLine();
    rig.addReader(ReaderKind::PX10, 7, 2);
    StepLog log;
    const auto found =
        Scan(rig.link, rig.pacer, Request({"COM1", "COM2"}, 2, 5, true), log.callback());
    QVERIFY(found);
    QCOMPARE(found->port, 2);
    QCOMPARE(found->lineSettingsIndex, 5);
    QCOMPARE(found->reply.substr(2, 2), std::string("07"));
    QCOMPARE(rig.takeCommands(), (Commands{"A00B"}));
    QCOMPARE(QString::fromStdString(rig.pacer.pausesText()), QString("K100"));
    QCOMPARE(log.text(), QString("open2"));
}

void TestScan::quickTryFailsThenTheWalkFinds() {
    CommandRig rig;
    rig.addLine();
    rig.addReader(ReaderKind::PX10, 1, 2);
    StepLog log;
    // Stored: COM1, where nobody answers; three probes there, then the walk.
    const auto found =
        Scan(rig.link, rig.pacer, Request({"COM1", "COM2"}, 1, 5, true), log.callback());
    QVERIFY(found);
    QCOMPARE(found->port, 2);
    QCOMPARE(rig.takeCommands(), (Commands(6, "A00B")));
    QCOMPARE(QString::fromStdString(rig.pacer.pausesText()), QString("K100 K100 K100 P50 P50 P50"));
    QCOMPARE(log.text(), QString("open1 item0 line5 open1 item1 line5 open2 found2"));
}

void TestScan::lockedWalkTriesOneSettingPerPort() {
    CommandRig rig;
    rig.addLine();
    rig.addLine();
    StepLog log;
    const auto found =
        Scan(rig.link, rig.pacer, Request({"COM1", "COM2", "COM3"}, 0, 3, true), log.callback());
    QVERIFY(!found);
    // No quick try with no stored port; exactly two probes per port at the stored setting.
    QCOMPARE(rig.takeCommands(), (Commands(6, "A00B")));
    for (const auto& sent : rig.channel.sent())
        QCOMPARE(sent.lineSettings, std::string("9600,e,8,1"));
    QCOMPARE(log.text(), QString("item0 line3 open1 item1 line3 open2 item2 line3 open3"));
}

void TestScan::unlockedWalkFindsTheReadersSpeed_data() {
    QTest::addColumn<QString>("speed");
    QTest::addColumn<int>("probes");  // before and including the one answered
    QTest::addColumn<bool>("found");
    QTest::newRow("4800,n,8,1: the first setting") << "4800,n,8,1" << 1 << true;
    QTest::newRow("19200,n,8,1: the fifth") << "19200,n,8,1" << 9 << true;
    QTest::newRow("115200,e,8,1: the last scanned") << "115200,e,8,1" << 21 << true;
    QTest::newRow("230400: never by the walk") << "230400,e,8,1" << 24 << false;
}

void TestScan::unlockedWalkFindsTheReadersSpeed() {
    QFETCH(QString, speed);
    QFETCH(int, probes);
    QFETCH(bool, found);
    CommandRig rig;
    rig.addReader(ReaderKind::PX10, 1, 1, speed.toStdString());
    const auto reader = Scan(rig.link, rig.pacer, Request({"COM1"}, 0, 5, false), {});
    QCOMPARE(reader.has_value(), found);
    QCOMPARE(static_cast<int>(rig.takeCommands().size()), probes);
    // A pseudo-terminal cannot tell parity apart: "n" and "e" of one speed both answer.
    if (found)
        QCOMPARE(reader->lineSettings.substr(0, speed.indexOf(',')),
                 speed.toStdString().substr(0, speed.indexOf(',')));
}

void TestScan::portThatDoesNotOpenIsSkipped() {
    CommandRig rig;
    rig.addLine();
    rig.addReader(ReaderKind::PX10, 1, 2);
    rig.channel.setHeld(rig.devicePath(1));
    StepLog log;
    const auto found =
        Scan(rig.link, rig.pacer, Request({"COM1", "COM2"}, 0, 5, false), log.callback());
    QVERIFY(found);
    QCOMPARE(found->port, 2);
    // Only the first setting is tried on a port that does not open.
    QCOMPARE(log.steps.mid(0, 3).join(' '), QString("item0 line0 item1"));
}

void TestScan::itemsWithoutANumberAreSkipped() {
    CommandRig rig;
    StepLog log;
    const auto found =
        Scan(rig.link, rig.pacer, Request({"ttyUSB0", "COM", "COM1"}, 0, 5, true), log.callback());
    QVERIFY(!found);
    QCOMPARE(log.text(), QString("item0 item1 item2 line5 open1"));
}

// A verified reply of another length than 16 is not a reader: every probe is made.
void TestScan::otherLengthIsNoReader() {
    CommandRig rig;
    tbsim::ReaderConfig config;
    config.serial = "123456789";
    rig.addReader(config);
    const auto found = Scan(rig.link, rig.pacer, Request({"COM1"}, 1, 5, true), {});
    QVERIFY(!found);
    QCOMPARE(static_cast<int>(rig.takeCommands().size()), 5);
}

void TestScan::linkProbeUsesTheChosenId() {
    CommandRig rig;
    rig.addReader(ReaderKind::PX40, 7);
    rig.addReader(ReaderKind::PX40, 8);
    StepLog log;
    const auto found =
        ProbePort(rig.link, rig.pacer, 1, 5, "19200,e,8,1", LinkProbe('H', "08"), log.callback());
    QVERIFY(found);
    QCOMPARE(found->reply.substr(2, 2), std::string("08"));
    QCOMPARE(rig.takeCommands(), (Commands{"H08B"}));
    QCOMPARE(log.text(), QString("open1"));
}

// Two probes to an empty line, each after its 50 ms pause: the silence limit is the request's.
void TestScan::probesWaitTheRequestsSilence_data() {
    QTest::addColumn<int>("silence");
    QTest::newRow("the window's") << ReaderLink::kDefaultSilenceLimitMs;
    QTest::newRow("a quick bus's") << 50;
}

void TestScan::probesWaitTheRequestsSilence() {
    QFETCH(int, silence);
    CommandRig rig;
    ScanRequest request = Request({"COM1"}, 0, 5, true);
    request.silenceLimitMs = silence;
    const auto start = rig.clock.Now();
    QVERIFY(!Scan(rig.link, rig.pacer, request, {}));
    const auto ms =
        std::chrono::duration_cast<std::chrono::milliseconds>(rig.clock.Now() - start).count();
    QVERIFY2(ms > 2 * (50 + silence) && ms <= 2 * (50 + silence + ReaderLink::kWaitSliceMs),
             qPrintable(QString::number(ms)));
}

QTEST_APPLESS_MAIN(TestScan)
#include "tst_scan.moc"
