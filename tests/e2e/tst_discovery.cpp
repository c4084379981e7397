// Finding a reader with Scan and Link, reading out its settings, and the identity, line and
// output commands, against simulated readers on pseudo-terminals.
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QRadioButton>
#include <QScrollBar>

#include "SimLines.h"
#include "WindowFixture.h"

using commands::ReaderType;
using tbsim::ReaderKind;

namespace {

// The simulated reader of the window's reader type; the simulator has its own table.
ReaderKind SimKind(ReaderType type) {
    const auto kind = tbsim::ReaderKindFromName(commands::Info(type).name);
    if (!kind) qFatal("no simulated reader for %s", commands::Info(type).name);
    return *kind;
}

int Item(WindowFixture& f, const char* list) { return f.control<QComboBox>(list)->currentIndex(); }
int Position(WindowFixture& f, const char* bar) { return f.control<QScrollBar>(bar)->value(); }

// Links the window to the reader on COM1 with the Link button.
void LinkCom1(WindowFixture& f, int lineSettingsIndex = 5) {
    f.control<QComboBox>("cmbPort")->setEditText("COM1");
    f.control<QComboBox>("cmbBaudRate")->setCurrentIndex(lineSettingsIndex);
    f.click("btnLink");
}

}  // namespace

class TestDiscovery : public QObject {
    Q_OBJECT
private slots:
    void scanFindsReaderOnThirdPortAndSavesBeforeReadOut();
    void quickTryUsesTheStoredPortFirst();
    void lockedScanProbesOneSettingPerPortAndReports();
    void fastReaderIsFoundOnlyByLink();
    void linkProbesWithTheShownId();
    void readOutOfEachPage_data();
    void readOutOfEachPage();
    void readOutDefaultsAndFallbacks_data();
    void readOutDefaultsAndFallbacks();
    void noReaderTypeLinksButEndsInDataError();
    void collidingReadersNeverLeaveTheWindowDisabled();
    void setIdKeepsTheLinkedAddress();
    void setBaudRateMovesTheNextCommand();
    void setAndGetInterface();
    void secondAttemptSucceeding();
    void getInterfaceWithNonDigitFails();
    void attemptThatThrowsIsAFailedCommand();
    void discoveryReplyWithoutDigitIdIsAnError();
};

void TestDiscovery::scanFindsReaderOnThirdPortAndSavesBeforeReadOut() {
    SimLines lines;
    lines.addMissing();
    lines.addMissing();
    tbsim::SimLine& third = lines.add();
    auto* reader = lines.addReader(third, ReaderKind::PX40, 1, "9600,n,8,1");
    auto config = reader->config();
    config.settingsDataOverride = "X12";  // makes the read-out fail after the find
    reader->setConfig(config);

    WindowFixture f;
    app::TfrmModule& window = f.open(lines.ports());
    f.selectReaderType(ReaderType::PX40);
    f.control<QCheckBox>("chkLock")->setChecked(false);
    f.click("btnScan");

    QCOMPARE(f.store().readInt(f.section(), "ScanCommNo").value, 3);
    QCOMPARE(f.store().readInt(f.section(), "ScanBaudRateNo").value, 2);
    QCOMPARE(f.store().readString(f.section(), "ScanBaudRate").value, QString("9600,n,8,1"));
    QCOMPARE(f.text("pnMsg"), QString("Reader data error! (COM : #3)"));
    QVERIFY(window.linked());  // "V" answered
    QCOMPARE(f.commLamp(), app::kLampRed);
    QVERIFY(window.isEnabled());
    const auto commands = third.receivedCommands();
    QCOMPARE(commands.front(), std::string("H00B"));
}

