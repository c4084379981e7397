// The command tests, reboot and factory default in the window, against simulated readers.
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QScrollBar>
#include <QTabWidget>

#include "SimLines.h"
#include "WindowFixture.h"
#include "app/widgets/ReaderTypeRow.h"
#include "commands/ReaderTypes.h"

using commands::IndexOf;
using commands::ReaderType;
using tbsim::ReaderKind;
using Commands = std::vector<std::string>;

namespace {

void SelectType(WindowFixture& f, ReaderType type) {
    QTest::mouseClick(f.control<app::ReaderTypeRow>("pcReader")->button(IndexOf(type)),
                      Qt::LeftButton);
}

void ShowCommonPage(WindowFixture& f) {
    auto* pages = f.control<QTabWidget>("pcOther");
    pages->setCurrentWidget(f.control("tsCommand"));
}

void Link(WindowFixture& f, const char* port, int id, int lineSettingsIndex = 5) {
    f.control<QComboBox>("cmbPort")->setEditText(port);
    f.control<QComboBox>("cmbBaudRate")->setCurrentIndex(lineSettingsIndex);
    f.control<QScrollBar>("sbID")->setValue(id);
    f.click("btnLink");
}

int Item(WindowFixture& f, const char* list) { return f.control<QComboBox>(list)->currentIndex(); }
int Position(WindowFixture& f, const char* bar) { return f.control<QScrollBar>(bar)->value(); }

}  // namespace

class TestUtility : public QObject {
    Q_OBJECT
private slots:
    void commandTestWithoutLinkTakesTheControls();
    void portTextWithoutNumberUsesPortOne();
    void secondTestCarriesItsOwnAddress();
    void rebootNeedsALink();
    void factoryDefaultResetsTheControls();
    void factoryDefaultWithoutReaderTypeSendsNothing();
};

void TestUtility::commandTestWithoutLinkTakesTheControls() {
    SimLines lines;
    lines.add();
    lines.add();
    tbsim::SimLine& com3 = lines.add();
    lines.addReader(com3, ReaderKind::PX10, 7, "9600,n,8,1");
    WindowFixture f;
    app::TfrmModule& window = f.open(lines.ports());
    f.control<QComboBox>("cmbPort")->setEditText("COM3");
    f.control<QComboBox>("cmbBaudRate")->setCurrentIndex(2);  // 9600,n,8,1
    f.control<QScrollBar>("sbID")->setValue(7);
    f.control<QLineEdit>("edTest")->setText("V");
    ShowCommonPage(f);
    f.click("btnTest");
    QCOMPARE(com3.receivedCommands(), (Commands{"A07V"}));
    QCOMPARE(f.text("pnMsg"), QString("Command test ok."));
    QCOMPARE(f.commLamp(), app::kLampYellow);
    QCOMPARE(f.tones.back(), (Tone{1000, 300}));
    // The version the reader answered, readable without the echo.
    QCOMPARE(f.control<QLabel>("pnMsg")->toolTip(),
             QString::fromStdString(tbsim::DefaultVersion(ReaderKind::PX10)));
    // The window keeps what it took, index and text as one pair; it is still not linked.
    QCOMPARE(window.portNumber(), 3);
    QCOMPARE(window.lineSettingsIndex(), 2);
    QCOMPARE(window.lineSettings(), std::string("9600,n,8,1"));
    QCOMPARE(window.readerId(), std::string("07"));
    QVERIFY(!window.linked());
    QVERIFY(window.isEnabled());
}

void TestUtility::portTextWithoutNumberUsesPortOne() {
    SimLines lines;
    tbsim::SimLine& com1 = lines.add();
    WindowFixture f;
    app::TfrmModule& window = f.open(lines.ports());
    f.control<QComboBox>("cmbPort")->setEditText("ttyUSB0");
    ShowCommonPage(f);
    f.click("btnTest");
    // Nobody answers on COM1, but that is where the test went.
    QCOMPARE(com1.receivedCommands(), (Commands{"A01H1"}));
    QCOMPARE(f.text("pnMsg"), QString("Command test error!"));
    QCOMPARE(f.commLamp(), app::kLampRed);
    QCOMPARE(window.portNumber(), 1);
}

void TestUtility::secondTestCarriesItsOwnAddress() {
    SimLines lines;
    tbsim::SimLine& line = lines.add();
    lines.addReader(line, ReaderKind::PX40, 5);
    WindowFixture f;
    app::TfrmModule& window = f.open(lines.ports());
    SelectType(f, ReaderType::PX40);
    Link(f, "COM1", 5);
    QVERIFY(window.linked());
    line.clearLog();
    ShowCommonPage(f);
    f.click("btnTest2");
    QCOMPARE(line.receivedCommands(), (Commands{"H00H1"}));
    QCOMPARE(window.readerId(), std::string("05"));
}

