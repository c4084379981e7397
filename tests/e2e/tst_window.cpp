// The application shell driven as a user drives it: first start, languages, reader-type pages,
// the default button, texts for the reader, stored settings, closing, accessibility.
#include <QAbstractItemView>
#include <QAccessible>
#include <QCheckBox>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QMenuBar>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTabBar>

#include "WindowFixture.h"
#include "app/Controls.h"
#include "text/Catalogue.h"

using commands::ReaderType;
using text::Msg;

class TestWindow : public QObject {
    Q_OBJECT
private slots:
    void firstStartWithoutStore();
    void everyActionRunsFromItsButtons_data();
    void everyActionRunsFromItsButtons();
    void languageSwitch_data();
    void languageSwitch();
    void languageSwitchBringsFrontPageBack();
    void languageIsAppliedBeforeTheWindowIsShown_data();
    void languageIsAppliedBeforeTheWindowIsShown();
    void controlsAreBuiltWithTheirEnglishCaptions();
    void clientAreaInEveryLanguage_data();
    void clientAreaInEveryLanguage();
    void readerTypePages_data();
    void readerTypePages();
    void clickOnTheSelectedTypeChangesNothing_data();
    void clickOnTheSelectedTypeChangesNothing();
    void enterRunsTheScanOnlyWhenNoControlTakesIt_data();
    void enterRunsTheScanOnlyWhenNoControlTakesIt();
    void frameCharactersNeverReachTheReaderTexts_data();
    void frameCharactersNeverReachTheReaderTexts();
    void everyReaderTextKeepsFrameCharactersOut();
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
    QCOMPARE(f.control<app::ReaderTypeRow>("pcReader")->currentIndex(),
             commands::IndexOf(ReaderType::PX10));
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

// Every reader action runs from its buttons, and is refused there until a reader is linked.
void TestWindow::everyActionRunsFromItsButtons_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("action");
    for (const actions::ActionInfo& info : actions::Table()) {
        QVERIFY2(!info.buttons.empty(), info.name);
        for (const char* button : info.buttons)
            QTest::newRow(button) << button << static_cast<int>(info.id);
    }
}

void TestWindow::everyActionRunsFromItsButtons() {
    QFETCH(QString, button);
    QFETCH(int, action);
    WindowFixture f;
    app::TfrmModule& window = f.open();
    f.control<app::Lamp>("shComm")->setColor(app::kLampYellow);
    auto* control = f.control<QPushButton>(button);
    QVERIFY(control);
    // Bring the button's function page forward, and show any group that starts hidden, so
    // that the click lands on a visible button as the user's would.
    auto* pages = f.control<QTabWidget>("pcOther");
    for (int i = 0; i < pages->count(); ++i) {
        if (pages->widget(i)->isAncestorOf(control)) {
            pages->setTabVisible(i, true);
            pages->setCurrentIndex(i);
        }
    }
    for (QWidget* up = control; up && up != &window; up = up->parentWidget())
        if (up->isHidden()) up->show();
    QVERIFY(control->isVisible() && control->isEnabled());
    std::vector<int> performed;
    actions::SetPerformObserver(
        [&](actions::ActionId id) { performed.push_back(static_cast<int>(id)); });
    QTest::mouseClick(control, Qt::LeftButton);
    actions::SetPerformObserver({});
    QCOMPARE(performed, std::vector<int>{action});
    QVERIFY(window.isEnabled());
    QVERIFY(QApplication::overrideCursor() == nullptr);
    if (!actions::Describe(static_cast<actions::ActionId>(action)).needsLink) return;
    QCOMPARE(f.commLamp(), app::kLampRed);
    QCOMPARE(f.tones, (std::vector<Tone>{{300, 300}}));
    QCOMPARE(f.text("pnMsg"), QString("Start select reader type."));
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
    f.selectReaderType(ReaderType::PX40);
    f.control<QTabWidget>("pcOther")->setCurrentWidget(f.control("tsCommand"));
    f.switchLanguage("mnuTraditional");
    QCOMPARE(f.control<app::ReaderTypeRow>("pcReader")->currentIndex(),
             commands::IndexOf(ReaderType::PX40));
    QCOMPARE(f.frontPage(), QString("tsKeypad"));
}

