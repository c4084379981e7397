// The application shell driven as a user drives it: first start, languages, reader-type pages,
// stored settings, closing, accessibility.
#include <QAccessible>
#include <QCheckBox>
#include <QLineEdit>
#include <QScrollBar>
#include <QStatusBar>

#include "WindowFixture.h"
#include "app/widgets/ReaderTypeRow.h"
#include "text/Catalogue.h"

using text::Msg;

class TestWindow : public QObject {
    Q_OBJECT
private slots:
    void firstStartWithoutStore();
    void commandButtonsAreRefusedUntilLinked_data();
    void commandButtonsAreRefusedUntilLinked();
    void languageSwitch_data();
    void languageSwitch();
    void languageSwitchBringsFrontPageBack();
    void readerTypePages_data();
    void readerTypePages();
    void storedValues_data();
    void storedValues();
    void closingStoresTheSettings();
    void idScrollBarShowsTwoDigits();
    void everyControlIsNamedForAccessibility();
    void toneNeverHoldsTheWindow();
};

void TestWindow::firstStartWithoutStore() {
    WindowFixture f;
    app::TfrmModule& window = f.open();
    QCOMPARE(window.windowTitle(), QString("Tag Bench D0542"));
    QCOMPARE(f.control<app::ReaderTypeRow>("pcReader")->currentIndex(), 0);
    QCOMPARE(f.control<QComboBox>("cmbBaudRate")->currentText(), QString("19200,e,8,1"));
    QCOMPARE(f.control<QComboBox>("cmbPort")->currentText(), QString("COM0"));
    QCOMPARE(f.text("pnMsg"), QString("Start select reader type."));
    QCOMPARE(f.text("pnSerial"), QString("S/N : ________"));
    QCOMPARE(f.text("pnVersion"), QString("VER : __.__-__"));
    QCOMPARE(f.commLamp(), app::kLampRed);
    QVERIFY(!window.linked());
    QCOMPARE(window.startCharacter(), std::string("A"));
    QVERIFY(f.control<QCheckBox>("chkLock")->isChecked());
    QCOMPARE(f.text("pnID"), QString("01"));
    QCOMPARE(window.size().width(), 771);
    QCOMPARE(window.centralWidget()->height() + window.statusBar()->height(), 630);
}

void TestWindow::commandButtonsAreRefusedUntilLinked_data() {
    QTest::addColumn<QString>("button");
    for (const char* name : {"btnID", "btnBaudRate", "btnMode", "btnGetMode", "btnCardType",
                             "btnCardRead", "btnKeyParity", "btnGetKeyParity", "btnKeyNumber",
                             "btnGetKeyNumber", "btnKeyStatus", "btnGetKeyStatus"})
        QTest::newRow(name) << name;
}

void TestWindow::commandButtonsAreRefusedUntilLinked() {
    QFETCH(QString, button);
    WindowFixture f;
    app::TfrmModule& window = f.open();
    f.control<app::Lamp>("shComm")->setColor(app::kLampYellow);
    // Bring the button's function page to the front, as a user would.
    auto* pages = f.control<QTabWidget>("pcOther");
    for (int i = 0; i < pages->count(); ++i) {
        if (pages->widget(i)->isAncestorOf(f.control(button.toLatin1().constData()))) {
            pages->setTabVisible(i, true);
            pages->setCurrentIndex(i);
        }
    }
    f.click(button.toLatin1().constData());
    QCOMPARE(f.commLamp(), app::kLampRed);
    QCOMPARE(f.tones, (std::vector<Tone>{{300, 300}}));
    QCOMPARE(f.text("pnMsg"), QString("Start select reader type."));
    QVERIFY(window.isEnabled());
    QVERIFY(QApplication::overrideCursor() == nullptr);
}

void TestWindow::languageSwitch_data() {
    QTest::addColumn<QString>("menu");
    QTest::addColumn<int>("language");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("family");
    QTest::addColumn<int>("points");
    QTest::addColumn<int>("charset");
    QTest::newRow("simplified") << "mnuSimplified" << 1 << "ChineseGB" << QString::fromUtf8("宋体")
                                << 12 << 134;
    QTest::newRow("traditional") << "mnuTraditional" << 2 << "ChineseBIG5"
                                 << QString::fromUtf8("細明體") << 12 << 136;
    QTest::newRow("english") << "mnuEnglish" << 0 << "English"
                             << "Courier New" << 10 << 0;
}

