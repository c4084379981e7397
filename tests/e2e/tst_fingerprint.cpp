// The Fingerprint page driven by clicks against simulated PX60 readers on pseudo-terminals:
// enrolment and IDs, template transfer, the stand-alone settings and their default sequence,
// and a template carried from one reader to another through a file.
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QScrollBar>
#include <QTemporaryDir>

#include "SimLines.h"
#include "WindowFixture.h"
#include "app/widgets/ReaderTypeRow.h"
#include "text/Catalogue.h"

using tbsim::ReaderKind;
using Commands = std::vector<std::string>;

Q_DECLARE_METATYPE(text::Msg)

namespace {

constexpr int kPx60Row = 6;
const QString kInitialPart(255, QLatin1Char('0'));
const char* const kStandAloneSettings[] = {
    "btnDoorFinger",     "lblDoorFingerSec",     "edDoorFinger",     "btnAlarmFinger",
    "lblAlarmFingerSec", "edAlarmFinger",        "btnSetCardFinger", "btnDuressFinger",
    "btnClrCardFinger",  "btnStandFingerDefault"};

void Configure(tbsim::SimReader* reader, const std::function<void(tbsim::ReaderConfig&)>& change) {
    tbsim::ReaderConfig config = reader->config();
    change(config);
    reader->setConfig(config);
}

app::TfrmModule& WindowOf(WindowFixture& f) {
    return *qobject_cast<app::TfrmModule*>(f.control("clientArea")->window());
}

Commands Strings(const QStringList& list) {
    Commands commands;
    for (const QString& item : list) commands.push_back(item.toStdString());
    return commands;
}

}  // namespace

class TestFingerprint : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void enrolmentButtons_data();
    void enrolmentButtons();
    void idShownInWindowOrderAndWrittenBack();
    void failedGetKeepsTheId_data();
    void failedGetKeepsTheId();
    void buttonsRefusedUntilLinked();

    void failedGetKeepsEarlierParts_data();
    void failedGetKeepsEarlierParts();
    void putRefusesAnEmptyPart();

    void standAloneSettingsAppearAfterModeSet();
    void secondsAsTyped_data();
    void secondsAsTyped();
    void standAloneDefaultKeepsTheOldAddress();
    void failedDefaultChangesNoControl();

    void templateCarriedToAnotherReader();
    void loadRefusesWhatIsNotATemplate_data();
    void loadRefusesWhatIsNotATemplate();
    void saveRefusals_data();
    void saveRefusals();

private:
    // A window linked to the PX60 reader of `line` at `id`; the line's log cleared.
    std::unique_ptr<WindowFixture> linkedWindow(tbsim::SimLine& line, int port, int id);
    // The controls the outcome of any action leaves: enabled window, normal cursor.
    void expectSettled(WindowFixture& f);
    QLineEdit* edit(const char* name) { return f_->control<QLineEdit>(name); }
    void showStandAloneSettings();

    std::unique_ptr<SimLines> lines_;
    tbsim::SimLine* line_ = nullptr;
    tbsim::SimReader* reader_ = nullptr;
    std::unique_ptr<WindowFixture> f_;
    QTemporaryDir dir_;
};

void TestFingerprint::init() {
    lines_ = std::make_unique<SimLines>();
    line_ = &lines_->add();
    reader_ = lines_->addReader(*line_, ReaderKind::PX60, 1);
    Configure(reader_, [](tbsim::ReaderConfig& c) { c.fingerprint.restartTime = {}; });
    f_ = linkedWindow(*line_, 1, 1);
}

void TestFingerprint::cleanup() {
    f_.reset();
    lines_.reset();
}

