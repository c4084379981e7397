// Decoding the read-out replies and the digits commands travel in.
#include <QtTest>

#include "CommandRig.h"
#include "commands/ReaderTypes.h"
#include "commands/config/Identity.h"
#include "commands/config/ReadOut.h"
#include "link/ReplyFields.h"

using namespace commands;
using tblink::DecimalField;
using tblink::HexField;

namespace {
// A reply frame around a data field; the checksum characters are not looked at here.
std::string Reply(const std::string& data) { return "\nA01A" + data + "00\r"; }

QString Shown(const std::optional<int>& value) {
    return value ? QString::number(*value) : QString("-");
}

// Key B as 1, key A as 0.
QString Shown(const std::optional<bool>& value) {
    return value ? QString(*value ? "1" : "0") : QString("-");
}
}  // namespace

class TestReadOut : public QObject {
    Q_OBJECT
private slots:
    void outputReply_data();
    void outputReply();
    void versionText();
    void cardIdLocation_data();
    void cardIdLocation();
    void keypadFields();
    void lineSettingsDigits();
    void numberFields_data();
    void numberFields();
    void readOutOfEveryType_data();
    void readOutOfEveryType();
    void readOutStopsAtABadField_data();
    void readOutStopsAtABadField();
    void versionNeverAnswered();
    void readOutAfterFind_data();
    void readOutAfterFind();
};

void TestReadOut::outputReply_data() {
    QTest::addColumn<QString>("data");
    QTest::addColumn<int>("type");  // the reader type whose page reads it
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QString>("decoded");  // mode wiegand rs485 cardType, "-" where not read
    const int px10 = IndexOf(ReaderType::PX10);
    const int px40 = IndexOf(ReaderType::PX40);
    const int px30m = IndexOf(ReaderType::PX30M);
    QTest::newRow("11 bytes: card type EM") << "123" << px40 << true << "1 2 3 0";
    QTest::newRow("12 bytes: card type read") << "0122" << px40 << true << "0 1 2 2";
    QTest::newRow("PX10: RS485 not a digit") << "01Z" << px10 << true << "0 1 1 0";
    QTest::newRow("PX10: nothing a digit") << "???" << px10 << true << "0 0 1 0";
    QTest::newRow("PX10: digits outside their lists") << "239" << px10 << true << "0 0 1 0";
    QTest::newRow("elsewhere: RS485 not a digit keeps the first two")
        << "01Z" << px40 << false << "0 1 - -";
    QTest::newRow("interface outside its list") << "201" << px40 << false << "- - - -";
    QTest::newRow("Wiegand outside its list keeps the interface")
        << "131" << px40 << false << "1 - - -";
    QTest::newRow("card type outside its list") << "0013" << px40 << false << "0 0 1 -";
    QTest::newRow("card type not a digit") << "001x" << px40 << false << "0 0 1 -";
    QTest::newRow("MIFARE page: character 9 not read") << "011x" << px30m << true << "0 1 1 -";
    QTest::newRow("MIFARE page: 11 bytes, no card type") << "011" << px30m << true << "0 1 1 -";
}

void TestReadOut::outputReply() {
    QFETCH(QString, data);
    QFETCH(int, type);
    QFETCH(bool, ok);
    QFETCH(QString, decoded);
    const std::string reply = Reply(data.toStdString());
    ReadOutValues values;
    const ReadOutPlan& plan = Info(*ReaderTypeAt(type)).readOut;
    QCOMPARE(DecodeOutputReply(reply, static_cast<int>(reply.size()), plan, values), ok);
    QCOMPARE(QStringList({Shown(values.mode), Shown(values.wiegand), Shown(values.rs485),
                          Shown(values.cardType)})
                 .join(' '),
             decoded);
}

void TestReadOut::versionText() {
    const std::string longReply = "\nA01V0123456789ABCDEF00\r";
    QCOMPARE(VersionText(longReply, 24), std::string("0123456789ABCDEF"));
    const std::string shortReply = "\nA01V0123456700\r";
    QCOMPARE(VersionText(shortReply, 16), std::string("01234567"));
    QCOMPARE(VersionText(longReply, 23), std::string("01234567"));
}

