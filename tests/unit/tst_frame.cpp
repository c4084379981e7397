// Frames, checksums, the reply assembly and the reply-field operations, against vectors worked
// out by hand (or from the reader protocol's own examples), never printed by this code.
#include <QtTest>

#include <string>

#include "link/Frame.h"
#include "link/ReplyAssembler.h"
#include "link/ReplyFields.h"

using namespace tblink;

namespace {
const std::uint8_t* Data(const std::string& s) {
    return reinterpret_cast<const std::uint8_t*>(s.data());
}
}  // namespace

class TestFrame : public QObject {
    Q_OBJECT
private slots:
    void commandFrame_data();
    void commandFrame();
    void sentEchoShowsControlMarks();
    void verifyReply_data();
    void verifyReply();
    void echoBytes_data();
    void echoBytes();
    void echoStaysWithinBuffer_data();
    void echoStaysWithinBuffer();
    void assemblerRecognisesFrameOnlyFromLeadingLf();
    void assemblerWrapsInsteadOfOverflowing();
    void assemblerCutsFrameTextAtZeroByte();
    void hexToInt32_data();
    void hexToInt32();
    void maskHex16();
    void reverseHexBytes();
    void replyField_data();
    void replyField();
};

void TestFrame::commandFrame_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QByteArray>("frame");
    QTest::newRow("scan probe A00B")
        << QByteArray("A00B") << QByteArray::fromHex("09413030423041 0D");
    QTest::newRow("lower-case text abc") << QByteArray("abc") << QByteArray("\tabc69\r");
    QTest::newRow("keypad link probe") << QByteArray("H01B") << QByteArray("\tH01B02\r");
    QTest::newRow("version request") << QByteArray("A01V") << QByteArray("\tA01V1F\r");
    QTest::newRow("empty text") << QByteArray("") << QByteArray("\t09\r");
}

void TestFrame::commandFrame() {
    QFETCH(QByteArray, text);
    QFETCH(QByteArray, frame);
    const std::string built = CommandFrame(text.toStdString());
    QCOMPARE(QByteArray::fromStdString(built), frame);
}

void TestFrame::sentEchoShowsControlMarks() {
    QCOMPARE(SentEcho("A00B"), std::string("[09]A00B0A[0D]"));
}

void TestFrame::verifyReply_data() {
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<bool>("passes");
    QTest::newRow("empty body LF 0A CR") << QByteArray("\n0A\r") << true;
    QTest::newRow("LF CR only") << QByteArray("\n\r") << false;
    QTest::newRow("three bytes") << QByteArray("\n0\r") << false;
    QTest::newRow("serial reply") << QByteArray("\nA01B1234567800\r") << true;
    QTest::newRow("keypad serial reply") << QByteArray("\nH07B876543210F\r") << true;
    QTest::newRow("fingerprint serial reply") << QByteArray("\nI99BABCDEF0107\r") << true;
    QTest::newRow("version reply") << QByteArray("\nJ05V0123456789ABCDEF15\r") << true;
    QTest::newRow("one bit off") << QByteArray("\nA01B1234567801\r") << false;
    QTest::newRow("checksum in lower case") << QByteArray("\nH07B876543210f\r") << false;
}

void TestFrame::verifyReply() {
    QFETCH(QByteArray, reply);
    QFETCH(bool, passes);
    QCOMPARE(VerifyReply(reinterpret_cast<const std::uint8_t*>(reply.constData()),
                         static_cast<std::size_t>(reply.size())),
             passes);
}

void TestFrame::echoBytes_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QByteArray>("echo");
    QTest::newRow("reply frame") << QByteArray("\n0A\r") << QByteArray("[0A]0A[0D]");
    QTest::newRow("space and DEL are shown") << QByteArray("\x20\x7F", 2) << QByteArray(" \x7F");
    QTest::newRow("high bytes as hex")
        << QByteArray("\x80\xFF\xB0", 3) << QByteArray("[80][FF][B0]");
    QTest::newRow("zero byte") << QByteArray("a\0b", 3) << QByteArray("a[00]b");
}

void TestFrame::echoBytes() {
    QFETCH(QByteArray, bytes);
    QFETCH(QByteArray, echo);
    const std::string shown = EchoBytes(static_cast<std::size_t>(bytes.size()),
                                        reinterpret_cast<const std::uint8_t*>(bytes.constData()));
    QCOMPARE(QByteArray::fromStdString(shown), echo);
}

void TestFrame::echoStaysWithinBuffer_data() {
    QTest::addColumn<int>("controlBytes");
    QTest::addColumn<bool>("cut");
    QTest::newRow("262 control bytes fit (1048)") << 262 << false;
    QTest::newRow("1050 visible bytes fit") << -1050 << false;
    QTest::newRow("263 control bytes do not fit") << 263 << true;
    QTest::newRow("a whole wrapped buffer") << 1050 << true;
}