std::unique_ptr<WindowFixture> TestFingerprint::linkedWindow(tbsim::SimLine& line, int port,
                                                             int id) {
    auto f = std::make_unique<WindowFixture>();
    f->open(lines_->ports());
    QTest::mouseClick(f->control<app::ReaderTypeRow>("pcReader")->button(kPx60Row), Qt::LeftButton);
    f->control<QComboBox>("cmbPort")->setEditText(QString("COM%1").arg(port));
    f->control<QScrollBar>("sbID")->setValue(id);
    f->click("btnLink");
    if (f->text("pnMsg") != QString("Reader find ok. (COM : #%1)").arg(port))
        qWarning("not linked: %s", qPrintable(f->text("pnMsg")));
    line.clearLog();
    f->tones.clear();
    return f;
}

void TestFingerprint::expectSettled(WindowFixture& f) {
    QVERIFY(WindowOf(f).isEnabled());
    QVERIFY(QApplication::overrideCursor() == nullptr);
}

void TestFingerprint::showStandAloneSettings() {
    f_->click("btnStandFinger");
    QCOMPARE(f_->text("pnMsg"), QString("Set stand alone mode ok."));
    line_->clearLog();
}

void TestFingerprint::enrolmentButtons_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("facility");
    QTest::addColumn<int>("finger");
    QTest::addColumn<QString>("id");
    QTest::addColumn<QStringList>("sent");
    QTest::addColumn<QString>("message");
    QTest::newRow("facility 7 as five digits")
        << "btnFingerFacility" << 7 << 1 << "" << QStringList{"I01B", "I01K00007"}
        << "Set facility code ok.";
    QTest::newRow("facility at its maximum")
        << "btnFingerFacility" << 65535 << 1 << "" << QStringList{"I01B", "I01K65535"}
        << "Set facility code ok.";
    QTest::newRow("add finger 0") << "btnAddFinger" << 0 << 0 << ""
                                  << QStringList{"I01B", "I01M000000"} << "Add fingerprint ok.";
    QTest::newRow("delete finger at its maximum")
        << "btnDelFinger" << 0 << 9500 << "" << QStringList{"I01B", "I01N009500"}
        << "Del fingerprint ok.";
    QTest::newRow("set ID in reader order")
        << "btnSetFingerID" << 0 << 5 << "0011223344556677"
        << QStringList{"I01B", "I01O00000507766554433221100"} << "Set fingerprint ID ok.";
    // Sent as typed, unpadded; this reader takes only whole IDs.
    QTest::newRow("ID of ten characters")
        << "btnSetFingerID" << 0 << 5 << "A1B2C3D4E5"
        << QStringList{"I01B", "I01O0000050E5D4C3B2A1", "I01B", "I01O0000050E5D4C3B2A1"}
        << "Set fingerprint ID error!";
    QTest::newRow("scan mode as first shown")
        << "btnFingerScan" << 0 << 1 << "" << QStringList{"I01B", "I01r3"}
        << "Set fingerprint scan mode ok.";
}

void TestFingerprint::enrolmentButtons() {
    QFETCH(QString, button);
    QFETCH(int, facility);
    QFETCH(int, finger);
    QFETCH(QString, id);
    QFETCH(QStringList, sent);
    QFETCH(QString, message);
    f_->control<QScrollBar>("sbFacility")->setValue(facility);
    f_->control<QScrollBar>("sbFingerNo")->setValue(finger);
    if (!id.isEmpty()) edit("edCard")->setText(id);
    f_->click(button.toLatin1().constData());
    QCOMPARE(line_->receivedCommands(), Strings(sent));
    QCOMPARE(f_->text("pnMsg"), message);
    expectSettled(*f_);
    if (button == "btnFingerFacility")
        QCOMPARE(reader_->config().fingerprint.facilityCode, facility);
}

void TestFingerprint::idShownInWindowOrderAndWrittenBack() {
    Configure(reader_,
              [](tbsim::ReaderConfig& c) { c.fingerprint.fingerSlots[1].id = "7766554433221100"; });
    f_->click("btnGetFingerID");
    QCOMPARE(f_->text("pnMsg"), QString("Get fingerprint ID ok."));
    QCOMPARE(edit("edCard")->text(), QString("0011223344556677"));
    f_->click("btnSetFingerID");
    QCOMPARE(line_->receivedCommands(),
             (Commands{"I01B", "I01O000001", "I01B", "I01O00000107766554433221100"}));
    QCOMPARE(reader_->config().fingerprint.fingerSlots.at(1).id, std::string("7766554433221100"));
}