void TestDiscovery::quickTryUsesTheStoredPortFirst() {
    SimLines lines;
    tbsim::SimLine& first = lines.add();
    lines.add();
    tbsim::SimLine& third = lines.add();
    lines.addReader(third, ReaderKind::PX10, 4, "38400,e,8,1");
    WindowFixture f;
    f.store().writeInt(f.section(), "ScanCommNo", 3);
    f.store().writeInt(f.section(), "ScanBaudRateNo", 7);
    f.store().writeString(f.section(), "ScanBaudRate", "38400,e,8,1");
    app::TfrmModule& window = f.open(lines.ports());
    f.click("btnScan");

    QVERIFY(first.receivedCommands().empty());
    const auto commands = third.receivedCommands();
    QCOMPARE(commands.at(0), std::string("A00B"));
    QCOMPARE(commands.at(1), std::string("A04V"));
    QCOMPARE(f.text("pnMsg"), QString("Reader find ok. (COM : #3)"));
    QCOMPARE(f.text("pnSerial"), QString("S/N : CAFE0042"));
    QCOMPARE(f.text("pnID"), QString("04"));
    QCOMPARE(window.readerId(), std::string("04"));
    QCOMPARE(f.commLamp(), app::kLampYellow);
    QCOMPARE(f.tones.back(), (Tone{1000, 300}));
    QVERIFY(window.linked());
}

void TestDiscovery::lockedScanProbesOneSettingPerPortAndReports() {
    SimLines lines;
    tbsim::SimLine& first = lines.add();
    tbsim::SimLine& second = lines.add();
    WindowFixture f;
    f.store().writeInt(f.section(), "ScanBaudRateNo", 3);
    f.store().writeString(f.section(), "ScanBaudRate", "9600,e,8,1");
    app::TfrmModule& window = f.open(lines.ports());
    f.click("btnScan");

    QCOMPARE(first.receivedCommands(), (std::vector<std::string>{"A00B", "A00B"}));
    QCOMPARE(second.receivedCommands(), (std::vector<std::string>{"A00B", "A00B"}));
    QCOMPARE(f.text("pnMsg"), QString("Reader not find"));
    QCOMPARE(f.control<QComboBox>("cmbBaudRate")->currentText(), QString("19200,e,8,1"));
    QCOMPARE(f.commLamp(), app::kLampRed);
    QCOMPARE(f.tones.back(), (Tone{300, 300}));
    QVERIFY(!window.linked());
    QVERIFY(window.isEnabled());
    QVERIFY(QApplication::overrideCursor() == nullptr);
}

// The unlocked walk never tries 230400 (its 24 probes are counted in the discovery unit test):
// such a reader is found by Link, and afterwards by a scan that starts from the stored setting.
void TestDiscovery::fastReaderIsFoundOnlyByLink() {
    SimLines lines;
    tbsim::SimLine& line = lines.add();
    lines.addReader(line, ReaderKind::PX10, 1, "230400,n,8,1");
    WindowFixture f;
    app::TfrmModule& window = f.open(lines.ports());
    LinkCom1(f, 12);
    QCOMPARE(f.text("pnMsg"), QString("Reader find ok. (COM : #1)"));
    QCOMPARE(window.lineSettings(), std::string("230400,n,8,1"));
    QCOMPARE(window.lineSettingsIndex(), 12);

    line.clearLog();
    f.click("btnScan");
    QCOMPARE(f.text("pnMsg"), QString("Reader find ok. (COM : #1)"));
    // The quick try of the stored setting answered at once: no walk.
    QCOMPARE(line.receivedCommands().front(), std::string("A00B"));
    QCOMPARE(line.receivedCommands().at(1), std::string("A01V"));
    QCOMPARE(window.lineSettingsIndex(), 12);
}

void TestDiscovery::linkProbesWithTheShownId() {
    SimLines lines;
    tbsim::SimLine& line = lines.add();
    lines.addReader(line, ReaderKind::PX40, 7);
    WindowFixture f;
    app::TfrmModule& window = f.open(lines.ports());
    f.selectReaderType(ReaderType::PX40);
    f.control<QScrollBar>("sbID")->setValue(7);
    LinkCom1(f);
    QCOMPARE(line.receivedCommands().at(0), std::string("H07B"));
    QVERIFY(window.linked());
    QCOMPARE(window.commandPrefix(), std::string("H07"));
}