void TestWindow::languageSwitch() {
    QFETCH(QString, menu);
    QFETCH(int, language);
    QFETCH(QString, stored);
    QFETCH(QString, family);
    QFETCH(int, points);
    QFETCH(int, charset);
    WindowFixture f;
    if (language == 0) f.store().writeString(f.section(), "LanguageFlag", "ChineseGB");
    app::TfrmModule& window = f.open();
    f.control<QLabel>("pnSerial")->setText("S/N : 12345678");
    f.action(menu.toLatin1().constData())->trigger();

    QCOMPARE(window.language(), language);
    QCOMPARE(window.windowTitle(), text::Text(Msg::WindowTitle, language));
    QCOMPARE(window.font().family(), family);
    QCOMPARE(window.font().pointSize(), points);
    QCOMPARE(window.property("charset").toInt(), charset);
    QCOMPARE(f.text("pnSerial"), text::Text(Msg::SerialNumber, language) + " : ________");
    QCOMPARE(f.text("pnMsg"), text::Text(Msg::StartSelectReaderType, language));
    QCOMPARE(f.control<QPushButton>("btnScan")->text(), text::Text(Msg::ScanReader, language));
    QCOMPARE(f.control<QLabel>("lblCom")->text(), text::Text(Msg::SerialPort, language) + ":");
    QCOMPARE(f.store().readString(f.section(), "LanguageFlag").value, stored);
    // Each language item shows its own language, whatever the current one.
    QCOMPARE(f.action("mnuSimplified")->text(), QString::fromUtf8("&Simplified chinese(简体)"));
    QCOMPARE(f.action("mnuTraditional")->text(), QString::fromUtf8("&Traditional chinese(繁體)"));
    QCOMPARE(f.action("mnuEnglish")->text(), QString("&English"));
    QVERIFY(f.action(menu.toLatin1().constData())->isChecked());
}

void TestWindow::languageSwitchBringsFrontPageBack() {
    WindowFixture f;
    f.open();
    QTest::mouseClick(f.control<app::ReaderTypeRow>("pcReader")->button(1), Qt::LeftButton);
    f.control<QTabWidget>("pcOther")->setCurrentWidget(f.control("tsCommand"));
    f.action("mnuTraditional")->trigger();
    QCOMPARE(f.control<app::ReaderTypeRow>("pcReader")->currentIndex(), 1);
    QCOMPARE(f.frontPage(), QString("tsKeypad"));
}

void TestWindow::readerTypePages_data() {
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("start");
    QTest::addColumn<QStringList>("shown");
    QTest::addColumn<QString>("front");
    const auto row = [](const char* name, int type, const char* start, QStringList shown,
                        const char* front) {
        shown << "tsCommand";
        QTest::newRow(name) << type << start << shown << front;
    };
    row("PX10", 0, "A", {"tsEM"}, "tsEM");
    row("PX40", 1, "H", {"tsEM", "tsKeypad"}, "tsKeypad");
    row("PX30M", 2, "A", {"tsMifare", "tsMifareKey"}, "tsMifare");
    row("PX40M", 3, "H", {"tsMifare", "tsMifareKey", "tsKeypad"}, "tsMifare");
    row("PX50", 4, "J", {"tsEM", "tsKeypad", "tsDisplay"}, "tsDisplay");
    row("PX50M", 5, "J", {"tsMifare", "tsMifareKey", "tsKeypad", "tsDisplay"}, "tsDisplay");
    row("PX60", 6, "I", {"tsEM", "tsFingerprint"}, "tsFingerprint");
    row("PX60M", 7, "I", {"tsMifare", "tsMifareKey", "tsFingerprint"}, "tsFingerprint");
    row("none (stored Type 9)", 9, "A", {}, "tsCommand");
}

void TestWindow::readerTypePages() {
    QFETCH(int, type);
    QFETCH(QString, start);
    QFETCH(QStringList, shown);
    QFETCH(QString, front);
    WindowFixture f;
    if (type > 7) f.store().writeInt(f.section(), "Type", type);
    app::TfrmModule& window = f.open();
    auto* row = f.control<app::ReaderTypeRow>("pcReader");
    if (type <= 7) {
        // Start elsewhere so that the click really changes the page.
        QTest::mouseClick(row->button(type == 0 ? 7 : 0), Qt::LeftButton);
        QTest::mouseClick(row->button(type), Qt::LeftButton);
    }
    QCOMPARE(row->currentIndex(), type <= 7 ? type : -1);
    QCOMPARE(QString::fromStdString(window.startCharacter()), start);
    QCOMPARE(f.visiblePages(), shown);
    QCOMPARE(f.frontPage(), front);
}

void TestWindow::storedValues_data() {
    QTest::addColumn<QStringList>("lines");  // key=value, integers as "i:N"
    QTest::addColumn<QString>("port");
    QTest::addColumn<QString>("lineSettings");
    QTest::addColumn<int>("listIndex");
    QTest::addColumn<int>("language");
    QTest::newRow("all stored") << QStringList{"Type=i:3", "ScanCommNo=i:12",
                                               "ScanBaudRate=9600,n,8,1", "ScanBaudRateNo=i:2",
                                               "LanguageFlag=ChineseBIG5"}
                                << "COM12"
                                << "9600,n,8,1" << 2 << 2;
    QTest::newRow("language name in wrong case") << QStringList{"LanguageFlag=chinesegb"} << "COM0"
                                                 << "19200,e,8,1" << 5 << 0;
    QTest::newRow("port stored as a string ends the load")
        << QStringList{"ScanCommNo=COM3", "ScanBaudRate=9600,n,8,1", "LanguageFlag=ChineseGB"}
        << "COM0"
        << "19200,e,8,1" << 5 << 0;
    QTest::newRow("index outside the list keeps the text")
        << QStringList{"ScanCommNo=i:4", "ScanBaudRate=38400,e,8,1", "ScanBaudRateNo=i:20"}
        << "COM4"
        << "38400,e,8,1" << 5 << 0;
}