void TestWindow::languageIsAppliedBeforeTheWindowIsShown_data() {
    QTest::addColumn<QString>("stored");
    QTest::addColumn<int>("language");
    QTest::newRow("English") << "English" << int(text::kEnglish);
    QTest::newRow("ChineseGB") << "ChineseGB" << int(text::kSimplifiedChinese);
    QTest::newRow("ChineseBIG5") << "ChineseBIG5" << int(text::kTraditionalChinese);
}

// No frame ever shows the layout's captions: when the window system is handed the window, it
// already has the catalogue's title and captions and its final size.
void TestWindow::languageIsAppliedBeforeTheWindowIsShown() {
    QFETCH(QString, stored);
    QFETCH(int, language);
    struct Mapped : QObject {
        QString caption;
        QString title;
        QSize size;
        bool eventFilter(QObject* watched, QEvent* event) override {
            if (event->type() != QEvent::Show || !watched->isWindowType() || !caption.isNull())
                return false;
            for (QWidget* top : QApplication::topLevelWidgets()) {
                if (top->windowHandle() == watched && top->objectName() == "frmModule") {
                    caption = top->findChild<QPushButton*>("btnScan")->text();
                    title = top->windowTitle();
                    size = top->size();
                }
            }
            return false;
        }
    } mapped;
    qApp->installEventFilter(&mapped);
    WindowFixture f;
    f.store().writeString(f.section(), "LanguageFlag", stored);
    app::TfrmModule& window = f.open();
    qApp->removeEventFilter(&mapped);
    QCOMPARE(mapped.caption, text::Text(Msg::ScanReader, language));
    QCOMPARE(mapped.title, text::Text(Msg::WindowTitle, language));
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QCOMPARE(mapped.size, window.size());
}

// Each translated control is built with its caption from the captions table, so the table's
// names all exist and no builder keeps a second English text.
void TestWindow::controlsAreBuiltWithTheirEnglishCaptions() {
    WindowFixture f;
    f.build();
    const auto* pages = f.control<QTabWidget>("pcOther");
    for (const char* name : app::TranslatedControls()) {
        const QWidget* control = f.control(name);
        QVERIFY2(control, name);
        const int tab = pages->indexOf(control);
        const QString shown = tab >= 0 ? pages->tabText(tab) : CaptionOf(control);
        QVERIFY2(shown == app::EnglishCaption(name),
                 qPrintable(QString("%1: %2").arg(name, shown)));
    }
}

void TestWindow::clientAreaInEveryLanguage_data() {
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QStringList>("switches");  // language menu items chosen one after another
    QTest::newRow("English") << "English" << QStringList{"mnuSimplified", "mnuEnglish"};
    QTest::newRow("ChineseGB") << "ChineseGB" << QStringList{"mnuTraditional", "mnuEnglish"};
    QTest::newRow("ChineseBIG5") << "ChineseBIG5" << QStringList{"mnuEnglish", "mnuSimplified"};
}

// The client area below the menu bar is 771 x 630 whatever font the language gives the menu.
void TestWindow::clientAreaInEveryLanguage() {
    QFETCH(QString, stored);
    QFETCH(QStringList, switches);
    WindowFixture f;
    f.store().writeString(f.section(), "LanguageFlag", stored);
    app::TfrmModule& window = f.open();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    for (int step = 0; step <= switches.size(); ++step) {
        if (step > 0) f.switchLanguage(switches[step - 1].toLatin1().constData());
        QTRY_COMPARE(window.height() - window.menuBar()->height(), 630);
        QCOMPARE(window.width(), 771);
        QCOMPARE(window.centralWidget()->height() + window.statusBar()->height(), 630);
        QCOMPARE(window.menuBar()->y(), 0);
        QCOMPARE(window.centralWidget()->y(), window.menuBar()->height());
    }
}

