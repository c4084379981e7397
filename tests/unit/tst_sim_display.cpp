// The simulated display reader: which display commands it takes, what it keeps, the icon it
// assembles from the eight "J00M" parts, and the console's "display" report. Reply checksums
// and icon vectors were worked out by hand (the checksums with a separate Python line); one
// picture goes through the window's packing to check the two sides agree.
#include <QtTest>

#include "SimAnswers.h"
#include "SimDisplay.h"
#include "SimProgram.h"
#include "SimReader.h"
#include "commands/display/TitleIcon.h"

using namespace tbsim;

Q_DECLARE_METATYPE(tbsim::ReaderKind)

namespace {

QByteArray Spaces(int count) { return QByteArray(count, ' '); }

QByteArray Zeros(int bytes) { return QByteArray(2 * bytes, '0'); }

// "J00M" + n + 64 hex digits.
QByteArray IconPart(int n, const QByteArray& digits) {
    return "J00M" + QByteArray::number(n) + digits;
}

int DarkPixels(const DisplayState& display) {
    int count = 0;
    for (int y = 0; y < kDisplayIconHeight; ++y)
        for (int x = 0; x < kDisplayIconWidth; ++x) count += IconPixelDark(display, x, y);
    return count;
}

}  // namespace

class TestSimDisplay : public QObject {
    Q_OBJECT
private slots:
    void answers_data();
    void answers();
    void keepsWhatItWasSent();
    void refusedCommandChangesNothing();
    void icon_data();
    void icon();
    void iconAsTheWindowPacksIt();
    void report();
    void consoleLine();
};

// `command` gets `reply`, or silence when `reply` is empty.
void TestSimDisplay::answers_data() {
    QTest::addColumn<ReaderKind>("kind");
    QTest::addColumn<int>("id");
    QTest::addColumn<QByteArray>("command");
    QTest::addColumn<QByteArray>("reply");
    const auto px50 = ReaderKind::PX50;
    const QByteArray none;

    QTest::newRow("language") << px50 << 1 << QByteArray("J01N1") << QByteArray("\nJ01N0F\r");
    QTest::newRow("language 3 does not exist") << px50 << 1 << QByteArray("J01N3") << none;
    QTest::newRow("keypad's N still answers")
        << px50 << 1 << QByteArray("J01N") << QByteArray("\nJ01N00030C\r");
    QTest::newRow("empty password") << px50 << 1 << QByteArray("J01O") << QByteArray("\nJ01O0E\r");
    QTest::newRow("five-character password") << px50 << 1 << QByteArray("J01O12345") << none;
    QTest::newRow("time only") << px50 << 1 << QByteArray("J01K31") << QByteArray("\nJ01K0A\r");
    QTest::newRow("screen mode 2 does not exist") << px50 << 1 << QByteArray("J01K32") << none;
    QTest::newRow("clock") << px50 << 1 << QByteArray("J01T20270201090503")
                           << QByteArray("\nJ01T15\r");
    QTest::newRow("month 13") << px50 << 1 << QByteArray("J01T20271301090503") << none;
    QTest::newRow("24-hour") << px50 << 1 << QByteArray("J01T1") << QByteArray("\nJ01T15\r");
    QTest::newRow("13 clock digits") << px50 << 1 << QByteArray("J01T2027020109050") << none;
    QTest::newRow("small message, PX50-M")
        << ReaderKind::PX50M << 42 << "J42HHello!" + Spaces(58) << QByteArray("\nJ42H0E\r");
    QTest::newRow("small message of 63 bytes") << px50 << 1 << "J01H" + Spaces(63) << none;
    QTest::newRow("screen message")
        << px50 << 1 << "J01L4Welcome" + Spaces(121) << QByteArray("\nJ01L0D\r");
    QTest::newRow("screen message cleared at 00, reader 05")
        << px50 << 5 << "J00L4" + Spaces(128) << QByteArray("\nJ05L09\r");
    QTest::newRow("title 1") << px50 << 1 << QByteArray("J01L1KORVA Technology")
                             << QByteArray("\nJ01L0D\r");
    QTest::newRow("title 2 of 15 bytes") << px50 << 1 << "J01L3" + Spaces(15) << none;
    QTest::newRow("title mode") << px50 << 1 << QByteArray("J01L2") << QByteArray("\nJ01L0D\r");
    QTest::newRow("title mode 3 does not exist") << px50 << 1 << QByteArray("J01L3") << none;
    QTest::newRow("keypad's L still answers")
        << px50 << 1 << QByteArray("J01L") << QByteArray("\nJ01L0409\r");
    QTest::newRow("icon part at 00, reader 05")
        << px50 << 5 << IconPart(7, Zeros(32)) << QByteArray("\nJ05M08\r");
    QTest::newRow("icon part 8 does not exist") << px50 << 1 << IconPart(8, Zeros(32)) << none;
    QTest::newRow("icon part in lower case")
        << px50 << 1 << IconPart(0, QByteArray(64, 'f')) << none;
    QTest::newRow("icon part one digit short")
        << px50 << 1 << IconPart(0, Zeros(32).left(63)) << none;
    QTest::newRow("no language on a keypad reader")
        << ReaderKind::PX40 << 7 << QByteArray("H07N1") << none;
    QTest::newRow("no password on a keypad reader")
        << ReaderKind::PX40 << 7 << QByteArray("H07O") << none;
}