void TestWindow::storedValues() {
    QFETCH(QStringList, lines);
    QFETCH(QString, port);
    QFETCH(QString, lineSettings);
    QFETCH(int, listIndex);
    QFETCH(int, language);
    WindowFixture f;
    for (const QString& line : lines) {
        const QString key = line.section('=', 0, 0);
        const QString value = line.section('=', 1);
        if (value.startsWith("i:"))
            f.store().writeInt(f.section(), key, value.mid(2).toInt());
        else
            f.store().writeString(f.section(), key, value);
    }
    app::TfrmModule& window = f.open();
    QCOMPARE(f.control<QComboBox>("cmbPort")->currentText(), port);
    QCOMPARE(QString::fromStdString(window.lineSettings()), lineSettings);
    QCOMPARE(f.control<QComboBox>("cmbBaudRate")->currentIndex(), listIndex);
    QCOMPARE(window.lineSettingsIndex(), listIndex);
    QCOMPARE(window.language(), language);
}

void TestWindow::closingStoresTheSettings() {
    WindowFixture f;
    f.open();
    QTest::mouseClick(f.control<app::ReaderTypeRow>("pcReader")->button(6), Qt::LeftButton);
    QVERIFY(f.closeByUser());
    QCOMPARE(f.store().readInt(f.section(), "Type").value, 6);
    QCOMPARE(f.store().readInt(f.section(), "ScanCommNo").value, 0);
    QCOMPARE(f.store().readInt(f.section(), "ScanBaudRateNo").value, 5);
    QCOMPARE(f.store().readString(f.section(), "ScanBaudRate").value, QString("19200,e,8,1"));
}

void TestWindow::idScrollBarShowsTwoDigits() {
    WindowFixture f;
    f.open();
    auto* id = f.control<QScrollBar>("sbID");
    id->setValue(7);
    QCOMPARE(f.text("pnID"), QString("07"));
    id->setValue(99);
    QCOMPARE(f.text("pnID"), QString("99"));
    id->setValue(0);
    QCOMPARE(id->value(), 1);
    QCOMPARE(f.text("pnID"), QString("01"));
    QTest::keyClick(id, Qt::Key_PageDown);
    QCOMPARE(f.text("pnID"), QString("11"));
}

void TestWindow::everyControlIsNamedForAccessibility() {
    WindowFixture f;
    app::TfrmModule& window = f.open();
    f.action("mnuSimplified")->trigger();
    int inputs = 0;
    for (QWidget* widget : window.findChildren<QWidget*>()) {
        const QString name = widget->objectName();
        if (name.isEmpty() || name.startsWith("qt_")) continue;
        const bool ours = widget->accessibleDescription() == name;
        const bool input = qobject_cast<QLineEdit*>(widget) || qobject_cast<QScrollBar*>(widget) ||
                           qobject_cast<QComboBox*>(widget) || qobject_cast<QCheckBox*>(widget);
        if (!ours) continue;
        if (input) {
            ++inputs;
            QVERIFY2(!widget->accessibleName().isEmpty(), qPrintable(name));
        }
    }
    QVERIFY(inputs >= 5);
    QCOMPARE(f.control("sbID")->accessibleName(), text::Text(Msg::Id, 1) + ":");
    QCOMPARE(f.control("cmbPort")->accessibleName(), text::Text(Msg::SerialPort, 1) + ":");

    // A panel is read out with the text it shows now, not the one it had when named.
    f.control<QLabel>("pnMsg")->setText("Set ID ok.");
    QAccessibleInterface* panel = QAccessible::queryAccessibleInterface(f.control("pnMsg"));
    QVERIFY(panel);
    QCOMPARE(panel->text(QAccessible::Name), QString("Set ID ok."));
}

void TestWindow::toneNeverHoldsTheWindow() {
    // With or without an audio device here, a long tone must not block its caller.
    auto tones = platform::MakeAudioToneGenerator();
    QElapsedTimer clock;
    clock.start();
    tones->Beep(1000, 5000);
    tones->Beep(300, 5000);  // cuts the first one short
    QVERIFY(clock.elapsed() < 2500);
    tones.reset();
}

QTEST_MAIN(TestWindow)
#include "tst_window.moc"