void TestFingerprint::failedGetKeepsTheId_data() {
    QTest::addColumn<bool>("silent");
    QTest::addColumn<QString>("kept");
    QTest::newRow("reader silent") << true << "7766554433221100";
    QTest::newRow("reply short of a whole ID") << false << "77665544332211";
}

void TestFingerprint::failedGetKeepsTheId() {
    QFETCH(bool, silent);
    QFETCH(QString, kept);
    Configure(reader_, [&](tbsim::ReaderConfig& c) {
        c.fingerprint.fingerSlots[1].id = kept.toStdString();
        if (silent) c.silentCommands = {"O000001"};
    });
    edit("edCard")->setText("ABCDEF0123456789");
    f_->click("btnGetFingerID");
    QCOMPARE(f_->text("pnMsg"), QString("Get fingerprint IDe error!"));
    QCOMPARE(edit("edCard")->text(), QString("ABCDEF0123456789"));
    QCOMPARE(f_->commLamp(), app::kLampRed);
    QCOMPARE(f_->tones, (std::vector<Tone>{{300, 300}}));
    expectSettled(*f_);
}

// Every button of the page that sends commands, stand-alone settings included once shown.
void TestFingerprint::buttonsRefusedUntilLinked() {
    WindowFixture f;
    f.open(lines_->ports());
    QTest::mouseClick(f.control<app::ReaderTypeRow>("pcReader")->button(kPx60Row), Qt::LeftButton);
    for (const char* name : kStandAloneSettings) f.control(name)->show();
    QWidget* page = f.control("tsFingerprint");
    int refused = 0;
    for (const app::ButtonBinding& button : app::TfrmModule::CommandButtons()) {
        QWidget* control = f.control(button.name);
        if (!page->isAncestorOf(control)) continue;
        QVERIFY2(button.needsLink(), button.name);
        f.tones.clear();
        f.click(button.name);
        QCOMPARE(f.commLamp(), app::kLampRed);
        QCOMPARE(f.tones, (std::vector<Tone>{{300, 300}}));
        QCOMPARE(f.text("pnMsg"), QString("Start select reader type."));
        expectSettled(f);
        ++refused;
    }
    QCOMPARE(refused, 15);
    QVERIFY(line_->receivedCommands().empty());
}

// The parts received before the failure are shown; the failed part and those after it keep
// what their boxes had.
void TestFingerprint::failedGetKeepsEarlierParts_data() {
    QTest::addColumn<int>("failing");  // 1-based
    QTest::addColumn<bool>("shortReply");
    QTest::newRow("part 3 unanswered") << 3 << false;
    QTest::newRow("part 2 a character short") << 2 << true;
}

void TestFingerprint::failedGetKeepsEarlierParts() {
    QFETCH(int, failing);
    QFETCH(bool, shortReply);
    auto parts = tbsim::EnrolledTemplate(1);
    Configure(reader_, [&](tbsim::ReaderConfig& c) {
        auto& kept = c.fingerprint.fingerSlots[1].parts;
        kept = parts;
        if (shortReply) kept[static_cast<std::size_t>(failing - 1)].pop_back();
        if (!shortReply) c.silentCommands = {"P000001" + std::to_string(failing)};
    });
    f_->click("btnGetTemplate");
    QCOMPARE(f_->text("pnMsg"), QString("Get template data error!"));
    QLineEdit* const boxes[] = {edit("edF1"), edit("edF2"), edit("edF3")};
    for (int part = 1; part <= 3; ++part) {
        const QString expected =
            part < failing ? QString::fromStdString(parts[static_cast<std::size_t>(part - 1)])
                           : kInitialPart;
        QCOMPARE(boxes[part - 1]->text(), expected);
    }
    expectSettled(*f_);
}

