// The simulated fingerprint reader: which commands it takes, what it keeps in its slots, the
// template transfer between "L0" and "L1", the silence while it restarts after "R6", and the
// former ID it still answers to. Reply checksums were worked out by hand (with a separate
// Python line), not printed by the simulator.
#include <QtTest>

#include "SimAnswers.h"
#include "SimFingerprint.h"
#include "SimProgram.h"
#include "SimReader.h"

using namespace tbsim;
using namespace std::chrono_literals;

Q_DECLARE_METATYPE(tbsim::ReaderKind)

namespace {

using Time = std::chrono::steady_clock::time_point;
const Time kStart = Time{} + 1h;

}  // namespace

class TestSimFingerprint : public QObject {
    Q_OBJECT
private slots:
    void answers_data();
    void answers();
    void templateTransfer();
    void silentWhileRestarting_data();
    void silentWhileRestarting();
    void answersItsFormerId();
    void restartOption_data();
    void restartOption();
};

// `command` gets `reply`, or silence when `reply` is empty.
void TestSimFingerprint::answers_data() {
    QTest::addColumn<ReaderKind>("kind");
    QTest::addColumn<QByteArray>("command");
    QTest::addColumn<QByteArray>("reply");
    const auto px60 = ReaderKind::PX60;
    const QByteArray none;
    const QByteArray emptyK("\nI01K09\r");

    QTest::newRow("facility 7") << px60 << QByteArray("I01K00007") << emptyK;
    QTest::newRow("facility 65536") << px60 << QByteArray("I01K65536") << none;
    QTest::newRow("key") << px60 << QByteArray("I01K5C17A3E8429B06D1") << emptyK;
    QTest::newRow("enrol 9500, PX60-M")
        << ReaderKind::PX60M << QByteArray("I01M009500") << QByteArray("\nI01M0F\r");
    QTest::newRow("enrol 9501") << px60 << QByteArray("I01M009501") << none;
    QTest::newRow("ID of an empty slot")
        << px60 << QByteArray("I01O000005") << "\nI01O" + QByteArray(17, '0') + "3D\r";
    QTest::newRow("set ID") << px60 << QByteArray("I01O00000507766554433221100")
                            << QByteArray("\nI01O0D\r");
    QTest::newRow("set ID of ten characters")
        << px60 << QByteArray("I01O0000050E5D4C3B2A1") << none;
    QTest::newRow("scan mode 3") << px60 << QByteArray("I01r3") << QByteArray("\nI01r30\r");
    QTest::newRow("scan mode 4") << px60 << QByteArray("I01r4") << none;
    QTest::newRow("part without L0") << px60 << QByteArray("I01P0000011") << none;
    QTest::newRow("stand-alone mode") << px60 << QByteArray("I01R01") << QByteArray("\nI01R10\r");
    QTest::newRow("door 12 s") << px60 << QByteArray("I01R112") << QByteArray("\nI01R10\r");
    QTest::newRow("door time empty") << px60 << QByteArray("I01R1") << none;
    QTest::newRow("S0") << px60 << QByteArray("I01S0") << QByteArray("\nI01S11\r");
    QTest::newRow("no stand-alone on a keypad reader")
        << ReaderKind::PX40 << QByteArray("H01R01") << none;
    QTest::newRow("no template part on a display reader")
        << ReaderKind::PX50 << QByteArray("J01P0000011") << none;
}

void TestSimFingerprint::answers() {
    QFETCH(ReaderKind, kind);
    QFETCH(QByteArray, command);
    QFETCH(QByteArray, reply);
    SimReader reader(Reader(kind, 1));
    QCOMPARE(Answer(reader, command), reply);
}

