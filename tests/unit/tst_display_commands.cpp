// The display's command texts: system parameters, messages and titles fitted to their byte
// widths in the window's code page. Chinese bytes are those of the GBK and Big5 tables (你 C4E3
// and A741, 好 BAC3 and A66E, 办公室大门 and 辦公室大門 as in the catalogue's sample title).
#include <QtTest>

#include "commands/display/DisplayText.h"
#include "commands/display/MessagesAndTitles.h"
#include "commands/display/SystemParameters.h"
#include "platform/CodePage.h"

using namespace commands::display;

Q_DECLARE_METATYPE(commands::display::TextCodePage)

namespace {

constexpr int kEnglish = 0, kSimplified = 1, kTraditional = 2;

QByteArray Bytes(const std::string& text) { return QByteArray::fromStdString(text); }

QByteArray Spaces(int count) { return QByteArray(count, ' '); }

}  // namespace

class TestDisplayCommands : public QObject {
    Q_OBJECT
private slots:
    void commandTexts_data();
    void commandTexts();
    void fittedTexts_data();
    void fittedTexts();
    void leadBytes_data();
    void leadBytes();
};

// Whole command texts, with the prefix J01 where the reader gets one.
void TestDisplayCommands::commandTexts_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QByteArray>("expected");
    const std::string prefix = "J01";
    const auto english = TextCodePage::SingleByte;

    QTest::newRow("Traditional Chinese is N1, not the window's 2")
        << Bytes(prefix + LanguageCommand(DisplayLanguage::TraditionalChinese))
        << QByteArray("J01N1");
    QTest::newRow("Simplified Chinese is N2")
        << Bytes(prefix + LanguageCommand(DisplayLanguage::SimplifiedChinese))
        << QByteArray("J01N2");
    QTest::newRow("empty password") << Bytes(prefix + PasswordCommand("")) << QByteArray("J01O");
    QTest::newRow("three-character password")
        << Bytes(prefix + PasswordCommand("583")) << QByteArray("J01O583");
    QTest::newRow("time only") << Bytes(ScreenModeCommand(ScreenMode::TimeOnly))
                               << QByteArray("K31");
    QTest::newRow("1 February 2027, 09:05:03")
        << Bytes(ClockCommand({2027, 2, 1, 9, 5, 3})) << QByteArray("T20270201090503");
    QTest::newRow("then 24H") << Bytes(HourFormatCommand(HourFormat::TwentyFourHour))
                              << QByteArray("T1");
    QTest::newRow("7 December 2026, 15:04:05")
        << Bytes(ClockCommand({2026, 12, 7, 15, 4, 5})) << QByteArray("T20261207150405");

    QTest::newRow("Hello! as 68 characters")
        << Bytes(prefix + SmallMessageCommand("Hello!", english))
        << QByteArray("J01HHello!") + Spaces(58);
    QTest::newRow("empty screen message")
        << Bytes(prefix + ScreenMessageCommand("", english)) << QByteArray("J01L4") + Spaces(128);
    QTest::newRow("clearing the screen message, any ID")
        << Bytes(ClearScreenMessageText()) << QByteArray("J00L4") + Spaces(128);
    QTest::newRow("16-character title, no padding")
        << Bytes(prefix + TitleCommand(TitleLine::First, "KORVA Technology", english))
        << QByteArray("J01L1KORVA Technology");
    QTest::newRow("5-character title 2, 11 spaces")
        << Bytes(prefix + TitleCommand(TitleLine::Second, "Lobby", english))
        << QByteArray("J01L3Lobby") + Spaces(11);
    QTest::newRow("clear title 1")
        << Bytes(ClearTitleCommand(TitleLine::First)) << QByteArray("L1") + Spaces(16);
    QTest::newRow("clear title 2")
        << Bytes(ClearTitleCommand(TitleLine::Second)) << QByteArray("L3") + Spaces(16);
    QTest::newRow("text and icon title")
        << Bytes(TitleModeCommand(TitleMode::TextAndIconTitle)) << QByteArray("L2");
}