void TestWindow::readerTypePages_data() {
    QTest::addColumn<int>("type");  // row index, outside the row for a stored unknown type
    QTest::addColumn<QString>("start");
    QTest::addColumn<QStringList>("shown");
    QTest::addColumn<QString>("front");
    const auto row = [](ReaderType type, const char* start, QStringList shown, const char* front) {
        shown << "tsCommand";
        QTest::newRow(commands::Info(type).name)
            << commands::IndexOf(type) << start << shown << front;
    };
    row(ReaderType::PX10, "A", {"tsEM"}, "tsEM");
    row(ReaderType::PX40, "H", {"tsEM", "tsKeypad"}, "tsKeypad");
    row(ReaderType::PX30M, "A", {"tsMifare", "tsMifareKey"}, "tsMifare");
    row(ReaderType::PX40M, "H", {"tsMifare", "tsMifareKey", "tsKeypad"}, "tsMifare");
    row(ReaderType::PX50, "J", {"tsEM", "tsKeypad", "tsDisplay"}, "tsDisplay");
    row(ReaderType::PX50M, "J", {"tsMifare", "tsMifareKey", "tsKeypad", "tsDisplay"}, "tsDisplay");
    row(ReaderType::PX60, "I", {"tsEM", "tsFingerprint"}, "tsFingerprint");
    row(ReaderType::PX60M, "I", {"tsMifare", "tsMifareKey", "tsFingerprint"}, "tsFingerprint");
    QTest::newRow("none (stored Type 9)") << 9 << "A" << QStringList{"tsCommand"} << "tsCommand";
}

void TestWindow::readerTypePages() {
    QFETCH(int, type);
    QFETCH(QString, start);
    QFETCH(QStringList, shown);
    QFETCH(QString, front);
    WindowFixture f;
    const auto chosen = commands::ReaderTypeAt(type);
    if (!chosen) f.store().writeInt(f.section(), "Type", type);
    app::TfrmModule& window = f.open();
    if (chosen) {
        // Start elsewhere so that the click really changes the page.
        f.selectReaderType(*chosen == ReaderType::PX10 ? ReaderType::PX60M : ReaderType::PX10);
        f.selectReaderType(*chosen);
    }
    QCOMPARE(f.control<app::ReaderTypeRow>("pcReader")->currentIndex(), chosen ? type : -1);
    QCOMPARE(QString::fromStdString(window.startCharacter()), start);
    QCOMPARE(f.visiblePages(), shown);
    QCOMPARE(f.frontPage(), front);
}

void TestWindow::clickOnTheSelectedTypeChangesNothing_data() {
    QTest::addColumn<bool>("byKey");
    QTest::newRow("mouse") << false;
    QTest::newRow("space bar") << true;
}

// The user may have turned to another function page; choosing the type already chosen must
// not bring the front page back.
void TestWindow::clickOnTheSelectedTypeChangesNothing() {
    QFETCH(bool, byKey);
    WindowFixture f;
    f.open();
    f.selectReaderType(ReaderType::PX40);
    auto* pages = f.control<QTabWidget>("pcOther");
    QTest::mouseClick(pages->tabBar(), Qt::LeftButton, {},
                      pages->tabBar()->tabRect(pages->indexOf(f.control("tsCommand"))).center());
    QCOMPARE(f.frontPage(), QString("tsCommand"));
    auto* row = f.control<app::ReaderTypeRow>("pcReader");
    QSignalSpy changes(row, &app::ReaderTypeRow::currentChanged);
    QAbstractButton* selected = row->button(commands::IndexOf(ReaderType::PX40));
    if (byKey)
        QTest::keyClick(selected, Qt::Key_Space);
    else
        QTest::mouseClick(selected, Qt::LeftButton);
    QCOMPARE(changes.count(), 0);
    QCOMPARE(row->currentIndex(), commands::IndexOf(ReaderType::PX40));
    QCOMPARE(f.frontPage(), QString("tsCommand"));
    // Another type still changes the pages.
    f.selectReaderType(ReaderType::PX10);
    QCOMPARE(changes.count(), 1);
    QCOMPARE(f.frontPage(), QString("tsEM"));
}

void TestWindow::enterRunsTheScanOnlyWhenNoControlTakesIt_data() {
    QTest::addColumn<bool>("openList");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("lineSettingsIndex");
    QTest::addColumn<bool>("scans");
    QTest::newRow("Return picks an item of the open list")
        << true << int(Qt::Key_Return) << 6 << false;
    QTest::newRow("keypad Enter picks an item of the open list")
        << true << int(Qt::Key_Enter) << 6 << false;
    QTest::newRow("Return on the closed list scans") << false << int(Qt::Key_Return) << 5 << true;
    QTest::newRow("keypad Enter on the closed list scans")
        << false << int(Qt::Key_Enter) << 5 << true;
}