void TestReadOut::cardIdLocation_data() {
    QTest::addColumn<QString>("data");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QString>("decoded");  // sector block byte keyB error, "-" where not read
    QTest::newRow("key A, LED") << "000F020A0001" << true << "15 2 10 0 1";
    QTest::newRow("any other key type is B") << "0027030F0503" << true << "39 3 15 1 3";
    QTest::newRow("lower-case hex stops at the sector") << "000f020A0001" << false << "- - - - -";
    QTest::newRow("bad byte keeps sector and block") << "000F02ZZ0001" << false << "15 2 - - -";
    QTest::newRow("key-error signal outside list") << "000102030004" << false << "1 2 3 0 -";
}

void TestReadOut::cardIdLocation() {
    QFETCH(QString, data);
    QFETCH(bool, ok);
    QFETCH(QString, decoded);
    ReadOutValues values;
    QCOMPARE(DecodeCardIdLocation(Reply(data.toStdString()), values), ok);
    QCOMPARE(QStringList({Shown(values.idSector), Shown(values.idBlock), Shown(values.idByte),
                          Shown(values.idKeyB), Shown(values.idKeyError)})
                 .join(' '),
             decoded);
}

void TestReadOut::keypadFields() {
    QCOMPARE(DecodeKeyNumber(Reply("20")).value_or(-1), 20);
    QVERIFY(!DecodeKeyNumber(Reply("2X")));
    QCOMPARE(DecodeKeyParity(Reply("1")).value_or(-1), 1);
    QVERIFY(!DecodeKeyParity(Reply("2")));
    const auto status = DecodeKeyStatus(Reply("0305"));
    QVERIFY(status);
    QCOMPARE(status->keyNumber, 3);
    QCOMPARE(status->delaySeconds, 5);
    QVERIFY(!DecodeKeyStatus(Reply("03 5")));
}

void TestReadOut::lineSettingsDigits() {
    const std::string digits = "0123456789ABCD";
    for (int index = 0; index < 14; ++index) QCOMPARE(LineSettingsDigit(index), digits[index]);
}

void TestReadOut::numberFields_data() {
    QTest::addColumn<QString>("field");
    QTest::addColumn<int>("decimal");  // -1: not a number
    QTest::addColumn<int>("hex");
    QTest::newRow("digits") << "42" << 42 << 0x42;
    QTest::newRow("hex letters") << "1F" << -1 << 0x1F;
    QTest::newRow("sign") << "-1" << -1 << -1;
    QTest::newRow("blank") << " 7" << -1 << -1;
    QTest::newRow("short reply") << "4" << -1 << -1;
}

void TestReadOut::numberFields() {
    QFETCH(QString, field);
    QFETCH(int, decimal);
    QFETCH(int, hex);
    // The field sits at the end of the reply text so that a short one really is cut off.
    const std::string reply = "\nA01A" + field.toStdString();
    QCOMPARE(DecimalField(reply, 6, 2).value_or(-1), decimal);
    QCOMPARE(HexField(reply, 6, 2).value_or(-1), hex);
    QCOMPARE(TwoDigits(4), std::string("04"));
}

void TestReadOut::readOutOfEveryType_data() {
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("sent");
    QTest::addColumn<QString>("pauses");
    QTest::addColumn<QString>("values");  // mode wiegand rs485 cardType keyNo parity status delay
                                          // sector block byte keyB error
    QTest::newRow("PX10") << IndexOf(ReaderType::PX10) << "A01V A01A"
                          << "K100 P50"
                          << "1 2 3 2 - - - - - - - - -";
    QTest::newRow("PX40") << IndexOf(ReaderType::PX40) << "H01V H01A H01L H01M"
                          << "K100 P50 P50 P50"
                          << "1 2 3 2 12 0 - - - - - - -";
    QTest::newRow("PX10-M") << IndexOf(ReaderType::PX30M) << "A01V A01A A01a"
                            << "K100 P50 P50"
                            << "1 2 3 - - - - - 9 2 10 1 3";
    QTest::newRow("PX40-M") << IndexOf(ReaderType::PX40M) << "H01V H01A H01L H01M H01N H01a"
                            << "K100 P50 P50 P50 P50 P50"
                            << "1 2 3 - 12 0 6 15 9 2 10 1 3";
    QTest::newRow("PX50") << IndexOf(ReaderType::PX50) << "J01V J01A"
                          << "K100 P50"
                          << "1 2 3 2 - - - - - - - - -";
    QTest::newRow("PX50-M") << IndexOf(ReaderType::PX50M) << "J01V J01A"
                            << "K100 P50"
                            << "1 2 3 - - - - - - - - - -";
    QTest::newRow("PX60") << IndexOf(ReaderType::PX60) << "I01V I01A"
                          << "K100 P50"
                          << "1 2 3 2 - - - - - - - - -";
    QTest::newRow("PX60-M") << IndexOf(ReaderType::PX60M) << "I01V I01A"
                            << "K100 P50"
                            << "1 2 3 - - - - - - - - - -";
}

