// The scripted channel carries the same simulated readers as the pseudo-terminal, on a virtual
// clock: what goes over the wire, when each byte arrives, and how every fault ends, so that unit
// tests of reader commands can trust it.
#include <QtTest>
#include <chrono>

#include "CommandRig.h"
#include "link/Discovery.h"

using tblink::TransactResult;
using namespace std::chrono_literals;
using Nanos = std::chrono::nanoseconds;

Q_DECLARE_METATYPE(TransactResult)

namespace {

// One character at 19200 baud with even parity: start, 8 data, parity and stop bit, in whole
// nanoseconds as the simulated wire counts it.
constexpr Nanos kChar = Nanos(11 * 1000000000LL / 19200);
// The silence limit of Transact ends one millisecond past 300.
constexpr Nanos kSilence = 301ms;
// "A01B" and "A01F" go out as 8 bytes; a reply with the serial number is 16.
constexpr int kFrame = 8;
constexpr int kSerialReply = 16;

// XOR of 09 41 30 31 42 is 0B; the reply's XOR from 0A to '8' is 00.
const std::string kSerialFrame = "\tA01B0B\r";
const std::string kSerialReplyBytes = "\nA01B1234567800\r";

// Durations compared as counts, so that a failed comparison shows them.
qlonglong Ns(Nanos duration) { return duration.count(); }

tbsim::FaultPlan Plan(tbsim::Fault fault, std::chrono::milliseconds delay = 0ms,
                      std::size_t length = 0) {
    tbsim::FaultPlan plan;
    plan.fault = fault;
    plan.delay = delay;
    plan.length = length;
    return plan;
}

void Write(ScriptedChannel& channel, const std::string& bytes) {
    channel.write(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
}

// Everything the channel hands over until it has been silent for `waitMs`.
std::string ReadAll(ScriptedChannel& channel, int waitMs) {
    std::string bytes;
    std::uint8_t byte = 0;
    while (channel.readByte(byte, waitMs) == platform::ReadStatus::Byte)
        bytes += static_cast<char>(byte);
    return bytes;
}

}  // namespace

class TestScripted : public QObject {
    Q_OBJECT
private slots:
    void serialExchangeOnTheWire();
    void readerHearsOnlyItsSpeed_data();
    void readerHearsOnlyItsSpeed();
    void badReplies_data();
    void badReplies();
    void lateReply_data();
    void lateReply();
    void lateReplyIsTakenByTheNextExchange();
    void tricklingReplyTakesItsTime();
    void lineGone_data();
    void lineGone();
    void hangUpEndsTheOpenPort();
    void silentPollingRunsOnVirtualTime();
    void drainWaitsForTheLastByte_data();
    void drainWaitsForTheLastByte();
    void purgeDropsOnlyWhatHasArrived_data();
    void purgeDropsOnlyWhatHasArrived();
    void opening_data();
    void opening();
    void linesAreApart();
    void probeRecordsItsPauses_data();
    void probeRecordsItsPauses();
};

void TestScripted::serialExchangeOnTheWire() {
    CommandRig rig;
    rig.addReader(tbsim::ReaderKind::PX10, 1);
    QVERIFY(rig.open());
    QCOMPARE(rig.link.Transact("A01B"), 1);

    QCOMPARE(rig.channel.sent().size(), std::size_t{1});
    const ScriptedChannel::Sent& sent = rig.channel.sent()[0];
    QCOMPARE(sent.frame, kSerialFrame);
    QCOMPARE(sent.command, std::string("A01B"));
    QCOMPARE(sent.path, std::string("/dev/ttyTB1"));
    QCOMPARE(sent.lineSettings, std::string("19200,e,8,1"));
    QVERIFY(sent.at == 0ms);
    QCOMPARE(rig.link.ReplyText(), kSerialReplyBytes);
    QCOMPARE(rig.line().repliesSent(), std::size_t{1});
    // The frame crosses, the reader answers at once, the reply crosses: nothing else waited.
    QCOMPARE(Ns(rig.clock.Elapsed()), Ns((kFrame + kSerialReply) * kChar));
}

void TestScripted::readerHearsOnlyItsSpeed_data() {
    QTest::addColumn<QString>("reader");
    QTest::addColumn<QString>("port");
    QTest::addColumn<bool>("answered");
    QTest::newRow("same settings") << "19200,e,8,1"
                                   << "19200,e,8,1" << true;
    QTest::newRow("port slower") << "19200,e,8,1"
                                 << "9600,e,8,1" << false;
    QTest::newRow("port faster") << "9600,e,8,1"
                                 << "38400,e,8,1" << false;
    // As on the pseudo-terminal, only the speed is compared.
    QTest::newRow("parity not told apart") << "9600,n,8,1"
                                           << "9600,e,8,1" << true;
    // The device keeps its own 9600 when the rate is none it knows or does not parse.
    QTest::newRow("unknown rate keeps 9600") << "9600,n,8,1"
                                             << "12345,n,8,1" << true;
    QTest::newRow("no rate keeps 9600") << "9600,n,8,1"
                                        << "fast" << true;
    QTest::newRow("unknown rate is not 19200") << "19200,n,8,1"
                                               << "12345,n,8,1" << false;
}

void TestScripted::readerHearsOnlyItsSpeed() {
    QFETCH(QString, reader);
    QFETCH(QString, port);
    QFETCH(bool, answered);
    CommandRig rig;
    rig.addReader(tbsim::ReaderKind::PX10, 1, 1, reader.toStdString());
    QVERIFY(rig.open(1, port.toStdString()));
    QCOMPARE(rig.link.Transact("A01B"), answered ? 1 : 0);
    QCOMPARE(rig.line().receivedCommands(), std::vector<std::string>{"A01B"});
    QCOMPARE(rig.line().repliesSent(), std::size_t(answered ? 1 : 0));
}

void TestScripted::badReplies_data() {
    QTest::addColumn<int>("fault");
    QTest::addColumn<int>("readers");
    QTest::addColumn<TransactResult>("result");
    QTest::newRow("silence") << int(tbsim::Fault::Silence) << 1 << TransactResult::Silence;
    QTest::newRow("stray byte before the LF")
        << int(tbsim::Fault::StrayByte) << 1 << TransactResult::Silence;
    QTest::newRow("wrong checksum")
        << int(tbsim::Fault::WrongChecksum) << 1 << TransactResult::ChecksumError;
    QTest::newRow("garbage") << int(tbsim::Fault::Garbage) << 1 << TransactResult::Silence;
    QTest::newRow("two readers collide") << int(tbsim::Fault::None) << 2 << TransactResult::Silence;
}

void TestScripted::badReplies() {
    QFETCH(int, fault);
    QFETCH(int, readers);
    QFETCH(TransactResult, result);
    CommandRig rig;
    for (int i = 0; i < readers; ++i) rig.addReader(tbsim::ReaderKind::PX10, 1);
    rig.line().setFault(Plan(tbsim::Fault(fault)));
    QVERIFY(rig.open());
    QCOMPARE(rig.link.Transact("A01B"), 0);
    QCOMPARE(rig.link.LastResult(), result);
}

void TestScripted::lateReply_data() {
    QTest::addColumn<int>("limitMs");
    QTest::addColumn<int>("ok");
    QTest::addColumn<qlonglong>("elapsed");
    QTest::newRow("usual limit") << 300 << 0 << Ns(kFrame * kChar + kSilence);
    QTest::newRow("500 ms limit") << 500 << 1 << Ns((kFrame + kSerialReply) * kChar + 400ms);
}

void TestScripted::lateReply() {
    QFETCH(int, limitMs);
    QFETCH(int, ok);
    QFETCH(qlonglong, elapsed);
    CommandRig rig;
    rig.addReader(tbsim::ReaderKind::PX10, 1);
    rig.line().setFault(Plan(tbsim::Fault::LateReply, 400ms));
    QVERIFY(rig.open());
    QCOMPARE(rig.link.TransactTimed("A01B", limitMs), ok);
    QCOMPARE(Ns(rig.clock.Elapsed()), elapsed);
}

// The purge before a frame drops only what has arrived: a reply still on its way is taken for
// the next command's, as on a real line.
void TestScripted::lateReplyIsTakenByTheNextExchange() {
    CommandRig rig;
    rig.addReader(tbsim::ReaderKind::PX10, 1);
    auto plan = Plan(tbsim::Fault::LateReply, 400ms);
    plan.times = 1;
    rig.line().setFault(plan);
    QVERIFY(rig.open());
    QCOMPARE(rig.link.Transact("A01B"), 0);
    QCOMPARE(rig.link.Transact("A01V"), 1);
    QCOMPARE(rig.link.ReplyText(), kSerialReplyBytes);
}

void TestScripted::tricklingReplyTakesItsTime() {
    CommandRig rig;
    rig.addReader(tbsim::ReaderKind::PX10, 1);
    rig.line().setFault(Plan(tbsim::Fault::Trickle, 120ms));
    QVERIFY(rig.open());
    QCOMPARE(rig.link.Transact("A01B"), 1);
    QCOMPARE(rig.link.ReplyText(), kSerialReplyBytes);
    // A pause after every byte but the last: 1.8 s in all, never 300 ms of silence.
    QCOMPARE(Ns(rig.clock.Elapsed()), Ns((kFrame + kSerialReply) * kChar + 15 * 120ms));
}

void TestScripted::lineGone_data() {
    QTest::addColumn<int>("after");
    QTest::addColumn<TransactResult>("result");
    QTest::addColumn<int>("received");
    QTest::addColumn<bool>("reopens");
    QTest::newRow("before the reply") << 0 << TransactResult::LineGone << 0 << false;
    QTest::newRow("half a reply") << 5 << TransactResult::LineGone << 5 << false;
    // The bytes before the cut arrive first: a whole reply is taken, then the line is gone.
    QTest::newRow("after the whole reply") << 16 << TransactResult::Ok << 16 << false;
    // A cut later than the reply's end never comes, as on the pseudo-terminal.
    QTest::newRow("after more than the reply") << 100 << TransactResult::Ok << 16 << true;
}

void TestScripted::lineGone() {
    QFETCH(int, after);
    QFETCH(TransactResult, result);
    QFETCH(int, received);
    QFETCH(bool, reopens);
    CommandRig rig;
    rig.addReader(tbsim::ReaderKind::PX10, 1);
    rig.line().setFault(Plan(tbsim::Fault::LineGone, 0ms, std::size_t(after)));
    QVERIFY(rig.open());
    QCOMPARE(rig.link.TransactTimed("A01B", 60000), result == TransactResult::Ok ? 1 : 0);
    QCOMPARE(rig.link.LastResult(), result);
    QCOMPARE(rig.link.ReplyLength(), received);
    // The cut comes with the last byte before it, not after the 60 s limit.
    QVERIFY(rig.clock.Elapsed() < 1s);
    rig.close();
    QCOMPARE(rig.open(), reopens);
}

void TestScripted::hangUpEndsTheOpenPort() {
    CommandRig rig;
    rig.addReader(tbsim::ReaderKind::PX10, 1);
    QVERIFY(rig.open());
    QCOMPARE(rig.link.Transact("A01B"), 1);
    rig.channel.hangUp(rig.devicePath(1));
    QCOMPARE(rig.link.Transact("A01B"), 0);
    QCOMPARE(rig.link.LastResult(), TransactResult::LineGone);
    QCOMPARE(rig.commands().size(), std::size_t{1});  // the dead line takes no frame
}

// A card loop on a silent reader: 300 rounds of a 50 ms pause and a poll would take nearly two
// minutes on a wire, and take no real time here.
void TestScripted::silentPollingRunsOnVirtualTime() {
    CommandRig rig;
    rig.addReader(tbsim::ReaderKind::PX10, 1);
    rig.line().setFault(Plan(tbsim::Fault::Silence));
    QVERIFY(rig.open());
    rig.pacer.stopAfter(300);
    int unanswered = 0;
    while (!rig.pacer.Stopped()) {
        rig.pacer.PausePlain(50);
        if (rig.link.Transact("A01F") == 0) ++unanswered;
    }
    QCOMPARE(unanswered, 300);
    QCOMPARE(rig.commands(), std::vector<std::string>(300, "A01F"));
    QCOMPARE(rig.pacer.pauses(),
             std::vector<RecordingPacer::Call>(300, RecordingPacer::Call::plain(50)));
    QCOMPARE(Ns(rig.clock.Elapsed()), Ns(300 * (50ms + kFrame * kChar + kSilence)));
}

void TestScripted::drainWaitsForTheLastByte_data() {
    QTest::addColumn<QString>("settings");
    QTest::addColumn<int>("bytes");
    QTest::addColumn<qlonglong>("expected");  // nanoseconds, from the bits of one character
    QTest::newRow("271 bytes at 9600,e,8,1")
        << "9600,e,8,1" << 271 << qlonglong(271LL * 11 * 1000000000 / 9600);  // about 310 ms
    QTest::newRow("271 bytes at 9600,n,8,1")
        << "9600,n,8,1" << 271 << qlonglong(271LL * 10 * 1000000000 / 9600);
    QTest::newRow("two stop bits count")
        << "9600,n,8,2" << 271 << qlonglong(271LL * 11 * 1000000000 / 9600);
    QTest::newRow("7 data bits, odd")
        << "4800,o,7,1" << 10 << qlonglong(10LL * 10 * 1000000000 / 4800);
}

void TestScripted::drainWaitsForTheLastByte() {
    QFETCH(QString, settings);
    QFETCH(int, bytes);
    QFETCH(qlonglong, expected);
    CommandRig rig;
    QVERIFY(rig.open(1, settings.toStdString()));
    Write(rig.channel, std::string(std::size_t(bytes), 'x'));
    QCOMPARE(Ns(rig.clock.Elapsed()), 0LL);  // the port queues what it is given
    rig.channel.drain();
    // Whole nanoseconds a character: the sum may fall short by as many nanoseconds as bytes.
    const qlonglong drained = Ns(rig.clock.Elapsed());
    QVERIFY2(expected - drained >= 0 && expected - drained < bytes,
             qPrintable(QString::number(drained)));
    rig.channel.drain();
    QCOMPARE(Ns(rig.clock.Elapsed()), drained);
}

void TestScripted::purgeDropsOnlyWhatHasArrived_data() {
    QTest::addColumn<int>("arrived");
    QTest::newRow("nothing yet") << 0;
    QTest::newRow("half the reply") << 8;
    QTest::newRow("the whole reply") << 16;
}

void TestScripted::purgeDropsOnlyWhatHasArrived() {
    QFETCH(int, arrived);
    CommandRig rig;
    rig.addReader(tbsim::ReaderKind::PX10, 1);
    QVERIFY(rig.open());
    Write(rig.channel, kSerialFrame);
    rig.channel.drain();
    rig.clock.Advance(arrived * kChar);
    rig.channel.purge();
    QCOMPARE(ReadAll(rig.channel, 50), kSerialReplyBytes.substr(std::size_t(arrived)));
}

void TestScripted::opening_data() {
    QTest::addColumn<int>("port");
    QTest::addColumn<bool>("held");
    QTest::addColumn<bool>("opens");
    QTest::newRow("free") << 1 << false << true;
    QTest::newRow("held by another program") << 1 << true << false;
    QTest::newRow("no such port") << 3 << false << false;
}

void TestScripted::opening() {
    QFETCH(int, port);
    QFETCH(bool, held);
    QFETCH(bool, opens);
    CommandRig rig;
    rig.channel.setHeld(rig.devicePath(1), held);
    QCOMPARE(rig.open(port), opens);
    QCOMPARE(rig.link.IsOpen(), opens);
    rig.close();
    QCOMPARE(rig.channel.openAttempts(), port == 1 ? 1 : 0);  // an unmapped port is not tried
    QCOMPARE(rig.channel.opens(), opens ? 1 : 0);
    QCOMPARE(rig.channel.closes(), opens ? 1 : 0);
}

void TestScripted::linesAreApart() {
    CommandRig rig;
    QCOMPARE(rig.addLine(), 2);
    rig.addReader(tbsim::ReaderKind::PX40, 7, 2);
    QVERIFY(rig.open(1));
    QCOMPARE(rig.link.Transact("H07B"), 0);
    rig.close();
    QVERIFY(rig.open(2));
    QCOMPARE(rig.link.Transact("H07B"), 1);
    QCOMPARE(rig.link.ReplyField(3, 2), std::string("07"));
    QCOMPARE(rig.line(1).receivedCommands(), std::vector<std::string>{"H07B"});
    QCOMPARE(rig.line(2).receivedCommands(), std::vector<std::string>{"H07B"});
    QCOMPARE(rig.channel.sent()[1].path, std::string("/dev/ttyTB2"));
    QCOMPARE(rig.takeCommands(), (std::vector<std::string>{"H07B", "H07B"}));
    QVERIFY(rig.takeCommands().empty());
}

// Discovery's probe of one port: three kept-alive pauses at most, the port closed after.
void TestScripted::probeRecordsItsPauses_data() {
    QTest::addColumn<bool>("reader");
    QTest::addColumn<QString>("pauses");
    QTest::addColumn<int>("probes");
    QTest::newRow("reader answers") << true << "K100" << 1;
    QTest::newRow("nobody there") << false << "K100 K100 K100" << 3;
}

void TestScripted::probeRecordsItsPauses() {
    QFETCH(bool, reader);
    QFETCH(QString, pauses);
    QFETCH(int, probes);
    CommandRig rig;
    if (reader) rig.addReader(tbsim::ReaderKind::PX40, 4);
    const auto found = tblink::ProbePort(rig.link, rig.pacer, 1, 5, CommandRig::kLineSettings,
                                         tblink::ScanProbe('H'), {});
    QCOMPARE(found.has_value(), reader);
    QCOMPARE(QString::fromStdString(rig.pacer.pausesText()), pauses);
    QCOMPARE(rig.commands(), std::vector<std::string>(std::size_t(probes), "H00B"));
    QCOMPARE(rig.pacer.pumps(), 1);
    QVERIFY(!rig.link.IsOpen());
    QCOMPARE(rig.channel.closes(), 1);
}

QTEST_GUILESS_MAIN(TestScripted)
#include "tst_scripted.moc"
