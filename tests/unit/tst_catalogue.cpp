// The message catalogue against the texts it must hold, and the code pages that carry its texts
// to a reader.
#include <iconv.h>

#include <QStringList>
#include <QtTest>

#include "platform/CodePage.h"
#include "text/Catalogue.h"

using text::Msg;

Q_DECLARE_METATYPE(Msg)

namespace {

const QString kBlank128(128, QLatin1Char(' '));
const QString kBlank16(16, QLatin1Char(' '));

QString Describe(Msg msg, int language) {
    return QStringLiteral("entry %1 \"%2\", language %3")
        .arg(static_cast<int>(msg))
        .arg(text::Text(msg, text::kEnglish))
        .arg(language);
}

// True when every character of `text` exists in the iconv code page `page`. Kept apart from
// platform::EncodeText so that this check does not lean on the code under test.
bool FitsCodePage(const QString& text, const char* page) {
    iconv_t cd = iconv_open(page, "UTF-8");
    if (cd == reinterpret_cast<iconv_t>(-1)) return false;
    QByteArray in = text.toUtf8();
    QByteArray out(in.size() * 2 + 8, '\0');
    char* inPtr = in.data();
    char* outPtr = out.data();
    std::size_t inLeft = static_cast<std::size_t>(in.size());
    std::size_t outLeft = static_cast<std::size_t>(out.size());
    const bool ok = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) != static_cast<std::size_t>(-1);
    iconv_close(cd);
    return ok;
}

QByteArray Hex(const std::string& bytes) {
    return QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())).toHex().toUpper();
}

}  // namespace

class TestCatalogue : public QObject {
    Q_OBJECT

private slots:
    void everyEntryHasThreeTexts();
    void quotedEntries_data();
    void quotedEntries();
    void catalogueOrder();
    void textsFitTheirCodePage_data();
    void textsFitTheirCodePage();
    void simplifiedTextsAreSimplified();
    void suffixesSurviveTranslation_data();
    void suffixesSurviveTranslation();
    void sampleByteLengths_data();
    void sampleByteLengths();
    void fonts_data();
    void fonts();
    void languageNames_data();
    void languageNames();

    void encode_data();
    void encode();
    void decode_data();
    void decode();
};

void TestCatalogue::everyEntryHasThreeTexts() {
    for (int i = 0; i < text::kMsgCount; ++i) {
        for (int l = 0; l < text::kLanguageCount; ++l) {
            const Msg msg = static_cast<Msg>(i);
            QVERIFY2(!text::Text(msg, l).isEmpty(), qPrintable(Describe(msg, l)));
        }
    }
}

void TestCatalogue::quotedEntries_data() {
    QTest::addColumn<Msg>("msg");
    QTest::addColumn<QString>("english");
    QTest::addColumn<QString>("simplified");
    QTest::addColumn<QString>("traditional");

    QTest::newRow("font names") << Msg::FontName << "Courier New"
                                << "宋体"
                                << "細明體";
    QTest::newRow("window title") << Msg::WindowTitle << "Tag Bench D0542"
                                  << "读卡机设定工具程式 D0542"
                                  << "讀卡機設定工具程式 D0542";
    QTest::newRow("language menu") << Msg::LanguageMenuItem << "&English"
                                   << "&Simplified chinese(简体)"
                                   << "&Traditional chinese(繁體)";
    QTest::newRow("scan reader") << Msg::ScanReader << "Scan reader"
                                 << "扫描读卡机"
                                 << "掃描讀卡機";
    QTest::newRow("reader not find") << Msg::ReaderNotFind << "Reader not find"
                                     << "读卡机没有连线"
                                     << "讀卡機沒有連線";
    QTest::newRow("get setting data ok") << Msg::GetSettingDataOk << "Get setting data ok."
                                         << "读取设定资料完成."
                                         << "讀取設定資料完成.";
    QTest::newRow("set id") << Msg::SetId << "Set ID"
                            << "设定识别码(ID)"
                            << "設定識別碼(ID)";
    QTest::newRow("sample title") << Msg::SampleTitle << "Office Door     "
                                  << "办公室大门      "
                                  << "辦公室大門      ";
    QTest::newRow("key label") << Msg::Key << "Key:"
                               << "Key:"
                               << "Key:";
    QTest::newRow("key a") << Msg::KeyA << "Key A"
                           << "Key A"
                           << "Key A";
    QTest::newRow("key b") << Msg::KeyB << "Key B"
                           << "Key B"
                           << "Key B";
    QTest::newRow("blank 128") << Msg::Blank128 << kBlank128 << kBlank128 << kBlank128;
    QTest::newRow("blank 16") << Msg::Blank16 << kBlank16 << kBlank16 << kBlank16;
}