void TestFrame::echoStaysWithinBuffer() {
    QFETCH(int, controlBytes);
    QFETCH(bool, cut);
    const std::string bytes = controlBytes > 0
                                  ? std::string(static_cast<std::size_t>(controlBytes), '\x01')
                                  : std::string(static_cast<std::size_t>(-controlBytes), 'x');
    const std::string echo = EchoBytes(bytes.size(), Data(bytes));
    QVERIFY(echo.size() <= kBufferSize);
    QCOMPARE(echo.size() >= 5 && echo.compare(echo.size() - 5, 5, "[...]") == 0, cut);
    if (cut) QCOMPARE(echo.substr(0, 8), std::string("[01][01]"));
}

void TestFrame::assemblerRecognisesFrameOnlyFromLeadingLf() {
    ReplyAssembler assembler;
    assembler.reset();
    const std::string stray = "Z\nA01B1234567800\r";
    ReplyAssembler::Step step = ReplyAssembler::Step::Collecting;
    for (char c : stray) step = assembler.feed(static_cast<std::uint8_t>(c));
    QCOMPARE(step, ReplyAssembler::Step::Collecting);
    QCOMPARE(assembler.length(), stray.size());

    assembler.reset();
    const std::string clean = "\nA01B1234567800\r";
    for (char c : clean) step = assembler.feed(static_cast<std::uint8_t>(c));
    QCOMPARE(step, ReplyAssembler::Step::Complete);
    QCOMPARE(assembler.length(), std::size_t{16});
    QCOMPARE(assembler.frameText(), clean);
    QVERIFY(assembler.checksumOk());
}

void TestFrame::assemblerWrapsInsteadOfOverflowing() {
    ReplyAssembler assembler;
    assembler.reset();
    const std::string longReply = "\nA01B" + std::string(2000, '7') + "00\r";
    ReplyAssembler::Step step = ReplyAssembler::Step::Collecting;
    for (char c : longReply) step = assembler.feed(static_cast<std::uint8_t>(c));
    // The LF at index 0 was overwritten by the wrap, so the CR no longer ends a frame.
    QCOMPARE(step, ReplyAssembler::Step::Collecting);
    QCOMPARE(assembler.length(), longReply.size() % kBufferSize);
}

void TestFrame::assemblerCutsFrameTextAtZeroByte() {
    ReplyAssembler assembler;
    assembler.reset();
    const std::string reply("\nA01\0B\r", 7);
    for (char c : reply) assembler.feed(static_cast<std::uint8_t>(c));
    QCOMPARE(assembler.frameText(), std::string("\nA01"));
    QCOMPARE(assembler.length(), std::size_t{7});
}

void TestFrame::hexToInt32_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<quint32>("value");
    QTest::newRow("upper case") << "0000ABCD" << quint32(0xABCD);
    QTest::newRow("lower case counts as zero") << "0000abcd" << quint32(0);
    QTest::newRow("four characters shift left") << "ABCD" << quint32(0xABCD0000);
    QTest::newRow("all ones") << "FFFFFFFF" << quint32(0xFFFFFFFF);
    QTest::newRow("ninth character ignored") << "123456789" << quint32(0x12345678);
    QTest::newRow("other characters are zero") << "G0-0 0Z1" << quint32(0x1);
    QTest::newRow("empty") << "" << quint32(0);
}

void TestFrame::hexToInt32() {
    QFETCH(QString, text);
    QFETCH(quint32, value);
    QCOMPARE(HexToInt32(text.toStdString()), value);
}

void TestFrame::maskHex16() {
    // Byte 0 is XORed with the mask's last byte D1, byte 7 with its first, 5C.
    QCOMPARE(MaskHex16("0000000000000000"), std::string("D1069B42E8A3175C"));
    QCOMPARE(MaskHex16("D1069B42E8A3175C"), std::string("0000000000000000"));
    QCOMPARE(MaskHex16("FFFFFFFFFFFFFFFF"), std::string("2EF964BD175CE8A3"));
    for (const char* text : {"0123456789ABCDEF", "00A0B0C0DEADBEEF", "FEDCBA9876543210"})
        QCOMPARE(MaskHex16(MaskHex16(text)), std::string(text));
}

void TestFrame::reverseHexBytes() {
    QCOMPARE(ReverseHexBytes("0011223344556677"), std::string("7766554433221100"));
    QCOMPARE(ReverseHexBytes("ABCDEF0123456789"), std::string("8967452301EFCDAB"));
}

void TestFrame::replyField_data() {
    QTest::addColumn<int>("position");
    QTest::addColumn<int>("length");
    QTest::addColumn<QString>("field");
    QTest::newRow("reader ID") << 3 << 2 << "01";
    QTest::newRow("serial number") << 6 << 8 << "12345678";
    QTest::newRow("opening LF is character 1") << 1 << 1 << "\n";
    QTest::newRow("runs past the end") << 14 << 8 << "00\r";
    QTest::newRow("starts past the end") << 17 << 2 << "";
    QTest::newRow("position 0") << 0 << 2 << "";
}

void TestFrame::replyField() {
    QFETCH(int, position);
    QFETCH(int, length);
    QFETCH(QString, field);
    QCOMPARE(QString::fromStdString(ReplyField("\nA01B1234567800\r", position, length)), field);
}

QTEST_APPLESS_MAIN(TestFrame)
#include "tst_frame.moc"