void TestDiscovery::readOutOfEachPage_data() {
    QTest::addColumn<ReaderType>("type");
    QTest::addColumn<QStringList>("sequence");  // after B and V
    QTest::addColumn<QString>("keyStatus");     // what the read-out does with the group
    QTest::addColumn<bool>("cardType");         // the "A" reply fills the card type
    const auto row = [](ReaderType type, const QStringList& sequence, const char* keyStatus,
                        bool cardType) {
        QTest::newRow(commands::Info(type).name) << type << sequence << keyStatus << cardType;
    };
    row(ReaderType::PX10, {"A"}, "leave", true);
    row(ReaderType::PX40, {"A", "L", "M"}, "hide", true);
    row(ReaderType::PX30M, {"A", "a"}, "leave", false);
    row(ReaderType::PX40M, {"A", "L", "M", "N", "a"}, "show", false);
    row(ReaderType::PX50, {"A"}, "show", true);
    row(ReaderType::PX50M, {"A"}, "show", false);
    row(ReaderType::PX60, {"A"}, "leave", true);
    row(ReaderType::PX60M, {"A"}, "leave", false);
}

void TestDiscovery::readOutOfEachPage() {
    QFETCH(ReaderType, type);
    QFETCH(QStringList, sequence);
    QFETCH(QString, keyStatus);
    QFETCH(bool, cardType);
    SimLines lines;
    tbsim::SimLine& line = lines.add();
    auto* reader = lines.addReader(line, SimKind(type), 2);
    auto config = reader->config();
    config.interfaceIndex = 1;
    config.wiegandIndex = 2;
    config.rs485Index = 3;
    config.cardTypeIndex = 2;
    config.keyNumber = 9;
    config.keyParity = 1;
    config.keyStatusNumber = 5;
    config.keyDelaySeconds = 12;
    config.idSector = 0x0F;
    config.idBlock = 2;
    config.idByte = 10;
    config.idKeyType = 1;
    config.idKeyErrSignal = 3;
    reader->setConfig(config);

    WindowFixture f;
    app::TfrmModule& window = f.open(lines.ports());
    f.selectReaderType(type);
    f.control<QScrollBar>("sbID")->setValue(2);
    // Start from the state the read-out must change (or must leave alone).
    f.control<QGroupBox>("gbKeyStatus")->setVisible(keyStatus == "hide");
    LinkCom1(f);

    const char start = tbsim::StartCharacter(SimKind(type));
    std::vector<std::string> expected = {std::string(1, start) + "02B",
                                         std::string(1, start) + "02V"};
    for (const QString& command : sequence)
        expected.push_back(std::string(1, start) + "02" + command.toStdString());
    QCOMPARE(line.receivedCommands(), expected);
    QCOMPARE(f.text("pnMsg"), QString("Reader find ok. (COM : #1)"));
    QCOMPARE(f.text("pnVersion"), "VER : " + QString::fromStdString(config.version));
    QVERIFY(window.linked());
    QCOMPARE(Item(f, "cmbMode"), 1);
    QCOMPARE(Item(f, "cmbWiegand"), 2);
    QCOMPARE(Item(f, "cmbRS485"), 3);
    QCOMPARE(Item(f, "cmbCardType"), cardType ? 2 : 0);
    if (sequence.contains("L")) {
        QCOMPARE(Position(f, "sbKeyNumber"), 9);
        QCOMPARE(f.text("pnKeyNumber"), QString("09"));
        QCOMPARE(Item(f, "cmbKeyParity"), 1);
    }
    if (sequence.contains("N")) {
        QCOMPARE(f.text("pnKeyStatusNumber"), QString("05"));
        QCOMPARE(f.text("pnKeyDelayTime"), QString("12"));
    }
    if (sequence.contains("a")) {
        QCOMPARE(Position(f, "sbM1IDSector"), 15);
        QCOMPARE(Position(f, "sbM1IDBlock"), 2);
        QCOMPARE(Position(f, "sbM1IDByte"), 10);
        QVERIFY(f.control<QRadioButton>("rbM1IDKeyB")->isChecked());
        QCOMPARE(Item(f, "cmbM1IDKeyErr"), 3);
    }
    QCOMPARE(f.control<QGroupBox>("gbKeyStatus")->isVisibleTo(f.control("tsKeypad")),
             keyStatus == "show");
}