void TestSimFingerprint::templateTransfer() {
    SimReader reader(Reader(ReaderKind::PX60, 1));
    QVERIFY(!Answer(reader, "I01M000001").isEmpty());
    QCOMPARE(Answer(reader, "I01L0"), QByteArray("\nI01L0E\r"));
    QCOMPARE(Answer(reader, "I01P0000010"), QByteArray("\nI01P123\r"));  // "1": enrolled
    const QByteArray part2 = Answer(reader, "I01P0000012");
    QCOMPARE(part2.size(), 264);
    QCOMPARE(part2.mid(5, 256), QByteArray::fromStdString(EnrolledTemplate(1)[1]));
    QVERIFY(EnrolledTemplate(1) != EnrolledTemplate(2));

    // A part is kept as it was written, short or not.
    QVERIFY(!Answer(reader, "I01P0000012ABC").isEmpty());
    QCOMPARE(Answer(reader, "I01P0000012").mid(5, 3), QByteArray("ABC"));
    QCOMPARE(Answer(reader, "I01P0000012").size(), 11);
    QVERIFY(Answer(reader, "I01P0000014ABC").isEmpty());
    QVERIFY(Answer(reader, "I01P0000011" + QByteArray(257, 'A')).isEmpty());
    QVERIFY(Answer(reader, "I01P0000010ABC").isEmpty());

    QVERIFY(!Answer(reader, "I01L1").isEmpty());
    QVERIFY(Answer(reader, "I01P0000012").isEmpty());
}

void TestSimFingerprint::silentWhileRestarting_data() {
    QTest::addColumn<int>("restartMs");
    QTest::addColumn<int>("askedAfterMs");
    QTest::addColumn<bool>("answered");
    QTest::newRow("at once") << 3000 << 0 << false;
    QTest::newRow("just before the end") << 3000 << 2999 << false;
    QTest::newRow("once it is over") << 3000 << 3000 << true;
    QTest::newRow("no restart time") << 0 << 0 << true;
}

void TestSimFingerprint::silentWhileRestarting() {
    QFETCH(int, restartMs);
    QFETCH(int, askedAfterMs);
    QFETCH(bool, answered);
    ReaderConfig config = Reader(ReaderKind::PX60, 1);
    config.fingerprint.restartTime = std::chrono::milliseconds(restartMs);
    SimReader reader(config);
    QVERIFY(!Answer(reader, "I01L0", kStart).isEmpty());
    // The reader answers "R6" itself and only then goes quiet.
    QCOMPARE(Answer(reader, "I01R6", kStart), QByteArray("\nI01R10\r"));
    const Time asked = kStart + std::chrono::milliseconds(askedAfterMs);
    QCOMPARE(!Answer(reader, "I01B", asked).isEmpty(), answered);
    QCOMPARE(reader.config().fingerprint.restarts, 1);
    // A restart ends a transfer.
    QVERIFY(Answer(reader, "I01P0000011", kStart + 1h).isEmpty());
}

void TestSimFingerprint::answersItsFormerId() {
    SimReader fingerprint(Reader(ReaderKind::PX60, 5));
    QCOMPARE(Answer(fingerprint, "I05C1234567801"), QByteArray("\nI05C05\r"));
    QCOMPARE(fingerprint.config().id, 1);
    QCOMPARE(Answer(fingerprint, "I01B"), QByteArray("\nI01B1234567808\r"));
    QCOMPARE(Answer(fingerprint, "I05B"), QByteArray("\nI01B1234567808\r"));
    QVERIFY(Answer(fingerprint, "I07B").isEmpty());

    SimReader proximity(Reader(ReaderKind::PX10, 5));
    QVERIFY(!Answer(proximity, "A05C1234567801").isEmpty());
    QVERIFY(Answer(proximity, "A05B").isEmpty());
}

void TestSimFingerprint::restartOption_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("restartMs");  // -1: the options are refused
    QTest::newRow("default") << QStringList{"--reader", "PX60"} << 3000;
    QTest::newRow("ten seconds") << QStringList{"--reader", "PX60M", "--restart", "10000"} << 10000;
    QTest::newRow("never silent") << QStringList{"--reader", "PX60", "--restart=0"} << 0;
    QTest::newRow("not a fingerprint reader")
        << QStringList{"--reader", "PX10", "--restart", "10"} << -1;
    QTest::newRow("not a number") << QStringList{"--reader", "PX60", "--restart", "3s"} << -1;
}

void TestSimFingerprint::restartOption() {
    QFETCH(QStringList, args);
    QFETCH(int, restartMs);
    std::vector<std::string> list;
    for (const QString& arg : args) list.push_back(arg.toStdString());
    const ParsedOptions parsed = ParseProgramOptions(list);
    QCOMPARE(parsed.options.has_value(), restartMs >= 0);
    if (restartMs < 0) {
        QVERIFY(!parsed.error.empty());
        return;
    }
    QCOMPARE(parsed.options->lines[0].readers[0].fingerprint.restartTime.count(),
             static_cast<long long>(restartMs));
}

QTEST_MAIN(TestSimFingerprint)
#include "tst_sim_fingerprint.moc"