void TestCatalogue::quotedEntries() {
    QFETCH(Msg, msg);
    QFETCH(QString, english);
    QFETCH(QString, simplified);
    QFETCH(QString, traditional);
    QCOMPARE(text::Text(msg, text::kEnglish), english);
    QCOMPARE(text::Text(msg, text::kSimplifiedChinese), simplified);
    QCOMPARE(text::Text(msg, text::kTraditionalChinese), traditional);
}

// The English texts in catalogue order, as the catalogue's description lists them. kSample
// stands for the two sample messages, whose wording is free.
void TestCatalogue::catalogueOrder() {
    const QString kSample;
    const QStringList expected = {
        "Courier New",
        "Tag Bench D0542",
        "Open COM",
        "Error",
        "S/N",
        "VER",
        "&Language",
        "&File",
        "&Setup",
        "E&xit",
        "&English",
        "Please waiting...",
        "Scan reader",
        "Link reader",
        "Scan COM",
        "Serial Port",
        "Reader find ok. (COM",
        "Reader data error! (COM",
        "Reader not find",
        "Start select reader type.",
        "Get setting data",
        "Get setting data ok.",
        "Get setting data error!",
        "ID",
        "Set ID",
        "Set ID ok.",
        "Set ID error!",
        "Baud rate",
        "Lock",
        "Set reader baud rate",
        "Set Reader baud rate ok.",
        "Set reader baud rate error!",
        "Get",
        "Interface:",
        "Wiegand:",
        "Set reader interface",
        "Set reader interface ok.",
        "Set reader interface error!",
        "Get reader interface",
        "Get reader interface ok.",
        "Get reader interface error!",
        "Reset mode",
        "Set card read mode",
        "Set card read mode ok.",
        "Set card read mode error!",
        "Cancel read card",
        "Card ID",
        "Read card",
        "Read card two-way",
        "Invalid",
        "Card type:",
        "Set card type",
        "Set card type ok.",
        "Set card type error!",
        "Wiegand key:",
        "Set key parity",
        "Set key parity ok.",
        "Set key parity error!",
        "Get key parity",
        "Get key parity ok.",
        "Get key parity error!",
        "Key Number:",
        "Set key number",
        "Set key number ok.",
        "Set key number error!",
        "Get key number",
        "Get key number ok.",
        "Get key number error!",
        "Delay time:",
        "Sec",
        "Set key status code",
        "Set key status code ok.",
        "Set key status code error!",
        "Get key status code",
        "Get key status code ok.",
        "Get key status code error!",
        "Special setting",
        "Common",
        "Keypad",
        "Command test",
        "Command test ok.",
        "Command test error!",
        "System utility",
        "Set reboot",
        "Set reboot ok.",
        "Set reboot error!",
        "Default",
        "Set factory default",
        "Set factory default ok.",
        "Set factory default error!",
        "Sector:",
        "Block:",
        "Byte:",
        "Key:",
        "Old key:",
        "New key:",
        "Key A",
        "Key B",
        "Key error Msg:",
        "Card ID sector/block/byte",
        "Set sector/block/byte",
        "Set sector/block/byte ok.",
        "Set sector/block/byte error!",
        "Write key to EEPROM",
        "Set key EEPROM",
        "Set key EEPROM ok.",
        "Set key EEPROM error!",
        "Write key to card",
        "Set card key",
        "Set card key ok.",
        "Set card key error!",
        "Card data read/write test",
        "Write card data",
        "Write card data ok.",
        "Write card data error!",
        "Read card data",
        "Read card data ok.",
        "Read card data error!",
        "MIFARE card format",
        "Display",
        "System parameter setting",
        "Set language",
        "Set language ok.",
        "Set language error!",
        "Password:",
        "Set password",
        "Set password ok.",
        "Set password error!",
        "Set screen mode",
        "Set screen mode ok.",
        "Set screen mode error!",
        "Set time mode",
        "Set time mode ok.",
        "Set time mode error!",
        "Set small message",
        "Set small message ok.",
        "Set small message error!",
        "Set screen message",
        "Set screen message ok.",
        "Set screen message error!",
        "Title idel message",
        "Screen small message",
        "Set title mode",
        "Set title mode ok.",
        "Set title mode error!",
        "Set icon",
        "Set icon ok.",
        "Set icon error!",
        "Set title",
        "Set title ok.",
        "Set title error!",
        kSample,
        kSample,
        kBlank128,
        "Office Door     ",
        kBlank16,
        "Fingerprint",
        "Facility code(add fingerprint)",
        "Set facility code",
        "Set facility code ok.",
        "Set facility code error!",
        "Fingerprint no:",
        "Fingerprint ID",
        "Add fingerprint",
        "Add fingerprint ok.",
        "Add fingerprint error!",
        "Del fingerprint",
        "Del fingerprint ok.",
        "Del fingerprint error!",
        "Get fingerprint ID",
        "Get fingerprint ID ok.",
        "Get fingerprint IDe error!",
        "Set fingerprint ID",
        "Set fingerprint ID ok.",
        "Set fingerprint ID error!",
        "Set template data",
        "Set template data ok.",
        "Set template data error!",
        "Get template data",
        "Get template data ok.",
        "Get template data error!",
        "Stand alone version",
        "Sec.",
        "Set fingerprint scan mode",
        "Set scan mode",
        "Set fingerprint scan mode ok.",
        "Set fingerprint scan mode error!",
        "Set stand alone mode",
        "Set stand alone mode ok.",
        "Set stand alone mode error!",
        "Set door time",
        "Set door time ok.",
        "Set door time error!",
        "Set alarm time",
        "Set alarm time ok.",
        "Set alarm time error!",
        "Set add card",
        "Set add card ok.",
        "Set add card error!",
        "Set duress card",
        "Set duress card ok.",
        "Set duress card error!",
        "Set clear card",
        "Set clear card ok.",
        "Set clear card error!",
        "Stand alone default",
        "Set stand alone default ok.",
        "Set stand alone default error!",
        // Title icon
        "Cannot open file!",
        "Not a picture file!",
        // Card key page notice
        "Invalid access bits: sector unusable",
        "Access bits can never be changed again",
        "Not yet 8 hexadecimal digits",
        "Text is limited to %1 bytes",
        // Fingerprint template files
        "Save template...",
        "Load template...",
        "Save template ok.",
        "Save template error!",
        "Load template ok.",
        "Load template error!",
        "The file cannot be read.",
        "The file cannot be written.",
        "Not a template file.",
        "Its fingerprint no is not 000000 to 009500.",
        "A template part is missing or damaged.",
        "A template part is longer than 256 characters.",
        // File dialogs
        "Pictures",
        "Fingerprint templates",
        "All files",
        // Frame history and port diagnostics
        "&View",
        "&Frame history",
        "Frame history",
        "Clear",
        "Save",
        "Tab-separated text (*.tsv *.txt)",
        "%1 entries saved to %2",
        "Could not write %1",
        "Time",
        "Command",
        "Port",
        "Device",
        "Line settings",
        "Sent",
        "Received",
        "Outcome",
        "Reply (ms)",
        "Ok",
        "Wrong checksum",
        "Silence after %1 ms",
        "Line gone",
        "Overflow: %1 bytes without a frame",
        "Port not open",
        "Refused: command too long",
        "Port opened",
        "Port closed",
        "Port did not open",
        "%1 names no device.",
        "Choose a port from the list, or map it in TAGBENCH_PORTS.",
        "%1 does not exist: the adapter is unplugged or has another name now.",
        "Plug the adapter in again, or choose its port anew.",
        "Permission denied on %1: the user %2 is not in the group %3 that owns it.",
        "Add the user to the group: sudo usermod -aG %3 %2, then log out and in again.",
        "Permission denied on %1: the user %2 joined the group %3 after this login.",
        "Log out and in again, or start the program from: newgrp %3",
        "Permission denied on %1: only its owner may open it, the group %3 may not.",
        "Ask the administrator for a udev rule that gives the group %3 read and write.",
        "%1 is held by another program: %2 (process %3, %4).",
        "Close %2, or end it with: kill %3",
        "%1 is held by another program (%2).",
        "Close the other program that uses the port (a serial terminal, a modem manager).",
        "%1 is already open in this program.",
        "Stop the continuous card reading first.",
        "%1 is not a terminal device, so it is no serial port.",
        "Check which device the port names (TAGBENCH_PORTS or the stored extra ports).",
        "%1 vanished during the exchange: the adapter was unplugged.",
        "Plug the adapter in again and repeat the command.",
        "%1 hung up during the exchange.",
        "Check the cable and the adapter, then repeat the command.",
        "%1 did not send the frame within %2 ms: the line is stalled.",
        "Unplug the adapter and plug it in again, then repeat the command.",
        "%1 was not opened: the line settings \"%2\" are not a baud rate, parity, data bits and "
        "stop bits such as \"19200,e,8,1\".",
        "Choose the line settings from the list.",
        "%1 did not open: %2 (error %3).",
        "Check the device and its driver.",
        "%1 is not a network port address.",
        "Write it as rfc2217://HOST:PORT or socket://HOST:PORT.",
        "%1: the server name %2 is not known (%3).",
        "Check the server's name, or give its IP address instead.",
        "%1 refused the connection.",
        "Check the address and TCP port, that the server serves the serial line on that port, "
        "and that no other client has it.",
        "%1 cannot be reached: %2 (error %3).",
        "Check the server's address and port, and that the server is on the network.",
        "%1 did not answer within %2 ms.",
        "Check that the server is switched on and on the network, and that no firewall blocks "
        "the port.",
        "%1: the connection dropped during the exchange.",
        "Check the server and the network, then repeat the command.",
        "%1 accepted the connection but did not take up RFC 2217 (the COM-PORT option) within %2 "
        "ms.",
        "Set the server's port up for RFC 2217 (telnet with the COM-PORT option), or name a raw "
        "TCP port socket://HOST:PORT.",
        "&Help",
        "&About Tag Bench",
        "About Tag Bench",
        "Tag Bench %1\n\nFinds access-control card readers on serial ports, reads and changes "
        "their settings, and tests them.\n\nReleased under the MIT license.",
        "Cannot send \"%1\" (%2) in code page %3",
        "Template part %1 is empty.",
        "Template part %1 does not fit in a command.",
        "Template part %1 holds a TAB or CR, which would split the frame.",
        "%1 replies with a wrong checksum",
        "a %1 answered; use --type %1",
        "a reader answered at %1; use --settings %2",
        "a reader answered at %1, which the scan does not walk; use --settings %2 --lock",
        "TAGBENCH_PORTS: '%1' is not COMn=PATH, COMn=rfc2217://HOST:PORT nor "
        "COMn=socket://HOST:PORT",
        "%1 is a socket:// port, where the server's own line settings apply; use rfc2217:// or "
        "change the server's settings",
        "Save reader &profile...",
        "&Apply reader profile...",
        "Reader profiles (*.tbprofile *.txt)",
        "Save the keys and passwords typed too (the file is then for its owner only).",
        "Save the reader's ID and line settings too.",
        "Profile saved to %1",
        "The profile is damaged at line %1: nothing was sent.",
        "The profile is of format %1, which this program does not read: nothing was sent.",
        "The profile is for a %1 reader, the linked reader is a %2: nothing was sent.",
        "The profile names a setting this reader type does not have: %1. Nothing was sent.",
        "The profile's setting %1 has a value it does not take: %2. Nothing was sent.",
        "These settings of the reader will change:",
        "The reader already has every setting of the profile.",
        "The profile also gives the reader's ID or line settings: change them too.",
        "Reader profile applied",
        "Setting",
        "Now",
        "Profile",
        "changed",
        "unchanged",
        "failed",
        "not sent",
        "(not reported)",
    };
    QCOMPARE(expected.size(), text::kMsgCount);
    for (int i = 0; i < text::kMsgCount; ++i) {
        if (expected[i].isNull()) continue;
        QCOMPARE(text::Text(static_cast<Msg>(i), text::kEnglish), expected[i]);
    }
}