// Blank part 2 would make "P" + slot + "2" a read: refused with nothing sent, and the status bar
// says why.
void TestFingerprint::putRefusesAnEmptyPart() {
    edit("edF2")->setText("   ");
    f_->click("btnPutTemplate");
    QCOMPARE(f_->text("pnMsg"), QString("Set template data error!"));
    QCOMPARE(f_->text("sbCommReceived"), QString("Template part 2 is empty."));
    QCOMPARE(f_->commLamp(), app::kLampRed);
    QVERIFY(line_->receivedCommands().empty());
    QCOMPARE(reader_->config().fingerprint.fingerSlots.count(1), std::size_t{0});
    expectSettled(*f_);
}

void TestFingerprint::standAloneSettingsAppearAfterModeSet() {
    for (const char* name : kStandAloneSettings) QVERIFY2(f_->control(name)->isHidden(), name);
    Configure(reader_, [](tbsim::ReaderConfig& c) { c.silentCommands = {"R01"}; });
    f_->click("btnStandFinger");
    QCOMPARE(f_->text("pnMsg"), QString("Set stand alone mode error!"));
    for (const char* name : kStandAloneSettings) QVERIFY2(f_->control(name)->isHidden(), name);

    Configure(reader_, [](tbsim::ReaderConfig& c) { c.silentCommands.clear(); });
    line_->clearLog();
    f_->click("btnStandFinger");
    QCOMPARE(line_->receivedCommands(), (Commands{"I01B", "I01R01"}));
    QCOMPARE(f_->text("pnMsg"), QString("Set stand alone mode ok."));
    for (const char* name : kStandAloneSettings) QVERIFY2(f_->control(name)->isVisible(), name);
    QVERIFY(reader_->config().fingerprint.standAlone);
}

// The seconds go out as the box shows them, blanks at the ends removed, nothing added.
void TestFingerprint::secondsAsTyped_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("box");
    // Typed into the cleared box, each "P:DIGITS" at position P; "-": the box as first shown.
    QTest::addColumn<QStringList>("typing");
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("message");
    QTest::newRow("door time of two blanks and 12")
        << "btnDoorFinger"
        << "edDoorFinger" << QStringList{"2:12"} << "I01R112"
        << "Set door time ok.";
    QTest::newRow("alarm time as first shown") << "btnAlarmFinger"
                                               << "edAlarmFinger" << QStringList{"-"} << "I01R20030"
                                               << "Set alarm time ok.";
    QTest::newRow("door time with a blank inside")
        << "btnDoorFinger"
        << "edDoorFinger" << QStringList{"2:2", "0:1"} << "I01R11 2"
        << "Set door time error!";
    QTest::newRow("alarm time emptied") << "btnAlarmFinger"
                                        << "edAlarmFinger" << QStringList{} << "I01R2"
                                        << "Set alarm time error!";
}

void TestFingerprint::secondsAsTyped() {
    QFETCH(QString, button);
    QFETCH(QString, box);
    QFETCH(QStringList, typing);
    QFETCH(QString, command);
    QFETCH(QString, message);
    showStandAloneSettings();
    QLineEdit* seconds = edit(box.toLatin1().constData());
    if (typing != QStringList{"-"}) {
        seconds->selectAll();
        QTest::keyClick(seconds, Qt::Key_Delete);
        for (const QString& entry : typing) {
            seconds->setCursorPosition(entry.section(':', 0, 0).toInt());
            QTest::keyClicks(seconds, entry.section(':', 1));
        }
    }
    f_->click(button.toLatin1().constData());
    QCOMPARE(QString::fromStdString(line_->receivedCommands().at(1)), command);
    QCOMPARE(f_->text("pnMsg"), message);
    expectSettled(*f_);
}