void TestSimDisplay::answers() {
    QFETCH(ReaderKind, kind);
    QFETCH(int, id);
    QFETCH(QByteArray, command);
    QFETCH(QByteArray, reply);
    SimReader reader(Reader(kind, id));
    QCOMPARE(Answer(reader, command), reply);
}

void TestSimDisplay::keepsWhatItWasSent() {
    SimReader reader(Reader(ReaderKind::PX50, 1));
    const QByteArrayList commands{"J01N2",
                                  "J01O12",
                                  "J01K31",
                                  "J01T20270201090503",
                                  "J01T1",
                                  "J01HHello!" + Spaces(58),
                                  "J01L4Welcome" + Spaces(121),
                                  "J01L1KORVA Technology",
                                  "J01L3Office" + Spaces(10),
                                  "J01L1",
                                  "J00L4" + Spaces(128)};
    for (const auto& command : commands) QVERIFY2(!Answer(reader, command).isEmpty(), command);
    const DisplayState display = reader.config().display;
    QCOMPARE(display.language, 2);
    QCOMPARE(display.password, std::string("12"));
    QCOMPARE(display.screenMode, 1);
    QCOMPARE(display.clock, std::string("20270201090503"));
    QCOMPARE(display.hourFormat, 1);
    QCOMPARE(QByteArray::fromStdString(display.smallMessage), "Hello!" + Spaces(58));
    QCOMPARE(QByteArray::fromStdString(display.screenMessage), Spaces(128));
    QCOMPARE(display.title1, std::string("KORVA Technology"));
    QCOMPARE(QByteArray::fromStdString(display.title2), "Office" + Spaces(10));
    QCOMPARE(display.titleMode, 1);
}

void TestSimDisplay::refusedCommandChangesNothing() {
    SimReader reader(Reader(ReaderKind::PX50, 1));
    const DisplayState before = reader.config().display;
    for (const QByteArray& command : {QByteArray("J01T20271301090503"), QByteArray("J01O12345"),
                                      "J01L1" + Spaces(15), IconPart(0, QByteArray(64, 'f'))}) {
        QVERIFY2(Answer(reader, command).isEmpty(), command);
    }
    const DisplayState after = reader.config().display;
    QCOMPARE(after.clock, before.clock);
    QCOMPARE(after.password, before.password);
    QCOMPARE(after.title1, before.title1);
    QVERIFY(after.iconColumns == before.iconColumns);
    QCOMPARE(after.iconPartsReceived, 0u);
}

// The parts as the window packs them; the pixel is the one the display shows dark.
void TestSimDisplay::icon_data() {
    QTest::addColumn<QByteArrayList>("parts");
    QTest::addColumn<QPoint>("dark");
    QTest::addColumn<int>("darkCount");
    QByteArrayList light;
    for (int n = 0; n < 8; ++n) light << IconPart(n, Zeros(32));

    QByteArrayList topLeft = light;
    topLeft[0] = IconPart(0, "01" + Zeros(31));
    QTest::newRow("top-left") << topLeft << QPoint(0, 0) << 1;
    QByteArrayList bottomRight = light;
    bottomRight[7] = IconPart(7, Zeros(31) + "80");
    QTest::newRow("bottom-right") << bottomRight << QPoint(127, 15) << 1;
    QByteArrayList elsewhere = light;
    elsewhere[1] = IconPart(1, Zeros(21) + "04" + Zeros(10));
    QTest::newRow("column 21, row 10") << elsewhere << QPoint(21, 10) << 1;
    QByteArrayList dark;
    for (int n = 0; n < 8; ++n) dark << IconPart(n, QByteArray(64, 'F'));
    QTest::newRow("all dark") << dark << QPoint(64, 8) << 128 * 16;
    QTest::newRow("one part alone")
        << QByteArrayList{IconPart(3, "01" + Zeros(31))} << QPoint(48, 0) << 1;
}

