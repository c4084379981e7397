// The link's frame history on the scripted line and virtual clock: the exact frames of a
// command, every kind of outcome with its times, port opens that fail and why, the grouping by
// command, the bound, and the tab-separated form the log file and Save write.
#include <QTemporaryDir>
#include <QtTest>
#include <fstream>

#include "CommandRig.h"
#include "commands/config/Identity.h"
#include "link/FrameHistory.h"

using tblink::FrameHistory;
using tblink::HistoryEntry;
using tblink::HistoryEvent;
using tblink::TransactResult;

Q_DECLARE_METATYPE(TransactResult)
Q_DECLARE_METATYPE(platform::PortProblem)

namespace {

std::vector<HistoryEntry> Entries(const FrameHistory& history) {
    std::vector<HistoryEntry> all;
    for (std::size_t i = 0; i < history.Size(); ++i) all.push_back(history.At(i));
    return all;
}

std::vector<HistoryEntry> Exchanges(const FrameHistory& history) {
    std::vector<HistoryEntry> found;
    for (const HistoryEntry& entry : Entries(history))
        if (entry.event == HistoryEvent::Exchange) found.push_back(entry);
    return found;
}

std::vector<std::string> Split(const std::string& line) {
    std::vector<std::string> fields;
    std::size_t start = 0;
    for (;;) {
        const std::size_t tab = line.find('\t', start);
        fields.push_back(line.substr(start, tab - start));
        if (tab == std::string::npos) return fields;
        start = tab + 1;
    }
}

std::vector<std::string> Lines(const QString& path) {
    std::ifstream file(path.toStdString());
    std::vector<std::string> lines;
    for (std::string line; std::getline(file, line);) lines.push_back(line);
    return lines;
}

struct CountingObserver : tblink::HistoryObserver {
    int added = 0;
    int dropped = 0;
    int cleared = 0;
    void entryAdded(const HistoryEntry&, bool droppedOldest) override {
        ++added;
        dropped += droppedOldest ? 1 : 0;
    }
    void historyCleared() override { ++cleared; }
};

}  // namespace

class TestHistory : public QObject {
    Q_OBJECT
private slots:
    void setIdKeepsItsExactFrames();
    void retryAfterWrongChecksumKeepsBothOutcomes();
    void silenceKeepsItsDuration_data();
    void silenceKeepsItsDuration();
    void everyOutcomeIsNamed_data();
    void everyOutcomeIsNamed();
    void failedOpensSayWhy_data();
    void failedOpensSayWhy();
    void commandsGroupTheirRowsAndNest();
    void boundKeepsTheNewestTenThousand();
    void logFileAppendsEveryEntryOnce();
    void linesKeepTheirColumns();
};

// Vectors by hand: 09^'A'^'0'^'1'^'B' = 0B; the set-ID text "A01C" "12345678" "05" XORs to 07.
void TestHistory::setIdKeepsItsExactFrames() {
    CommandRig rig;
    rig.addReader(tbsim::ReaderKind::PX10, 1);
    QVERIFY(rig.open());
    QVERIFY(commands::SetReaderId({rig.link, rig.pacer, "A01"}, "05"));
    rig.close();

    const auto all = Entries(rig.link.History());
    QCOMPARE(all.size(), std::size_t{4});
    QCOMPARE(all[0].event, HistoryEvent::PortOpened);
    QCOMPARE(all[3].event, HistoryEvent::PortClosed);
    for (const HistoryEntry& entry : all) {
        QCOMPARE(entry.port->name, std::string("COM1"));
        QCOMPARE(entry.port->device, rig.devicePath(1));
        QCOMPARE(entry.port->lineSettings, std::string(CommandRig::kLineSettings));
    }
    QCOMPARE(all[1].sent, std::string("[09]A01B0B[0D]"));
    QCOMPARE(all[2].sent, std::string("[09]A01C123456780507[0D]"));
    for (const HistoryEntry& exchange : {all[1], all[2]}) {
        QCOMPARE(exchange.result, TransactResult::Ok);
        QCOMPARE(tblink::OutcomeText(exchange), std::string("Ok"));
        QVERIFY(exchange.received.rfind("[0A]", 0) == 0);
        QVERIFY(exchange.received.size() >= 8 &&
                exchange.received.substr(exchange.received.size() - 4) == "[0D]");
        QVERIFY(exchange.elapsedMs >= 0);
    }
    QVERIFY(all[1].received.find(CommandRig::kSerial) != std::string::npos);
    QVERIFY(all[1].sequence < all[2].sequence);
}