// Linked as 05: the reader takes ID 01, every command still goes to 05, and the window shows
// the defaults without changing its own reader ID.
void TestFingerprint::standAloneDefaultKeepsTheOldAddress() {
    f_.reset();
    Configure(reader_, [](tbsim::ReaderConfig& c) { c.id = 5; });
    f_ = linkedWindow(*line_, 1, 5);
    showStandAloneSettings();
    f_->control<QScrollBar>("sbFacility")->setValue(99);
    edit("edDoorFinger")->setText("0009");
    edit("edAlarmFinger")->setText("0099");
    f_->tones.clear();

    f_->click("btnStandFingerDefault");
    QCOMPARE(f_->text("pnMsg"), QString("Set stand alone default ok."));
    QCOMPARE(line_->receivedCommands(),
             (Commands{"I05B", "I05CCAFE004201", "I05A001", "I05S0", "I05R10005", "I05R20030",
                       "I05K00000", "I05K5C17A3E8429B06D1", "I05R6", "I05B", "I05E5"}));
    QCOMPARE(f_->text("pnID"), QString("01"));
    QCOMPARE(f_->text("pnFacility"), QString("00000"));
    QCOMPARE(edit("edDoorFinger")->text(), QString("0005"));
    QCOMPARE(edit("edAlarmFinger")->text(), QString("0030"));
    // The reader answered the first poll: no short tone.
    QCOMPARE(f_->tones, (std::vector<Tone>{{1000, 300}}));
    QCOMPARE(reader_->config().id, 1);
    expectSettled(*f_);

    line_->clearLog();
    f_->click("btnFingerScan");
    QCOMPARE(line_->receivedCommands().front(), std::string("I05B"));
}

void TestFingerprint::failedDefaultChangesNoControl() {
    showStandAloneSettings();
    Configure(reader_, [](tbsim::ReaderConfig& c) { c.silentCommands = {"E5"}; });
    f_->control<QScrollBar>("sbID")->setValue(7);
    f_->control<QScrollBar>("sbFacility")->setValue(99);
    edit("edDoorFinger")->setText("0009");
    f_->click("btnStandFingerDefault");
    QCOMPARE(f_->text("pnMsg"), QString("Set stand alone default error!"));
    QCOMPARE(f_->text("pnID"), QString("07"));
    QCOMPARE(f_->text("pnFacility"), QString("00099"));
    QCOMPARE(edit("edDoorFinger")->text(), QString("0009"));
    QCOMPARE(edit("edAlarmFinger")->text(), QString("0030"));
    expectSettled(*f_);
}

void TestFingerprint::templateCarriedToAnotherReader() {
    tbsim::SimLine& second = lines_->add();
    tbsim::SimReader* target = lines_->addReader(second, ReaderKind::PX60, 1);
    Configure(reader_, [](tbsim::ReaderConfig& c) {
        c.fingerprint.fingerSlots[3].parts = tbsim::EnrolledTemplate(3);
    });
    const QString path = dir_.filePath("finger3.fpt");

    f_->control<QScrollBar>("sbFingerNo")->setValue(3);
    f_->click("btnGetTemplate");
    QCOMPARE(f_->text("pnMsg"), QString("Get template data ok."));
    const auto parts = tbsim::EnrolledTemplate(3);
    QCOMPARE(edit("edF1")->text().toStdString(), parts[0]);
    QCOMPARE(edit("edF2")->text().toStdString(), parts[1]);
    QCOMPARE(edit("edF3")->text().toStdString(), parts[2]);
    WindowOf(*f_).setTemplatePathChooser([&](bool saving) { return saving ? path : QString(); });
    f_->click("btnSaveTemplate");
    QCOMPARE(f_->text("pnMsg"), QString("Save template ok."));

    auto other = linkedWindow(second, 2, 1);
    WindowOf(*other).setTemplatePathChooser([&](bool saving) { return saving ? QString() : path; });
    other->click("btnLoadTemplate");
    QCOMPARE(other->text("pnMsg"), QString("Load template ok."));
    QCOMPARE(other->text("pnFingerNo"), QString("000003"));
    other->click("btnPutTemplate");
    QCOMPARE(other->text("pnMsg"), QString("Set template data ok."));
    QCOMPARE(target->config().fingerprint.fingerSlots.at(3).parts, parts);
    expectSettled(*other);
}