void TestDisplayCommands::commandTexts() {
    QFETCH(QByteArray, text);
    QFETCH(QByteArray, expected);
    QCOMPARE(text, expected);
}

// A text typed in the window's language, encoded as the window sends it, fitted to a width.
void TestDisplayCommands::fittedTexts_data() {
    QTest::addColumn<int>("language");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("width");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("GBK small message")
        << kSimplified << QString("你好") << 64 << QByteArray("\xC4\xE3\xBA\xC3") + Spaces(60);
    QTest::newRow("Big5 small message")
        << kTraditional << QString("你好") << 64 << QByteArray("\xA7\x41\xA6\x6E") + Spaces(60);
    QTest::newRow("GBK sample title")
        << kSimplified << QString("办公室大门") << 16
        << QByteArray("\xB0\xEC\xB9\xAB\xCA\xD2\xB4\xF3\xC3\xC5") + Spaces(6);
    // Byte 16 would be the lead byte of the eighth 好: it gives way to a space.
    QTest::newRow("GBK title, 16th byte a lead byte")
        << kSimplified << QString("A") + QString("好").repeated(8) << 16
        << "A" + QByteArray("\xBA\xC3").repeated(7) + " ";
    // Every trail byte C3 lies in the lead range; walking from the start keeps them all.
    QTest::newRow("GBK title, trail bytes in the lead range")
        << kSimplified << QString("好").repeated(8) << 16 << QByteArray("\xBA\xC3").repeated(8);
    QTest::newRow("Big5 title, 16th byte a lead byte")
        << kTraditional << QString("A辦公室大門辦公室") << 16
        << QByteArray("A\xBF\xEC\xA4\xBD\xAB\xC7\xA4\x6A\xAA\xF9\xBF\xEC\xA4\xBD ");
    QTest::newRow("Big5 title, exactly 16 bytes")
        << kTraditional << QString("辦公室大門辦公室") << 16
        << QByteArray("\xBF\xEC\xA4\xBD\xAB\xC7\xA4\x6A\xAA\xF9\xBF\xEC\xA4\xBD\xAB\xC7");
    // Windows-1252 has no two-byte characters: a byte above 0x80 is a whole character.
    QTest::newRow("Windows-1252 cut at the width")
        << kEnglish << QString("é").repeated(17) << 16 << QByteArray("\xE9").repeated(16);
    QTest::newRow("English cut at the width")
        << kEnglish << QString("x").repeated(70) << 64 << QByteArray("x").repeated(64);
}

void TestDisplayCommands::fittedTexts() {
    QFETCH(int, language);
    QFETCH(QString, text);
    QFETCH(int, width);
    QFETCH(QByteArray, expected);
    const std::string bytes = platform::EncodeText(text, language);
    QCOMPARE(
        Bytes(FitToWidth(bytes, static_cast<std::size_t>(width), CodePageOfLanguage(language))),
        expected);
}

void TestDisplayCommands::leadBytes_data() {
    QTest::addColumn<TextCodePage>("page");
    QTest::addColumn<int>("byte");
    QTest::addColumn<bool>("lead");
    for (const auto& [name, page] :
         {std::pair{"GBK", TextCodePage::Gbk}, std::pair{"Big5", TextCodePage::Big5}}) {
        QTest::addRow("%s 0x80", name) << page << 0x80 << false;
        QTest::addRow("%s 0x81", name) << page << 0x81 << true;
        QTest::addRow("%s 0xFE", name) << page << 0xFE << true;
        QTest::addRow("%s 0xFF", name) << page << 0xFF << false;
        QTest::addRow("%s A", name) << page << int('A') << false;
    }
    QTest::newRow("Windows-1252 0xC4") << TextCodePage::SingleByte << 0xC4 << false;
}

void TestDisplayCommands::leadBytes() {
    QFETCH(TextCodePage, page);
    QFETCH(int, byte);
    QFETCH(bool, lead);
    QCOMPARE(IsLeadByte(static_cast<std::uint8_t>(byte), page), lead);
}

QTEST_APPLESS_MAIN(TestDisplayCommands)
#include "tst_display_commands.moc"