void TestHistory::retryAfterWrongChecksumKeepsBothOutcomes() {
    CommandRig rig;
    rig.addReader(tbsim::ReaderKind::PX10, 1);
    tbsim::FaultPlan once;
    once.fault = tbsim::Fault::WrongChecksum;
    once.times = 1;
    rig.line().setFault(once);
    QVERIFY(rig.open());
    QVERIFY(commands::SetReaderId({rig.link, rig.pacer, "A01"}, "05"));

    const auto exchanges = Exchanges(rig.link.History());
    QCOMPARE(exchanges.size(), std::size_t{3});
    QCOMPARE(exchanges[0].sent, std::string("[09]A01B0B[0D]"));
    QCOMPARE(exchanges[0].result, TransactResult::ChecksumError);
    QCOMPARE(tblink::OutcomeText(exchanges[0]), std::string("Wrong checksum"));
    // A whole frame came, so it has a reply time and its bytes.
    QVERIFY(exchanges[0].elapsedMs >= 0);
    QVERIFY(exchanges[0].received.find("[0D]") != std::string::npos);
    QCOMPARE(exchanges[1].sent, std::string("[09]A01B0B[0D]"));
    QCOMPARE(exchanges[1].result, TransactResult::Ok);
    QCOMPARE(exchanges[2].sent, std::string("[09]A01C123456780507[0D]"));
    QCOMPARE(exchanges[2].result, TransactResult::Ok);
}

void TestHistory::silenceKeepsItsDuration_data() {
    QTest::addColumn<int>("fault");
    QTest::addColumn<int>("limit");
    QTest::addColumn<bool>("bytesCame");
    QTest::newRow("silent reader, Transact") << int(tbsim::Fault::Silence) << 300 << false;
    QTest::newRow("silent reader, 1500 ms limit") << int(tbsim::Fault::Silence) << 1500 << false;
    QTest::newRow("garbage, then quiet") << int(tbsim::Fault::Garbage) << 300 << true;
}

void TestHistory::silenceKeepsItsDuration() {
    QFETCH(int, fault);
    QFETCH(int, limit);
    QFETCH(bool, bytesCame);
    CommandRig rig;
    rig.addReader(tbsim::ReaderKind::PX10, 1);
    tbsim::FaultPlan plan;
    plan.fault = static_cast<tbsim::Fault>(fault);
    rig.line().setFault(plan);
    QVERIFY(rig.open());
    const auto before = rig.clock.Now();
    QCOMPARE(rig.link.TransactTimed("A01B", limit), 0);
    const long long wholeMs =
        std::chrono::duration_cast<std::chrono::milliseconds>(rig.clock.Now() - before).count();

    const HistoryEntry entry = Exchanges(rig.link.History()).back();
    QCOMPARE(entry.result, TransactResult::Silence);
    QCOMPARE(entry.silenceLimitMs, limit);
    QVERIFY2(entry.silenceMs > limit, qPrintable(QString::number(entry.silenceMs)));
    QVERIFY(entry.elapsedMs <= wholeMs);
    // The silence counts from the last byte that came, not from sending.
    QCOMPARE(entry.silenceMs < entry.elapsedMs, bytesCame);
    QCOMPARE(!entry.received.empty(), bytesCame);
    QCOMPARE(tblink::OutcomeText(entry),
             "Silence after " + std::to_string(entry.silenceMs) + " ms");
}

void TestHistory::everyOutcomeIsNamed_data() {
    QTest::addColumn<int>("fault");
    QTest::addColumn<int>("length");
    QTest::addColumn<QString>("command");
    QTest::addColumn<bool>("open");
    QTest::addColumn<TransactResult>("result");
    QTest::addColumn<QString>("outcome");  // its start
    const QString tooLong = "A01B" + QString(int(tblink::kMaxCommandLength) - 3, QLatin1Char('B'));
    QTest::newRow("line gone half way")
        << int(tbsim::Fault::LineGone) << 5 << "A01B" << true << TransactResult::LineGone
        << "Line gone: /dev/ttyTB1 vanished during the exchange";
    QTest::newRow("endless reply")
        << int(tbsim::Fault::OverlongReply) << 9000 << "A01B" << true << TransactResult::Overflow
        << "Overflow: 8400 bytes without a frame";
    QTest::newRow("command too long")
        << int(tbsim::Fault::None) << 0 << tooLong << true << TransactResult::CommandTooLong
        << "Refused: command too long";
    QTest::newRow("no port open") << int(tbsim::Fault::None) << 0 << "A01B" << false
                                  << TransactResult::NotOpen << "Port not open";
}