void TestDiscovery::readOutDefaultsAndFallbacks_data() {
    QTest::addColumn<ReaderType>("type");
    QTest::addColumn<QString>("settingsData");  // "A" data field; empty: the reader's own
    QTest::addColumn<QString>("silent");        // a command the reader does not answer
    QTest::addColumn<bool>("ok");
    QTest::newRow("11-byte reply on a card-type page") << ReaderType::PX50 << "102"
                                                       << "" << true;
    QTest::newRow("PX10 non-digit falls back") << ReaderType::PX10 << "01Z"
                                               << "" << true;
    QTest::newRow("non-digit elsewhere is an error") << ReaderType::PX60 << "01Z"
                                                     << "" << false;
    QTest::newRow("PX10 index outside its list falls back") << ReaderType::PX10 << "701"
                                                            << "" << true;
    QTest::newRow("index outside its list elsewhere") << ReaderType::PX60 << "701"
                                                      << "" << false;
    QTest::newRow("PX40-M without key status") << ReaderType::PX40M << ""
                                               << "N" << true;
    QTest::newRow("PX40 without key parity") << ReaderType::PX40 << ""
                                             << "M" << true;
    QTest::newRow("PX30-M without card-ID location") << ReaderType::PX30M << ""
                                                     << "a" << true;
    QTest::newRow("version never answered") << ReaderType::PX10 << ""
                                            << "V" << false;
}

void TestDiscovery::readOutDefaultsAndFallbacks() {
    QFETCH(ReaderType, type);
    QFETCH(QString, settingsData);
    QFETCH(QString, silent);
    QFETCH(bool, ok);
    SimLines lines;
    tbsim::SimLine& line = lines.add();
    auto* reader = lines.addReader(line, SimKind(type), 1);
    auto config = reader->config();
    config.keyParity = 0;
    config.keyStatusNumber = 6;
    config.idSector = 9;
    config.idKeyType = 1;
    config.cardTypeIndex = 1;
    if (!settingsData.isEmpty()) config.settingsDataOverride = settingsData.toStdString();
    if (!silent.isEmpty()) config.silentCommands.insert(silent.toStdString());
    reader->setConfig(config);

    WindowFixture f;
    app::TfrmModule& window = f.open(lines.ports());
    f.selectReaderType(type);
    f.control<QScrollBar>("sbM1IDSector")->setValue(4);
    LinkCom1(f);

    QCOMPARE(f.text("pnMsg"),
             ok ? QString("Reader find ok. (COM : #1)") : QString("Reader data error! (COM : #1)"));
    QCOMPARE(window.linked(), silent != "V");
    QVERIFY(window.isEnabled());
    if (settingsData == "102") QCOMPARE(Item(f, "cmbCardType"), 0);
    if (settingsData == "01Z" && ok) QCOMPARE(Item(f, "cmbRS485"), 1);
    if (settingsData == "701" && ok) QCOMPARE(Item(f, "cmbMode"), 0);
    if (silent == "N") {
        QCOMPARE(f.text("pnKeyStatusNumber"), QString("00"));
        QCOMPARE(f.text("pnKeyDelayTime"), QString("03"));
    }
    if (silent == "M") QCOMPARE(Item(f, "cmbKeyParity"), 1);
    if (silent == "a") {
        QCOMPARE(Position(f, "sbM1IDSector"), 0);
        QVERIFY(f.control<QRadioButton>("rbM1IDKeyA")->isChecked());
        QCOMPARE(Item(f, "cmbM1IDKeyErr"), 1);
    }
}

void TestDiscovery::noReaderTypeLinksButEndsInDataError() {
    SimLines lines;
    lines.addReader(lines.add(), ReaderKind::PX10, 1);
    WindowFixture f;
    f.store().writeInt(f.section(), "Type", 9);  // no reader type selected
    app::TfrmModule& window = f.open(lines.ports());
    LinkCom1(f);
    QCOMPARE(f.text("pnMsg"), QString("Reader data error! (COM : #1)"));
    QVERIFY(window.linked() && window.isEnabled());
}

