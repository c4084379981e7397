// Command tests, reboot and the factory default of every reader type on the simulated readers:
// the frames, the waits between them, and which failures end an attempt.
#include <QtTest>

#include "CommandRig.h"
#include "commands/config/SystemUtility.h"
#include "link/Frame.h"

using namespace commands;
using tbsim::ReaderKind;

namespace {

QString Joined(const std::vector<std::string>& commands) {
    QStringList list;
    for (const auto& command : commands) list << QString::fromStdString(command);
    return list.join(' ');
}

QString Pauses(const CommandRig& rig) { return QString::fromStdString(rig.pacer.pausesText()); }

}  // namespace

class TestSystemUtility : public QObject {
    Q_OBJECT
private slots:
    void commandTests_data();
    void commandTests();
    void overlongTextIsRefusedUnsent();
    void replyDataField();
    void rebootIsOneExchange();
    void factoryDefaultOfEveryType_data();
    void factoryDefaultOfEveryType();
    void optionalCommandsMayFail_data();
    void optionalCommandsMayFail();
    void secondAttemptGoesToTheNewId();
    void failedReaderCheckLeavesTheId();
};

void TestSystemUtility::commandTests_data() {
    QTest::addColumn<bool>("addressed");
    QTest::addColumn<QString>("prefix");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("sent");
    QTest::addColumn<QString>("pauses");
    QTest::newRow("first test: prefix and text") << false << "A07"
                                                 << "V"
                                                 << "A07V"
                                                 << "K100";
    QTest::newRow("second test: start character and text") << true << "H"
                                                           << "00H1"
                                                           << "H00H1"
                                                           << "P50";
}

void TestSystemUtility::commandTests() {
    QFETCH(bool, addressed);
    QFETCH(QString, prefix);
    QFETCH(QString, typed);
    QFETCH(QString, sent);
    QFETCH(QString, pauses);
    CommandRig rig;
    rig.addReader(addressed ? ReaderKind::PX40 : ReaderKind::PX10, 7);
    QVERIFY(rig.open());
    const Session session{rig.link, rig.pacer, prefix.toStdString()};
    const bool ok = addressed ? CommandTestAddressed(session, typed.toStdString())
                              : CommandTest(session, typed.toStdString());
    QVERIFY(ok);
    QCOMPARE(Joined(rig.takeCommands()), sent);
    QCOMPARE(Pauses(rig), pauses);
}

void TestSystemUtility::overlongTextIsRefusedUnsent() {
    CommandRig rig;
    rig.addReader(ReaderKind::PX10, 1);
    QVERIFY(rig.open());
    const Session session{rig.link, rig.pacer, "A01"};
    const std::string fits(tblink::kMaxCommandLength - 3, 'X');
    QVERIFY(!CommandTest(session, fits + "X"));
    QVERIFY(!CommandTestAddressed({rig.link, rig.pacer, "A"}, fits + "XXX"));
    QVERIFY(rig.takeCommands().empty());
    QVERIFY(rig.pacer.calls().empty());
    CommandTest(session, fits);  // the longest text that fits goes out
    QCOMPARE(rig.takeCommands().size(), std::size_t{1});
}

void TestSystemUtility::replyDataField() {
    CommandRig rig;
    rig.addReader(ReaderKind::PX10, 1);
    QVERIFY(rig.open());
    const Session session{rig.link, rig.pacer, "A01"};
    QVERIFY(CommandTest(session, "B"));
    QCOMPARE(ReplyDataField(session), std::string(CommandRig::kSerial));
    QVERIFY(CommandTest(session, "W100"));
    QCOMPARE(ReplyDataField(session), std::string());
}

void TestSystemUtility::rebootIsOneExchange() {
    CommandRig rig;
    tbsim::ReaderConfig config;
    config.silentCommands.insert("HR");
    rig.addReader(config);
    QVERIFY(rig.open());
    QVERIFY(!Reboot({rig.link, rig.pacer, "A01"}));
    QCOMPARE(Joined(rig.takeCommands()), QString("A01HR"));
    QCOMPARE(Pauses(rig), QString("P50"));
}