void TestHistory::everyOutcomeIsNamed() {
    QFETCH(int, fault);
    QFETCH(int, length);
    QFETCH(QString, command);
    QFETCH(bool, open);
    QFETCH(TransactResult, result);
    QFETCH(QString, outcome);
    CommandRig rig;
    rig.addReader(tbsim::ReaderKind::PX10, 1);
    tbsim::FaultPlan plan;
    plan.fault = static_cast<tbsim::Fault>(fault);
    plan.length = static_cast<std::size_t>(length);
    rig.line().setFault(plan);
    if (open) QVERIFY(rig.open());
    QCOMPARE(rig.link.Transact(command.toStdString()), 0);

    const HistoryEntry entry = Exchanges(rig.link.History()).back();
    QCOMPARE(entry.result, result);
    QVERIFY2(tblink::OutcomeText(entry).rfind(outcome.toStdString(), 0) == 0,
             tblink::OutcomeText(entry).c_str());
    // Refused before sending: the frame it would have been is still shown.
    QVERIFY(entry.sent.rfind("[09]A01B", 0) == 0);
}

void TestHistory::failedOpensSayWhy_data() {
    QTest::addColumn<int>("port");
    QTest::addColumn<int>("refusal");  // 0 free, 1 held, 2 refused for permission, 3 gone
    QTest::addColumn<bool>("alreadyOpen");
    QTest::addColumn<platform::PortProblem>("problem");
    QTest::addColumn<QString>("reason");
    QTest::newRow("COM number without a device")
        << 9 << 0 << false << platform::PortProblem::NotMapped << "COM9 names no device.";
    QTest::newRow("held by another program")
        << 1 << 1 << false << platform::PortProblem::HeldByProgram
        << "/dev/ttyTB1 is held by another program (flock).";
    QTest::newRow("permission, as the channel says")
        << 1 << 2 << false << platform::PortProblem::PermissionDenied
        << "Permission denied on /dev/ttyTB1: the user ana is not in the group dialout that "
           "owns it.";
    QTest::newRow("adapter pulled earlier")
        << 1 << 3 << false << platform::PortProblem::NoSuchDevice
        << "/dev/ttyTB1 does not exist: the adapter is unplugged or has another name now.";
    QTest::newRow("already open here") << 1 << 0 << true << platform::PortProblem::HeldHere
                                       << "/dev/ttyTB1 is already open in this program.";
}

void TestHistory::failedOpensSayWhy() {
    QFETCH(int, port);
    QFETCH(int, refusal);
    QFETCH(bool, alreadyOpen);
    QFETCH(platform::PortProblem, problem);
    QFETCH(QString, reason);
    CommandRig rig;
    const std::string path = rig.devicePath(1);
    if (refusal == 1) rig.channel.setHeld(path);
    if (refusal == 2) {
        platform::PortDiagnosis denied;
        denied.problem = platform::PortProblem::PermissionDenied;
        denied.device = path;
        denied.error = EACCES;
        denied.user = "ana";
        denied.group = "dialout";
        rig.channel.setRefusal(path, denied);
    }
    if (refusal == 3) rig.channel.hangUp(path);
    if (alreadyOpen) QVERIFY(rig.open());

    QVERIFY(!rig.link.OpenPort(port, "9600,n,8,1"));
    const HistoryEntry entry = Entries(rig.link.History()).back();
    QCOMPARE(entry.event, HistoryEvent::PortOpenFailed);
    QCOMPARE(entry.port->name, "COM" + std::to_string(port));
    QCOMPARE(entry.port->lineSettings, std::string("9600,n,8,1"));
    QVERIFY(entry.diagnosis);
    QCOMPARE(entry.diagnosis->problem, problem);
    QVERIFY(*entry.diagnosis == rig.link.LastOpenFailure());
    QCOMPARE(QString::fromStdString(platform::ReasonText(*entry.diagnosis)), reason);
    QCOMPARE(tblink::OutcomeText(entry),
             "Port did not open: " + platform::DescribePortProblem(*entry.diagnosis));
    // The port held here stays with its owner.
    QCOMPARE(rig.link.IsOpen(), alreadyOpen);
}

void TestHistory::commandsGroupTheirRowsAndNest() {
    CommandRig rig;
    rig.addReader(tbsim::ReaderKind::PX10, 1);
    FrameHistory& history = rig.link.History();
    QVERIFY(rig.open());
    rig.link.Transact("A01B");  // before any command
    auto outside = history.BeginGroup("Read card");
    QVERIFY(!outside);
    rig.link.Transact("A01F");
    // A Link clicked while the card loop runs: its rows are its own, then the loop's resume.
    auto readCard = history.BeginGroup("Link reader");
    QVERIFY(!rig.link.OpenPort(1, CommandRig::kLineSettings));
    history.EndGroup(readCard);
    rig.link.Transact("A01F");
    history.EndGroup(outside);
    rig.close();

    std::vector<std::string> labels;
    for (const HistoryEntry& entry : Entries(history))
        labels.push_back(entry.group ? entry.group->label : "-");
    QCOMPARE(labels,
             (std::vector<std::string>{"-", "-", "Read card", "Link reader", "Read card", "-"}));
    QCOMPARE(history.At(2).group->id, history.At(4).group->id);
    QVERIFY(history.At(3).group->id != history.At(2).group->id);
}