void TestCatalogue::textsFitTheirCodePage_data() {
    QTest::addColumn<int>("language");
    QTest::newRow("English in Windows-1252") << text::kEnglish;
    QTest::newRow("Simplified in GBK") << text::kSimplifiedChinese;
    QTest::newRow("Traditional in Big5") << text::kTraditionalChinese;
}

// A character the code page lacks would reach the reader as "?": a traditional character that
// Big5 lacks, or a simplified one in the traditional column. English stays plain ASCII.
void TestCatalogue::textsFitTheirCodePage() {
    QFETCH(int, language);
    for (int i = 0; i < text::kMsgCount; ++i) {
        const Msg msg = static_cast<Msg>(i);
        const QString t = text::Text(msg, language);
        const std::string bytes = platform::EncodeText(t, language);
        QVERIFY2(bytes.find('?') == std::string::npos, qPrintable(Describe(msg, language)));
        QCOMPARE(platform::DecodeText(bytes, language), t);
        if (language == text::kEnglish) {
            for (char c : bytes) {
                QVERIFY2(static_cast<unsigned char>(c) < 0x80, qPrintable(Describe(msg, language)));
            }
        }
    }
}

// GBK also holds traditional characters, so a traditional text in the simplified column would
// pass the check above; GB2312 has simplified characters only.
void TestCatalogue::simplifiedTextsAreSimplified() {
    for (int i = 0; i < text::kMsgCount; ++i) {
        const Msg msg = static_cast<Msg>(i);
        QVERIFY2(FitsCodePage(text::Text(msg, text::kSimplifiedChinese), "GB2312"),
                 qPrintable(Describe(msg, text::kSimplifiedChinese)));
    }
}