void TestSystemUtility::factoryDefaultOfEveryType_data() {
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("sent");
    QTest::addColumn<QString>("pauses");
    // K100: the attempt's pause; P50 before "C"; K200 after it; K200 between spaced commands.
    QTest::newRow("PX10") << IndexOf(ReaderType::PX10)
                          << "A05B A05C1234567801 A01A001 A01A0 A01AA0 A01E5"
                          << "K100 P50 K200 K200 K200 K200";
    QTest::newRow("PX40") << IndexOf(ReaderType::PX40)
                          << "H05B H05C1234567801 H01A001 H01L04 H01M0 H01A0 H01E5"
                          << "K100 P50 K200 K200 K200 K200 K200";
    QTest::newRow("PX10-M") << IndexOf(ReaderType::PX30M)
                            << "A05B A05C1234567801 A01A001 A01a0000000001 A01E5"
                            << "K100 P50 K200 K200 K200";
    QTest::newRow("PX40-M") << IndexOf(ReaderType::PX40M)
                            << "H05B H05C1234567801 H01A001 H01L04 H01M0 H01N0003 "
                               "H01a0000000001 H01E5"
                            << "K100 P50 K200 K200 K200 K200 K200 K200";
    QTest::newRow("PX50") << IndexOf(ReaderType::PX50) << "J05B J05C1234567801 J01Zi"
                          << "K100 P50 K200";
    QTest::newRow("PX50-M") << IndexOf(ReaderType::PX50M) << "J05B J05C1234567801 J01Zi"
                            << "K100 P50 K200";
    // The reader answers the first poll after "R6": "Zi" follows at once.
    QTest::newRow("PX60") << IndexOf(ReaderType::PX60) << "I05B I05C1234567801 I01R6 I01B I01Zi"
                          << "K100 P50 K200 K200";
    QTest::newRow("PX60-M") << IndexOf(ReaderType::PX60M) << "I05B I05C1234567801 I01R6 I01B I01Zi"
                            << "K100 P50 K200 K200";
}

void TestSystemUtility::factoryDefaultOfEveryType() {
    QFETCH(int, type);
    QFETCH(QString, sent);
    QFETCH(QString, pauses);
    const ReaderTypeInfo& info = Info(*ReaderTypeAt(type));
    CommandRig rig;
    tbsim::ReaderConfig config;
    config.kind = static_cast<ReaderKind>(type);
    config.id = 5;
    config.serial = CommandRig::kSerial;
    config.lineSettings = "19200,e,8,1";
    config.fingerprint.restartTime = std::chrono::milliseconds(0);  // back at the first poll
    // Nothing as delivered, so the delivery values below are what the sequence left.
    config.interfaceIndex = config.keyParity = config.idKeyType = 1;
    config.wiegandIndex = config.rs485Index = config.cardTypeIndex = 2;
    config.keyNumber = config.keyStatusNumber = config.keyDelaySeconds = config.idSector = 9;
    config.idBlock = config.idByte = config.idKeyErrSignal = 3;
    auto* reader = rig.addReader(config);
    QVERIFY(rig.open());
    QStringList events;
    FactoryDefaultHooks hooks;
    hooks.readdressed = [&](const std::string& id) {
        events << "readdressed " + QString::fromStdString(id);
    };
    hooks.sequenceStarting = [&] { events << "sequence"; };
    const Session session{rig.link, rig.pacer, std::string(1, info.startCharacter) + "05"};
    QVERIFY(FactoryDefault(session, info.factoryDefault, hooks));
    QCOMPARE(Joined(rig.takeCommands()), sent);
    QCOMPARE(Pauses(rig), pauses);
    QCOMPARE(events.join(", "), QString("readdressed 01, sequence"));
    const DeliveryValues& d = info.factoryDefault.delivery;
    const tbsim::ReaderConfig& now = reader->config();
    QCOMPARE(now.id, d.id);
    QCOMPARE(now.lineSettings, std::string(tblink::kLineSettingsTexts[d.lineSettingsIndex]));
    QCOMPARE(QList<int>({now.interfaceIndex, now.wiegandIndex, now.rs485Index}),
             QList<int>({d.interface.mode, d.interface.wiegand, d.interface.rs485}));
    // The card type is the EM page's: the MIFARE types only put the window's list back.
    if (d.cardType && info.Shows(FunctionPage::EM)) QCOMPARE(now.cardTypeIndex, *d.cardType);
    if (d.keyNumber)
        QCOMPARE(QList<int>({now.keyNumber, now.keyParity}),
                 QList<int>({*d.keyNumber, *d.keyParity}));
    if (const auto& s = d.keyStatus)
        QCOMPARE(QList<int>({now.keyStatusNumber, now.keyDelaySeconds}),
                 QList<int>({s->keyNumber, s->delaySeconds}));
    if (const auto& l = d.cardIdLocation)
        QCOMPARE(
            QList<int>({now.idSector, now.idBlock, now.idByte, now.idKeyType, now.idKeyErrSignal}),
            QList<int>({l->sector, l->block, l->byte, l->keyB ? 1 : 0, l->keyError}));
}