namespace {

tbsim::ReaderConfig Configured(ReaderType type) {
    tbsim::ReaderConfig config;
    config.kind = static_cast<tbsim::ReaderKind>(IndexOf(type));
    config.version = tbsim::DefaultVersion(config.kind);
    config.interfaceIndex = 1;
    config.wiegandIndex = 2;
    config.rs485Index = 3;
    config.cardTypeIndex = 2;
    config.settingsReply = tbsim::SettingsReplyForm::WithCardType;
    config.keyNumber = 12;
    config.keyParity = 0;
    config.keyStatusNumber = 6;
    config.keyDelaySeconds = 15;
    config.idSector = 9;
    config.idBlock = 2;
    config.idByte = 10;
    config.idKeyType = 1;
    config.idKeyErrSignal = 3;
    return config;
}

QString ValuesText(const ReadOutValues& v) {
    return QStringList({Shown(v.mode), Shown(v.wiegand), Shown(v.rs485), Shown(v.cardType),
                        Shown(v.keyNumber), Shown(v.keyParity), Shown(v.keyStatusNumber),
                        Shown(v.keyDelaySeconds), Shown(v.idSector), Shown(v.idBlock),
                        Shown(v.idByte), Shown(v.idKeyB), Shown(v.idKeyError)})
        .join(' ');
}

QString Joined(const std::vector<std::string>& commands) {
    QStringList list;
    for (const auto& command : commands) list << QString::fromStdString(command);
    return list.join(' ');
}

}  // namespace

// Every reader type reads what its page shows, each command after a plain 50 ms pause.
void TestReadOut::readOutOfEveryType() {
    QFETCH(int, type);
    QFETCH(QString, sent);
    QFETCH(QString, pauses);
    QFETCH(QString, values);
    const ReaderTypeInfo& info = Info(*ReaderTypeAt(type));
    CommandRig rig;
    rig.addReader(Configured(info.type));
    QVERIFY(rig.open());
    std::string version;
    const Session session{rig.link, rig.pacer, std::string(1, info.startCharacter) + "01"};
    const ReadOutValues read =
        ReadOut(session, info.readOut, [&](const std::string& text) { version = text; });
    QVERIFY(read.complete);
    QCOMPARE(*read.version, tbsim::DefaultVersion(static_cast<tbsim::ReaderKind>(type)));
    QCOMPARE(version, *read.version);
    QCOMPARE(Joined(rig.takeCommands()), sent);
    QCOMPARE(QString::fromStdString(rig.pacer.pausesText()), pauses);
    QCOMPARE(ValuesText(read), values);
}