void TestCatalogue::suffixesSurviveTranslation_data() {
    QTest::addColumn<QString>("english");
    QTest::addColumn<QString>("simplified");
    QTest::addColumn<QString>("traditional");
    QTest::addColumn<int>("entries");

    QTest::newRow("success") << " ok."
                             << "完成."
                             << "完成." << 47;
    QTest::newRow("failure") << " error!"
                             << "错误!"
                             << "錯誤!" << 47;
    QTest::newRow("port number follows") << "(COM"
                                         << "(COM"
                                         << "(COM" << 2;
    QTest::newRow("in progress") << "..."
                                 << "..."
                                 << "..." << 5;
}

// Handlers append " : #3)" and the like to some texts in every language, and a success text
// must read as success in every language, a failure as failure.
void TestCatalogue::suffixesSurviveTranslation() {
    QFETCH(QString, english);
    QFETCH(QString, simplified);
    QFETCH(QString, traditional);
    QFETCH(int, entries);
    int found = 0;
    for (int i = 0; i < text::kMsgCount; ++i) {
        const Msg msg = static_cast<Msg>(i);
        if (!text::Text(msg, text::kEnglish).endsWith(english)) continue;
        ++found;
        QVERIFY2(text::Text(msg, text::kSimplifiedChinese).endsWith(simplified),
                 qPrintable(Describe(msg, text::kSimplifiedChinese)));
        QVERIFY2(text::Text(msg, text::kTraditionalChinese).endsWith(traditional),
                 qPrintable(Describe(msg, text::kTraditionalChinese)));
    }
    QCOMPARE(found, entries);
}