void TestDiscovery::collidingReadersNeverLeaveTheWindowDisabled() {
    SimLines lines;
    tbsim::SimLine& line = lines.add();
    lines.addReader(line, ReaderKind::PX10, 1);
    lines.addReader(line, ReaderKind::PX10, 2);
    WindowFixture f;
    app::TfrmModule& window = f.open(lines.ports());
    f.click("btnScan");
    QCOMPARE(line.receivedCommands().size(), std::size_t{2});
    QCOMPARE(f.text("pnMsg"), QString("Reader not find"));
    QVERIFY(!window.linked());
    QVERIFY(window.isEnabled());
}

void TestDiscovery::setIdKeepsTheLinkedAddress() {
    SimLines lines;
    tbsim::SimLine& line = lines.add();
    auto* reader = lines.addReader(line, ReaderKind::PX10, 1);
    WindowFixture f;
    app::TfrmModule& window = f.open(lines.ports());
    LinkCom1(f);
    QVERIFY(window.linked());
    line.clearLog();
    f.control<QScrollBar>("sbID")->setValue(5);
    f.click("btnID");
    QCOMPARE(line.receivedCommands(), (std::vector<std::string>{"A01B", "A01CCAFE004205"}));
    QCOMPARE(f.text("pnMsg"), QString("Set ID ok."));
    QCOMPARE(reader->config().id, 5);
    QCOMPARE(window.readerId(), std::string("01"));

    line.clearLog();
    f.click("btnGetMode");
    QCOMPARE(line.receivedCommands().at(0), std::string("A01B"));
}

void TestDiscovery::setBaudRateMovesTheNextCommand() {
    SimLines lines;
    tbsim::SimLine& line = lines.add();
    auto* reader = lines.addReader(line, ReaderKind::PX10, 1);
    WindowFixture f;
    app::TfrmModule& window = f.open(lines.ports());
    LinkCom1(f);
    f.store().writeInt(f.section(), "ScanBaudRateNo", 5);
    line.clearLog();
    f.control<QComboBox>("cmbBaudRate")->setCurrentIndex(9);
    f.click("btnBaudRate");
    QCOMPARE(line.receivedCommands(), (std::vector<std::string>{"A01B", "A01E9"}));
    QCOMPARE(f.text("pnMsg"), QString("Set Reader baud rate ok."));
    QCOMPARE(reader->config().lineSettings, std::string("57600,e,8,1"));
    QCOMPARE(window.lineSettings(), std::string("57600,e,8,1"));
    QCOMPARE(f.store().readInt(f.section(), "ScanBaudRateNo").value, 5);

    f.click("btnGetMode");  // opens at the new speed, so the reader hears it
    QCOMPARE(f.text("pnMsg"), QString("Get reader interface ok."));
}

void TestDiscovery::setAndGetInterface() {
    SimLines lines;
    tbsim::SimLine& line = lines.add();
    auto* reader = lines.addReader(line, ReaderKind::PX10, 1);
    WindowFixture f;
    f.open(lines.ports());
    LinkCom1(f);
    line.clearLog();
    f.control<QComboBox>("cmbMode")->setCurrentIndex(1);
    f.control<QComboBox>("cmbWiegand")->setCurrentIndex(1);
    f.control<QComboBox>("cmbRS485")->setCurrentIndex(1);
    f.click("btnMode");
    // RS485 output (item 1), Wiegand 34 (1), RS485 32 (1): one digit per list, in list order.
    QCOMPARE(line.receivedCommands(), (std::vector<std::string>{"A01B", "A01A111"}));
    QCOMPARE(f.text("pnMsg"), QString("Set reader interface ok."));
    QCOMPARE(reader->config().interfaceIndex, 1);
    QCOMPARE(reader->config().wiegandIndex, 1);

    auto config = reader->config();
    config.interfaceIndex = 0;
    config.wiegandIndex = 1;
    config.rs485Index = 2;
    reader->setConfig(config);
    f.click("btnGetMode");
    QCOMPARE(f.text("pnMsg"), QString("Get reader interface ok."));
    QCOMPARE(Item(f, "cmbMode"), 0);
    QCOMPARE(Item(f, "cmbWiegand"), 1);
    QCOMPARE(Item(f, "cmbRS485"), 2);
    QCOMPARE(f.tones.back(), (Tone{1000, 300}));
}