// Keys go to the window as the keyboard sends them, so an open list gets them first.
void TestWindow::enterRunsTheScanOnlyWhenNoControlTakesIt() {
    QFETCH(bool, openList);
    QFETCH(int, key);
    QFETCH(int, lineSettingsIndex);
    QFETCH(bool, scans);
    WindowFixture f;
    app::TfrmModule& window = f.open();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    auto* list = f.control<QComboBox>("cmbBaudRate");
    QWindow* keyboard = window.windowHandle();
    const Qt::KeyboardModifiers modifiers =
        key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier;
    if (openList) {
        QTest::mouseClick(list, Qt::LeftButton);
        QTRY_VERIFY(list->view()->isVisible());
        QTest::keyClick(keyboard, Qt::Key_Down);
    } else {
        list->setFocus();
    }
    QTest::keyClick(keyboard, Qt::Key(key), modifiers);
    QTRY_VERIFY(!list->view()->isVisible());
    QCOMPARE(list->currentIndex(), lineSettingsIndex);
    QCOMPARE(f.text("pnMsg"),
             scans ? QString("Reader not find") : QString("Start select reader type."));
    QCOMPARE(f.tones.empty(), !scans);
}

void TestWindow::frameCharactersNeverReachTheReaderTexts_data() {
    QTest::addColumn<QString>("page");
    QTest::addColumn<QString>("edit");
    QTest::addColumn<QString>(
        "how");  // "typed" key by key, "committed" by an input method, "pasted"
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("kept");
    QTest::newRow("title pasted over two lines") << "tsDisplay"
                                                 << "edTitle1"
                                                 << "pasted"
                                                 << "Office\r\nDoor"
                                                 << "OfficeDoor";
    QTest::newRow("screen message pasted with a tab") << "tsDisplay"
                                                      << "edScreenMessage"
                                                      << "pasted"
                                                      << "Hello\tworld\n"
                                                      << "Helloworld";
    QTest::newRow("command test pasted") << "tsCommand"
                                         << "edTest"
                                         << "pasted"
                                         << "\tH1\r"
                                         << "H1";
    QTest::newRow("command test from an input method") << "tsCommand"
                                                       << "edTest2"
                                                       << "committed"
                                                       << "00H\n1"
                                                       << "00H1";
    QTest::newRow("template part without a byte limit") << "tsFingerprint"
                                                        << "edF2"
                                                        << "pasted"
                                                        << "0A\r\n0B\r\n"
                                                        << "0A0B";
    QTest::newRow("MIFARE key typed") << "tsMifare"
                                      << "edM1Key"
                                      << "typed"
                                      << "AB\tCD\rEF\n01"
                                      << "ABCDEF01";
    QTest::newRow("fingerprint ID typed") << "tsFingerprint"
                                          << "edCard"
                                          << "committed"
                                          << "12\t34"
                                          << "1234";
}

// TAB opens a command frame and CR ends it: inside a text they would break the frame.
void TestWindow::frameCharactersNeverReachTheReaderTexts() {
    QFETCH(QString, page);
    QFETCH(QString, edit);
    QFETCH(QString, how);
    QFETCH(QString, input);
    QFETCH(QString, kept);
    WindowFixture f;
    f.open();
    f.showPage(page.toLatin1().constData());
    auto* box = f.control<QLineEdit>(edit);
    box->setFocus();
    box->selectAll();
    QTest::keyClick(box, Qt::Key_Delete);
    if (how == "pasted") {
        QGuiApplication::clipboard()->setText(input);
        QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
    } else if (how == "committed") {
        QInputMethodEvent commit;
        commit.setCommitString(input);
        QApplication::sendEvent(box, &commit);
    } else {
        TypeText(box, input);
    }
    QCOMPARE(box->text(), kept);
}

// Every edit box a user types into on the function pages keeps the frame characters out.
void TestWindow::everyReaderTextKeepsFrameCharactersOut() {
    WindowFixture f;
    f.open();
    QStringList edits;
    for (auto* edit : f.control("pcOther")->findChildren<QLineEdit*>()) {
        if (edit->objectName().isEmpty() || edit->isReadOnly()) continue;
        edits << edit->objectName();
        edit->setText("1\t2\r3\n4");
        QVERIFY2(!edit->text().contains('\t') && !edit->text().contains('\r') &&
                     !edit->text().contains('\n'),
                 qPrintable(edit->objectName()));
    }
    QVERIFY2(edits.size() >= 20, qPrintable(edits.join(' ')));
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
    f.selectReaderType(ReaderType::PX60);
    QVERIFY(f.closeByUser());
    QCOMPARE(f.store().readInt(f.section(), "Type").value, commands::IndexOf(ReaderType::PX60));
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