void TestUtility::rebootNeedsALink() {
    SimLines lines;
    tbsim::SimLine& line = lines.add();
    lines.addReader(line, ReaderKind::PX10, 1);
    WindowFixture f;
    f.open(lines.ports());
    ShowCommonPage(f);
    f.click("btnReboot");
    QVERIFY(line.receivedCommands().empty());
    QCOMPARE(f.commLamp(), app::kLampRed);
    QCOMPARE(f.tones.back(), (Tone{300, 300}));

    Link(f, "COM1", 1);
    line.clearLog();
    ShowCommonPage(f);
    f.click("btnReboot");
    QCOMPARE(line.receivedCommands(), (Commands{"A01HR"}));
    QCOMPARE(f.text("pnMsg"), QString("Set reboot ok."));
}

void TestUtility::factoryDefaultResetsTheControls() {
    SimLines lines;
    tbsim::SimLine& line = lines.add();
    lines.addReader(line, ReaderKind::PX40M, 5);
    WindowFixture f;
    app::TfrmModule& window = f.open(lines.ports());
    SelectType(f, ReaderType::PX40M);
    Link(f, "COM1", 5);
    QVERIFY(window.linked());
    f.control<QComboBox>("cmbMode")->setCurrentIndex(1);
    f.control<QComboBox>("cmbRS485")->setCurrentIndex(3);
    f.control<QComboBox>("cmbKeyParity")->setCurrentIndex(1);
    f.control<QScrollBar>("sbKeyNumber")->setValue(9);
    f.control<QScrollBar>("sbKeyStatusNumber")->setValue(2);
    f.control<QScrollBar>("sbKeyDelayTime")->setValue(40);
    f.control<QScrollBar>("sbM1IDSector")->setValue(12);
    f.control<QRadioButton>("rbM1IDKeyB")->setChecked(true);
    f.control<QComboBox>("cmbM1IDKeyErr")->setCurrentIndex(3);
    f.control<QComboBox>("cmbBaudRate")->setCurrentIndex(8);
    line.clearLog();
    ShowCommonPage(f);
    f.click("btnFactory");
    QCOMPARE(f.text("pnMsg"), QString("Set factory default ok."));
    QCOMPARE(line.receivedCommands(),
             (Commands{"H05B", "H05C" + std::string("CAFE0042") + "01", "H01A001", "H01L04",
                       "H01M0", "H01N0003", "H01a0000000001", "H01E5"}));
    QCOMPARE(window.readerId(), std::string("01"));
    QCOMPARE(f.text("pnID"), QString("01"));
    QCOMPARE(Item(f, "cmbBaudRate"), 5);
    QCOMPARE(Item(f, "cmbMode"), 0);
    QCOMPARE(Item(f, "cmbRS485"), 1);
    QCOMPARE(Item(f, "cmbKeyParity"), 0);
    QCOMPARE(Position(f, "sbKeyNumber"), 4);
    QCOMPARE(Position(f, "sbKeyStatusNumber"), 0);
    QCOMPARE(Position(f, "sbKeyDelayTime"), 3);
    QCOMPARE(Position(f, "sbM1IDSector"), 0);
    QVERIFY(f.control<QRadioButton>("rbM1IDKeyA")->isChecked());
    QCOMPARE(Item(f, "cmbM1IDKeyErr"), 1);
    // The window still opens the port at its own line settings until the next Scan or Link.
    QCOMPARE(window.lineSettingsIndex(), 5);
    QVERIFY(window.isEnabled());
    QVERIFY(QApplication::overrideCursor() == nullptr);
}

void TestUtility::factoryDefaultWithoutReaderTypeSendsNothing() {
    SimLines lines;
    tbsim::SimLine& line = lines.add();
    auto* reader = lines.addReader(line, ReaderKind::PX10, 5);
    WindowFixture f;
    f.store().writeInt(f.section(), "Type", 9);  // no reader type selected
    app::TfrmModule& window = f.open(lines.ports());
    Link(f, "COM1", 5);
    QVERIFY(window.linked());
    line.clearLog();
    ShowCommonPage(f);
    f.click("btnFactory");
    QVERIFY(line.receivedCommands().empty());
    QCOMPARE(reader->config().id, 5);
    QCOMPARE(f.text("pnMsg"), QString("Set factory default error!"));
    QCOMPARE(f.commLamp(), app::kLampRed);
    QCOMPARE(window.readerId(), std::string("05"));
}

QTEST_MAIN(TestUtility)
#include "tst_utility.moc"