void TestSystemUtility::optionalCommandsMayFail_data() {
    QTest::addColumn<QStringList>("silent");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<int>("commands");
    QTest::newRow("M0, N0003 and the card-ID location unanswered")
        << QStringList{"M0", "N0003", "a0000000001"} << true << 8;
    QTest::newRow("E5 never answered: two attempts") << QStringList{"E5"} << false << 16;
    QTest::newRow("L04 unanswered ends each attempt") << QStringList{"L04"} << false << 8;
}

void TestSystemUtility::optionalCommandsMayFail() {
    QFETCH(QStringList, silent);
    QFETCH(bool, ok);
    QFETCH(int, commands);
    CommandRig rig;
    tbsim::ReaderConfig config;
    config.kind = ReaderKind::PX40M;
    config.serial = CommandRig::kSerial;
    for (const QString& command : silent) config.silentCommands.insert(command.toStdString());
    rig.addReader(config);
    QVERIFY(rig.open());
    QCOMPARE(
        FactoryDefault({rig.link, rig.pacer, "H01"}, Info(ReaderType::PX40M).factoryDefault, {}),
        ok);
    QCOMPARE(static_cast<int>(rig.takeCommands().size()), commands);
}

// Once the reader took ID 01, a second attempt addresses it there.
void TestSystemUtility::secondAttemptGoesToTheNewId() {
    CommandRig rig;
    tbsim::ReaderConfig config;
    config.kind = ReaderKind::PX50;
    config.id = 9;
    config.serial = CommandRig::kSerial;
    config.silentCommands.insert("Zi");
    rig.addReader(config);
    QVERIFY(rig.open());
    QVERIFY(
        !FactoryDefault({rig.link, rig.pacer, "J09"}, Info(ReaderType::PX50).factoryDefault, {}));
    QCOMPARE(Joined(rig.takeCommands()),
             QString("J09B J09C1234567801 J01Zi J01B J01C1234567801 J01Zi"));
}

void TestSystemUtility::failedReaderCheckLeavesTheId() {
    CommandRig rig;
    tbsim::ReaderConfig config;
    config.id = 3;
    config.silentCommands.insert("B");
    auto* reader = rig.addReader(config);
    QVERIFY(rig.open());
    bool readdressed = false;
    FactoryDefaultHooks hooks;
    hooks.readdressed = [&](const std::string&) { readdressed = true; };
    QVERIFY(!FactoryDefault({rig.link, rig.pacer, "A03"}, Info(ReaderType::PX10).factoryDefault,
                            hooks));
    QCOMPARE(Joined(rig.takeCommands()), QString("A03B A03B"));
    QVERIFY(!readdressed);
    QCOMPARE(reader->config().id, 3);
}

QTEST_APPLESS_MAIN(TestSystemUtility)
#include "tst_system_utility.moc"
