// Decoding the read-out replies and the digits commands travel in.
#include <QtTest>

#include "commands/config/Identity.h"
#include "commands/config/ReadOut.h"
#include "commands/config/ReplyChecks.h"

using namespace commands;

namespace {
// A reply frame around a data field; the checksum characters are not looked at here.
std::string Reply(const std::string& data) { return "\nA01A" + data + "00\r"; }
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
    QTest::addColumn<bool>("lenient");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QString>("decoded");  // mode wiegand rs485 cardType
    QTest::newRow("11 bytes: card type EM") << "123" << false << true << "1230";
    QTest::newRow("12 bytes: card type read") << "0122" << false << true << "0122";
    QTest::newRow("PX10: RS485 not a digit") << "01Z" << true << true << "0110";
    QTest::newRow("PX10: nothing a digit") << "???" << true << true << "0010";
    QTest::newRow("elsewhere: not a digit") << "01Z" << false << false << "";
    QTest::newRow("interface outside its list") << "201" << false << false << "";
    QTest::newRow("Wiegand outside its list, PX10 too") << "031" << true << false << "";
    QTest::newRow("card type outside its list") << "0013" << false << false << "";
    QTest::newRow("card type not a digit") << "001x" << false << false << "";
}

void TestReadOut::outputReply() {
    QFETCH(QString, data);
    QFETCH(bool, lenient);
    QFETCH(bool, ok);
    QFETCH(QString, decoded);
    const std::string reply = Reply(data.toStdString());
    const auto settings = DecodeOutputReply(reply, static_cast<int>(reply.size()), lenient);
    QCOMPARE(settings.has_value(), ok);
    if (!ok) return;
    QCOMPARE(QString("%1%2%3%4")
                 .arg(settings->interface.mode)
                 .arg(settings->interface.wiegand)
                 .arg(settings->interface.rs485)
                 .arg(settings->cardType),
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
    QTest::addColumn<QString>("decoded");  // sector block byte keyB error
    QTest::newRow("key A, LED") << "000F020A0001" << true << "15 2 10 0 1";
    QTest::newRow("any other key type is B") << "0027030F0503" << true << "39 3 15 1 3";
    QTest::newRow("lower-case hex") << "000f020A0001" << false << "";
    QTest::newRow("key-error signal outside list") << "000102030004" << false << "";
}

void TestReadOut::cardIdLocation() {
    QFETCH(QString, data);
    QFETCH(bool, ok);
    QFETCH(QString, decoded);
    const auto location = DecodeCardIdLocation(Reply(data.toStdString()));
    QCOMPARE(location.has_value(), ok);
    if (!ok) return;
    QCOMPARE(QString("%1 %2 %3 %4 %5")
                 .arg(location->sector)
                 .arg(location->block)
                 .arg(location->byte)
                 .arg(location->keyB ? 1 : 0)
                 .arg(location->keyError),
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
