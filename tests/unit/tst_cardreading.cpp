// The poll replies of plain and two-way card reading, row by row of the decoding table.
#include <QtTest>

#include "commands/config/CardReading.h"

using commands::PollOutcome;

namespace {
// A poll reply around a data field; its length is the data's plus 8.
std::string Reply(const std::string& data) { return "\nA01F" + data + "00\r"; }
}  // namespace

Q_DECLARE_METATYPE(PollOutcome::Show)

class TestCardReading : public QObject {
    Q_OBJECT
private slots:
    void plainPoll_data();
    void plainPoll();
    void twoWayPoll_data();
    void twoWayPoll();
};

void TestCardReading::plainPoll_data() {
    QTest::addColumn<QString>("data");
    QTest::addColumn<bool>("lamp");
    QTest::addColumn<PollOutcome::Show>("show");
    QTest::addColumn<QString>("text");
    using S = PollOutcome::Show;
    QTest::newRow("9 bytes: nothing") << "X" << false << S::Nothing << "";
    QTest::newRow("17: card at 7-14")
        << "000A0B0C0" << true << S::CardId << " : 0010531008(D)  00A0B0C0(H)";
    QTest::newRow("17 wins over a K at 7")
        << "0K0A0B0C0" << true << S::CardId << " : 0010531008(D)  K0A0B0C0(H)";
    QTest::newRow("keypad entry") << "0K1234" << true << S::Keys << "KEY : 1234";
    QTest::newRow("keypad, 10 bytes: lamp only") << "0K" << true << S::Nothing << "";
    QTest::newRow("18: card at 8-15")
        << "00DEADBEEF" << true << S::CardId << " : 3735928559(D)  DEADBEEF(H)";
    QTest::newRow("26: 16 digits at 8-23")
        << "000123456789ABCDEF" << true << S::CardId << " : 0123456789ABCDEF(H)";
    QTest::newRow("25: 16 digits at 7-22")
        << "X0123456789ABCDEF" << true << S::CardId << " : 0123456789ABCDEF(H)";
    QTest::newRow("K at 16: card and keys")
        << "0089ABCDEFK12" << true << S::CardId << " : 2309737967(D)  89ABCDEF(H)  KEY:12";
    QTest::newRow("20 or more: long card and keys")
        << "00000000000A0B0C0-77" << true << S::CardId
        << " : 0168496128(D)  000000000A0B0C0-(H)  KEY:7";
    QTest::newRow("19: lamp only") << "00DEADBEEF1" << true << S::Nothing << "";
    QTest::newRow("12: lamp only") << "0012" << true << S::Nothing << "";
}

void TestCardReading::plainPoll() {
    QFETCH(QString, data);
    QFETCH(bool, lamp);
    QFETCH(PollOutcome::Show, show);
    QFETCH(QString, text);
    const std::string reply = Reply(data.toStdString());
    const PollOutcome outcome = commands::DecodePlainPoll(reply, static_cast<int>(reply.size()));
    QCOMPARE(outcome.data, lamp);
    QCOMPARE(outcome.show, show);
    QCOMPARE(QString::fromStdString(outcome.text), text);
    QVERIFY(!outcome.answer);
}

void TestCardReading::twoWayPoll_data() {
    QTest::addColumn<QString>("data");
    QTest::addColumn<PollOutcome::Show>("show");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("answer");
    using S = PollOutcome::Show;
    QTest::newRow("9 bytes: nothing") << "X" << S::Nothing << "" << false;
    QTest::newRow("keypad entry is not answered") << "0K42" << S::Keys << "KEY : 42" << false;
    QTest::newRow("masked card") << "00D1069B42E8A3175C" << S::CardId
                                 << " : 0000000000(D)  0000000000000000(H)" << true;
    QTest::newRow("zero code unmasks to the mask")
        << "000000000000000000" << S::CardId << " : 3903002460(D)  D1069B42E8A3175C(H)" << true;
    QTest::newRow("card with keys") << "00D1069B42E8A3175CK12" << S::CardId
                                    << " : 0000000000(D)  0000000000000000(H)  KEY:12" << true;
    // Characters past the code are the checksum and the CR, read as they stand.
    QTest::newRow("short code still answered")
        << "0012" << S::CardId << " : 3903002460(D)  C3069B42E8A3175C(H)" << true;
}

void TestCardReading::twoWayPoll() {
    QFETCH(QString, data);
    QFETCH(PollOutcome::Show, show);
    QFETCH(QString, text);
    QFETCH(bool, answer);
    const std::string reply = Reply(data.toStdString());
    const PollOutcome outcome = commands::DecodeTwoWayPoll(reply, static_cast<int>(reply.size()));
    QCOMPARE(outcome.show, show);
    QCOMPARE(QString::fromStdString(outcome.text), text);
    QCOMPARE(outcome.answer, answer);
}

QTEST_APPLESS_MAIN(TestCardReading)
#include "tst_cardreading.moc"