void TestFingerprint::loadRefusesWhatIsNotATemplate_data() {
    QTest::addColumn<QByteArray>("file");  // empty: no such file
    QTest::addColumn<int>("language");
    QTest::addColumn<text::Msg>("reason");
    const QByteArray parts = "part1=AA\npart2=BB\npart3=CC\n";
    QTest::newRow("no such file") << QByteArray() << 0 << text::Msg::TemplateFileUnreadable;
    QTest::newRow("an icon file") << QByteArray("\0\0\1\0\1\0 \x10\0\0", 10) << 0
                                  << text::Msg::TemplateFileNotTemplate;
    QTest::newRow("finger 9501, Simplified Chinese")
        << "Tag Bench fingerprint template\nfinger=009501\n" + parts << 1
        << text::Msg::TemplateFileBadFingerNo;
    QTest::newRow("part 3 missing, Traditional Chinese")
        << QByteArray("Tag Bench fingerprint template\nfinger=000002\npart1=AA\npart2=BB\n") << 2
        << text::Msg::TemplateFileBadPart;
}

// A file that is not a template file changes nothing and says why.
void TestFingerprint::loadRefusesWhatIsNotATemplate() {
    QFETCH(QByteArray, file);
    QFETCH(int, language);
    QFETCH(text::Msg, reason);
    const QString path = dir_.filePath(QTest::currentDataTag());
    if (!file.isEmpty()) {
        QFile out(path);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(file);
    }
    const char* menu[] = {"mnuEnglish", "mnuSimplified", "mnuTraditional"};
    f_->action(menu[language])->trigger();
    edit("edF1")->setText("KEEP1");
    f_->control<QScrollBar>("sbFingerNo")->setValue(7);
    WindowOf(*f_).setTemplatePathChooser([&](bool) { return path; });
    f_->tones.clear();

    f_->click("btnLoadTemplate");
    QCOMPARE(f_->text("pnMsg"), text::Text(text::Msg::LoadTemplateError, language) + " " +
                                    text::Text(reason, language));
    QCOMPARE(edit("edF1")->text(), QString("KEEP1"));
    QCOMPARE(edit("edF2")->text(), kInitialPart);
    QCOMPARE(f_->text("pnFingerNo"), QString("000007"));
    QCOMPARE(f_->commLamp(), app::kLampRed);
    QCOMPARE(f_->tones, (std::vector<Tone>{{300, 300}}));
    expectSettled(*f_);
}

void TestFingerprint::saveRefusals_data() {
    QTest::addColumn<int>("partLength");
    QTest::addColumn<bool>("toDirectory");
    QTest::addColumn<text::Msg>("reason");
    QTest::addColumn<bool>("asked");  // whether a path was asked for
    QTest::newRow("part longer than 256 characters")
        << 257 << false << text::Msg::TemplateFilePartTooLong << false;
    QTest::newRow("a directory in the way")
        << 256 << true << text::Msg::TemplateFileUnwritable << true;
}

void TestFingerprint::saveRefusals() {
    QFETCH(int, partLength);
    QFETCH(bool, toDirectory);
    QFETCH(text::Msg, reason);
    QFETCH(bool, asked);
    edit("edF3")->setText(QString(partLength, QLatin1Char('F')));
    bool chooserCalled = false;
    WindowOf(*f_).setTemplatePathChooser([&](bool) {
        chooserCalled = true;
        return toDirectory ? dir_.path() : dir_.filePath("never.fpt");
    });
    f_->click("btnSaveTemplate");
    QCOMPARE(chooserCalled, asked);
    QCOMPARE(f_->text("pnMsg"), "Save template error! " + text::Text(reason, text::kEnglish));
    QVERIFY(!QFile::exists(dir_.filePath("never.fpt")));
    QCOMPARE(f_->commLamp(), app::kLampRed);
    expectSettled(*f_);
}

QTEST_MAIN(TestFingerprint)
#include "tst_fingerprint.moc"
