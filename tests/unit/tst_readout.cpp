// Decoding the read-out replies and the digits commands travel in.
#include <QtTest>

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
    const std::optional<int> keyB =
        values.idKeyB ? std::optional<int>(*values.idKeyB ? 1 : 0) : std::nullopt;
    QCOMPARE(QStringList({Shown(values.idSector), Shown(values.idBlock), Shown(values.idByte),
                          Shown(keyB), Shown(values.idKeyError)})
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

QTEST_APPLESS_MAIN(TestReadOut)
#include "tst_readout.moc"