void TestCatalogue::sampleByteLengths_data() {
    QTest::addColumn<Msg>("msg");
    QTest::addColumn<int>("bytes");
    QTest::newRow("small message") << Msg::SampleSmallMessage << 64;
    QTest::newRow("screen message") << Msg::SampleScreenMessage << 128;
    QTest::newRow("title") << Msg::SampleTitle << 16;
    QTest::newRow("blank 128") << Msg::Blank128 << 128;
    QTest::newRow("blank 16") << Msg::Blank16 << 16;
}

// The display's fields are exactly this many bytes wide, whatever the code page.
void TestCatalogue::sampleByteLengths() {
    QFETCH(Msg, msg);
    QFETCH(int, bytes);
    for (int l = 0; l < text::kLanguageCount; ++l) {
        const QString t = text::Text(msg, l);
        QCOMPARE(platform::EncodeText(t, l).size(), static_cast<std::size_t>(bytes));
        QCOMPARE(platform::EncodedLength(t, l), static_cast<std::size_t>(bytes));
    }
}

void TestCatalogue::fonts_data() {
    QTest::addColumn<int>("language");
    QTest::addColumn<QString>("family");
    QTest::addColumn<int>("pointSize");
    QTest::addColumn<int>("charset");
    QTest::newRow("English") << 0 << "Courier New" << 10 << 0;
    QTest::newRow("Simplified") << 1 << "宋体" << 12 << 134;
    QTest::newRow("Traditional") << 2 << "細明體" << 12 << 136;
}

void TestCatalogue::fonts() {
    QFETCH(int, language);
    QFETCH(QString, family);
    QFETCH(int, pointSize);
    QFETCH(int, charset);
    const text::LanguageFont font = text::FontOf(language);
    QCOMPARE(font.family, family);
    QCOMPARE(font.pointSize, pointSize);
    QCOMPARE(font.charset, charset);
}