void TestHistory::boundKeepsTheNewestTenThousand() {
    FrameHistory history;
    CountingObserver observer;
    history.AddObserver(&observer);
    const std::size_t total = FrameHistory::kCapacity + 5;
    for (std::size_t i = 0; i < total; ++i) {
        HistoryEntry entry;
        entry.port = std::make_shared<const tblink::PortInfo>();
        history.Add(std::move(entry));
    }
    QCOMPARE(history.Size(), std::size_t{10000});
    QCOMPARE(history.At(0).sequence, std::uint64_t{6});
    QCOMPARE(history.At(history.Size() - 1).sequence, std::uint64_t{total});
    QCOMPARE(observer.added, int(total));
    QCOMPARE(observer.dropped, 5);

    history.Clear();
    QCOMPARE(history.Size(), std::size_t{0});
    QCOMPARE(observer.cleared, 1);
    HistoryEntry after;
    after.port = std::make_shared<const tblink::PortInfo>();
    history.Add(std::move(after));
    QCOMPARE(history.At(0).sequence, std::uint64_t{total + 1});  // the run's count goes on
    history.RemoveObserver(&observer);
}

void TestHistory::logFileAppendsEveryEntryOnce() {
    QTemporaryDir dir;
    const QString path = dir.filePath("session.tsv");
    CommandRig rig;
    rig.addReader(tbsim::ReaderKind::PX10, 1);
    {
        tblink::FrameLogFile log(path.toStdString());
        QVERIFY(log.isOpen());
        rig.link.History().AddObserver(&log);
        QVERIFY(rig.open());
        rig.link.Transact("A01B");
        rig.link.History().RemoveObserver(&log);
    }
    {
        // A second run appends below, without a second header.
        tblink::FrameLogFile log(path.toStdString());
        rig.link.History().AddObserver(&log);
        rig.close();
        rig.link.History().RemoveObserver(&log);
    }
    const auto lines = Lines(path);
    QCOMPARE(lines.size(), std::size_t{4});
    QCOMPARE(lines[0], tblink::HistoryHeaderLine());
    for (std::size_t i = 1; i < lines.size(); ++i)
        QCOMPARE(lines[i], tblink::HistoryLine(rig.link.History().At(i - 1)));
}

void TestHistory::linesKeepTheirColumns() {
    CommandRig rig;
    rig.addReader(tbsim::ReaderKind::PX10, 1);
    rig.link.History().BeginGroup("Set\ttitle\n#1");
    QVERIFY(rig.open());
    rig.link.Transact("J01L1\xB0\xEC");  // two bytes of a GBK text
    const HistoryEntry entry = Exchanges(rig.link.History()).back();

    const auto header = Split(tblink::HistoryHeaderLine());
    QCOMPARE(header.size(), std::size_t{9});
    const auto plain = Split(tblink::HistoryLine(entry));
    QCOMPARE(plain.size(), header.size());
    QCOMPARE(plain[0], tblink::LocalTimeText(entry.when));
    QCOMPARE(plain[1], std::string("Set title #1"));
    QCOMPARE(plain[2], std::string("COM1"));
    QCOMPARE(plain[3], rig.devicePath(1));
    QCOMPARE(plain[4], std::string(CommandRig::kLineSettings));
    QVERIFY2(plain[5].rfind("[09]J01L1[B0][EC]", 0) == 0, plain[5].c_str());
    QCOMPARE(plain[7], tblink::OutcomeText(entry));
    QCOMPARE(plain[8], std::string());  // no reply, no reply time

    const auto decoded = Split(tblink::HistoryLine(
        entry, [](const std::string& bytes) { return "<" + std::to_string(bytes.size()) + ">"; }));
    QCOMPARE(decoded[5], std::string("<17>"));  // the whole echo went to the decoder

    // "2024-05-01 14:03:22.123"
    const QString time = QString::fromStdString(plain[0]);
    QVERIFY2(QRegularExpression("^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d\\.\\d{3}$")
                 .match(time)
                 .hasMatch(),
             qPrintable(time));
}

QTEST_GUILESS_MAIN(TestHistory)
#include "tst_history.moc"