void TestSimDisplay::icon() {
    QFETCH(QByteArrayList, parts);
    QFETCH(QPoint, dark);
    QFETCH(int, darkCount);
    SimReader reader(Reader(ReaderKind::PX50M, 1));
    for (const auto& part : parts) QVERIFY2(!Answer(reader, part).isEmpty(), part);
    const DisplayState display = reader.config().display;
    QVERIFY(IconPixelDark(display, dark.x(), dark.y()));
    QCOMPARE(DarkPixels(display), darkCount);
}

// An irregular picture through the window's packing and the display's unpacking.
void TestSimDisplay::iconAsTheWindowPacksIt() {
    commands::display::IconBitmap picture;
    for (int y = 0; y < kDisplayIconHeight; ++y)
        for (int x = 0; x < kDisplayIconWidth; ++x) picture.setDark(x, y, (7 * x + 3 * y) % 5 == 0);
    SimReader reader(Reader(ReaderKind::PX50, 1));
    for (const auto& part : commands::display::IconCommands(picture))
        QVERIFY(reader.answer(part).has_value());
    const DisplayState display = reader.config().display;
    QCOMPARE(display.iconPartsReceived, 0xFFu);
    for (int y = 0; y < kDisplayIconHeight; ++y) {
        for (int x = 0; x < kDisplayIconWidth; ++x)
            QVERIFY2(IconPixelDark(display, x, y) == picture.dark(x, y),
                     qPrintable(QString("%1,%2").arg(x).arg(y)));
    }
}

void TestSimDisplay::report() {
    SimReader reader(Reader(ReaderKind::PX50, 1));
    for (const QByteArray& command :
         {QByteArray("J01L1KORVA Technology"), QByteArray("J01L2"), "J01H\xC4\xE3" + Spaces(62),
          IconPart(0, "01" + Zeros(31)), IconPart(7, Zeros(31) + "80")}) {
        QVERIFY2(!Answer(reader, command).isEmpty(), command);
    }
    const QStringList lines =
        QString::fromStdString(DisplayReport(reader.config().display)).split('\n');
    QVERIFY(lines.contains("  title 1         \"KORVA Technology\""));
    QVERIFY(lines.contains("  title mode      text and icon title"));
    QVERIFY(lines.contains("  small message   \"[C4][E3]" + QString(62, ' ') + "\""));
    // The last 16 lines before the final newline are the icon, top row first.
    const QStringList icon = lines.mid(lines.size() - 17, 16);
    QCOMPARE(icon.first(), "#" + QString(127, '.'));
    QCOMPARE(icon.last(), QString(127, '.') + "#");
    for (int row = 1; row < 15; ++row) QCOMPARE(icon[row], QString(128, '.'));
}

void TestSimDisplay::consoleLine() {
    QVERIFY(IsDisplayConsoleLine("display"));
    QVERIFY(IsDisplayConsoleLine("display\r"));
    QVERIFY(!IsDisplayConsoleLine("display 01"));
    SimReader plain(Reader(ReaderKind::PX10, 1));
    SimReader first(Reader(ReaderKind::PX50, 3));
    SimReader second(Reader(ReaderKind::PX50M, 12));
    const QString report = QString::fromStdString(DisplayConsoleReport({&plain, &first, &second}));
    QVERIFY(report.startsWith("PX50 ID 03\n"));
    QVERIFY(report.contains("\nPX50M ID 12\n"));
    QVERIFY(!report.contains("PX10"));
    QCOMPARE(report.count(QString(128, '.')), 32);
    QVERIFY(QString::fromStdString(DisplayConsoleReport({&plain})).startsWith("no display"));
    QVERIFY(ProgramUsage().find("\"display\"") != std::string::npos);
}

QTEST_APPLESS_MAIN(TestSimDisplay)
#include "tst_sim_display.moc"