void TestReadOut::readOutStopsAtABadField_data() {
    QTest::addColumn<QString>("silent");    // a command the reader leaves unanswered
    QTest::addColumn<QString>("override");  // "A" data field as the reader sends it
    QTest::addColumn<bool>("complete");
    QTest::addColumn<QString>("values");
    QTest::newRow("all answered") << ""
                                  << "" << true << "1 2 3 - 12 0 6 15 9 2 10 1 3";
    QTest::newRow("A fails: nothing") << "A"
                                      << "" << false << "- - - - - - - - - - - - -";
    QTest::newRow("A's Wiegand no digit: the interface kept")
        << ""
        << "1X3" << false << "1 - - - - - - - - - - - -";
    QTest::newRow("L unanswered: left alone") << "L"
                                              << "" << true << "1 2 3 - - 0 6 15 9 2 10 1 3";
    QTest::newRow("M unanswered: With Parity") << "M"
                                               << "" << true << "1 2 3 - 12 1 6 15 9 2 10 1 3";
    QTest::newRow("N unanswered: 0 and 3 s") << "N"
                                             << "" << true << "1 2 3 - 12 0 0 3 9 2 10 1 3";
    QTest::newRow("a unanswered: sector 0, key A, LED")
        << "a"
        << "" << true << "1 2 3 - 12 0 6 15 0 0 0 0 1";
}

void TestReadOut::readOutStopsAtABadField() {
    QFETCH(QString, silent);
    QFETCH(QString, override);
    QFETCH(bool, complete);
    QFETCH(QString, values);
    CommandRig rig;
    tbsim::ReaderConfig config = Configured(ReaderType::PX40M);
    if (!silent.isEmpty()) config.silentCommands.insert(silent.toStdString());
    if (!override.isEmpty()) config.settingsDataOverride = override.toStdString();
    rig.addReader(config);
    QVERIFY(rig.open());
    const ReadOutValues read =
        ReadOut({rig.link, rig.pacer, "H01"}, Info(ReaderType::PX40M).readOut);
    QCOMPARE(read.complete, complete);
    QCOMPARE(ValuesText(read), values);
}

void TestReadOut::versionNeverAnswered() {
    CommandRig rig;
    tbsim::ReaderConfig config = Configured(ReaderType::PX10);
    config.silentCommands.insert("V");
    rig.addReader(config);
    QVERIFY(rig.open());
    const ReadOutValues read =
        ReadOut({rig.link, rig.pacer, "A01"}, Info(ReaderType::PX10).readOut);
    QVERIFY(!read.version);
    QVERIFY(!read.complete);
    QCOMPARE(Joined(rig.takeCommands()), QString("A01V A01V"));
    QCOMPARE(QString::fromStdString(rig.pacer.pausesText()), QString("K100 K100"));
}

void TestReadOut::readOutAfterFind_data() {
    QTest::addColumn<QString>("replyId");  // characters 3-4 of the find's reply
    QTest::addColumn<int>("port");         // only COM1 has a line
    QTest::addColumn<QString>("id");       // "-": none that addresses the reader
    QTest::addColumn<bool>("opened");
    QTest::addColumn<QString>("sent");
    QTest::newRow("ID 01: read out") << "01" << 1 << "01" << true << "A01V A01A";
    QTest::newRow("ID 00: nothing sent") << "00" << 1 << "-" << false << "";
    QTest::newRow("ID not digits: nothing sent") << "1x" << 1 << "-" << false << "";
    QTest::newRow("port does not open: nothing sent") << "01" << 7 << "01" << false << "";
}

void TestReadOut::readOutAfterFind() {
    QFETCH(QString, replyId);
    QFETCH(int, port);
    QFETCH(QString, id);
    QFETCH(bool, opened);
    QFETCH(QString, sent);
    CommandRig rig;
    rig.addReader(tbsim::ReaderKind::PX10, 1);
    const tblink::FoundReader found{port, 5, CommandRig::kLineSettings,
                                    "\nA" + replyId.toStdString() + "B12345678" + "00\r"};
    bool openWhenTold = true;
    const FoundReadOut read =
        ReadOutAfterFind(rig.link, rig.pacer, found, 'A', Info(ReaderType::PX10).readOut,
                         [&](const FoundReadOut&) { openWhenTold = rig.link.IsOpen(); });
    QVERIFY(!openWhenTold);
    QVERIFY(!rig.link.IsOpen());
    QCOMPARE(read.serial, std::string("12345678"));
    QCOMPARE(QString::fromStdString(read.id.value_or("-")), id);
    QCOMPARE(read.portOpened, opened);
    QCOMPARE(read.values.complete, opened);
    QCOMPARE(Joined(rig.takeCommands()), sent);
}

QTEST_APPLESS_MAIN(TestReadOut)
#include "tst_readout.moc"