void TestCatalogue::languageNames_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("language");
    QTest::addColumn<bool>("roundTrip");
    QTest::newRow("English") << "English" << 0 << true;
    QTest::newRow("ChineseGB") << "ChineseGB" << 1 << true;
    QTest::newRow("ChineseBIG5") << "ChineseBIG5" << 2 << true;
    QTest::newRow("wrong case") << "chinesegb" << 0 << false;
    QTest::newRow("trailing space") << "ChineseBIG5 " << 0 << false;
    QTest::newRow("empty") << "" << 0 << false;
}

void TestCatalogue::languageNames() {
    QFETCH(QString, name);
    QFETCH(int, language);
    QFETCH(bool, roundTrip);
    QCOMPARE(text::LanguageFromName(name), language);
    if (roundTrip) QCOMPARE(text::LanguageName(language), name);
}

// Byte vectors from an independent converter, not printed by this code.
void TestCatalogue::encode_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("language");
    QTest::addColumn<QByteArray>("hex");

    QTest::newRow("empty") << "" << 0 << QByteArray();
    QTest::newRow("ascii command in GBK") << "A01B" << 1 << QByteArray("41303142");
    QTest::newRow("euro and e-acute in 1252") << "€é" << 0 << QByteArray("80E9");
    QTest::newRow("simplified in GBK") << "读卡机" << 1 << QByteArray("B6C1BFA8BBFA");
    QTest::newRow("traditional in Big5") << "讀卡機" << 2 << QByteArray("C5AAA564BEF7");
    QTest::newRow("title in GBK") << "办公室大门" << 1 << QByteArray("B0ECB9ABCAD2B4F3C3C5");
    QTest::newRow("title in Big5") << "辦公室大門" << 2 << QByteArray("BFECA4BDABC7A46AAAF9");
    QTest::newRow("chinese in 1252") << "A读B" << 0 << QByteArray("413F42");
    QTest::newRow("simplified-only in Big5") << "读卡" << 2 << QByteArray("3FA564");
    QTest::newRow("astral character is one ?") << "A\U0001F600B" << 1 << QByteArray("413F42");
    QTest::newRow("lone surrogate") << QString(QChar(0xD800)) << 1 << QByteArray("3F");
    QTest::newRow("NUL kept") << QString::fromUtf16(u"\0读", 2) << 1 << QByteArray("00B6C1");
    QTest::newRow("unknown language reads English") << "é" << 7 << QByteArray("E9");
}

void TestCatalogue::encode() {
    QFETCH(QString, text);
    QFETCH(int, language);
    QFETCH(QByteArray, hex);
    const std::string bytes = platform::EncodeText(text, language);
    QCOMPARE(Hex(bytes), hex);
    QCOMPARE(platform::EncodedLength(text, language), static_cast<std::size_t>(hex.size() / 2));
    if (!QByteArray::fromHex(hex).contains('?')) {
        QCOMPARE(platform::DecodeText(bytes, language), text);
    }
}

void TestCatalogue::decode_data() {
    QTest::addColumn<QByteArray>("hex");
    QTest::addColumn<int>("language");
    QTest::addColumn<QString>("text");

    QTest::newRow("reply frame") << QByteArray("0A4130314130300D") << 0 << "\nA01A00\r";
    QTest::newRow("GBK") << QByteArray("B6C1BFA8BBFA") << 1 << "读卡机";
    QTest::newRow("Big5") << QByteArray("C5AAA564BEF7") << 2 << "讀卡機";
    QTest::newRow("1252") << QByteArray("80E9") << 0 << "€é";
    QTest::newRow("stray lead byte keeps the CR")
        << QByteArray("41B60D") << 1 << QString::fromUtf16(u"A\uFFFD\r");
    QTest::newRow("lead byte cut off at the end")
        << QByteArray("41A4") << 2 << QString::fromUtf16(u"A\uFFFD");
    QTest::newRow("byte 1252 leaves undefined")
        << QByteArray("81") << 0 << QString::fromUtf16(u"\uFFFD");
    QTest::newRow("NUL kept") << QByteArray("00B6C1") << 1 << QString::fromUtf16(u"\0读", 2);
}

void TestCatalogue::decode() {
    QFETCH(QByteArray, hex);
    QFETCH(int, language);
    QFETCH(QString, text);
    const QByteArray bytes = QByteArray::fromHex(hex);
    const std::string_view view(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    QCOMPARE(platform::DecodeText(view, language), text);
}

QTEST_GUILESS_MAIN(TestCatalogue)
#include "tst_catalogue.moc"