void TestDiscovery::secondAttemptSucceeding() {
    SimLines lines;
    tbsim::SimLine& line = lines.add();
    lines.addReader(line, ReaderKind::PX10, 1);
    WindowFixture f;
    f.open(lines.ports());
    LinkCom1(f);
    line.clearLog();
    tbsim::FaultPlan silence;
    silence.fault = tbsim::Fault::Silence;
    silence.times = 1;
    line.setFault(silence);
    f.click("btnGetMode");
    QCOMPARE(line.receivedCommands(), (std::vector<std::string>{"A01B", "A01B", "A01A"}));
    QCOMPARE(f.text("pnMsg"), QString("Get reader interface ok."));
    QCOMPARE(f.commLamp(), app::kLampYellow);
}

void TestDiscovery::getInterfaceWithNonDigitFails() {
    SimLines lines;
    tbsim::SimLine& line = lines.add();
    auto* reader = lines.addReader(line, ReaderKind::PX10, 1);
    WindowFixture f;
    app::TfrmModule& window = f.open(lines.ports());
    LinkCom1(f);
    auto config = reader->config();
    config.settingsDataOverride = "0Z1";
    reader->setConfig(config);
    f.control<QComboBox>("cmbWiegand")->setCurrentIndex(2);
    f.click("btnGetMode");
    QCOMPARE(f.text("pnMsg"), QString("Get reader interface error!"));
    QCOMPARE(Item(f, "cmbWiegand"), 2);
    QCOMPARE(f.commLamp(), app::kLampRed);
    QVERIFY(window.isEnabled());
}

void TestDiscovery::attemptThatThrowsIsAFailedCommand() {
    SimLines lines;
    tbsim::SimLine& line = lines.add();
    lines.addReader(line, ReaderKind::PX10, 1);
    WindowFixture f;
    app::TfrmModule& window = f.open(lines.ports());
    LinkCom1(f);
    QVERIFY(window.linked());
    int attempts = 0;
    const auto outcome = window.RunAction(
        actions::Request(actions::ActionId::SetId, [&](const commands::Session&) -> bool {
            ++attempts;
            throw std::runtime_error("reader logic broke");
        }));
    QVERIFY(!outcome.ok());
    QCOMPARE(attempts, 1);
    QCOMPARE(f.text("pnMsg"), QString("Set ID error!"));
    QCOMPARE(f.commLamp(), app::kLampRed);
    QVERIFY(window.isEnabled());
    QVERIFY(QApplication::overrideCursor() == nullptr);
    platform::PosixSerialChannel other;  // the port was closed again
    QVERIFY(other.open(line.devicePath(), "19200,e,8,1"));
}

void TestDiscovery::discoveryReplyWithoutDigitIdIsAnError() {
    SimLines lines;
    tbsim::SimLine& line = lines.add();
    auto* reader = lines.addReader(line, ReaderKind::PX10, 1);
    auto config = reader->config();
    config.replyIdText = "?1";
    reader->setConfig(config);
    WindowFixture f;
    app::TfrmModule& window = f.open(lines.ports());
    LinkCom1(f);
    QCOMPARE(f.text("pnMsg"), QString("Reader data error! (COM : #1)"));
    QCOMPARE(line.receivedCommands(), (std::vector<std::string>{"A01B"}));  // nothing more sent
    QVERIFY(!window.linked());
    QVERIFY(window.isEnabled());
    QCOMPARE(f.commLamp(), app::kLampRed);
}

QTEST_MAIN(TestDiscovery)
#include "tst_discovery.moc"
