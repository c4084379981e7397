// The MIFARE pages driven with the mouse and keyboard: the access-condition editor and its
// notice, and every MIFARE command against a simulated PX30-M holding a card, frame for frame.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QScrollBar>
#include <QTabWidget>

#include "SimLines.h"
#include "WindowFixture.h"
#include "app/widgets/ReaderTypeRow.h"
#include "commands/mifare/AccessBits.h"

using tbsim::ReaderKind;

namespace {

constexpr int kPx30M = 2;  // in the reader-type row
const QString kTransportKey(12, 'F');
const QString kNewKeyA = "A0A1A2A3A4A5";

QStringList Joined(const std::vector<std::string>& texts) {
    QStringList list;
    for (const auto& text : texts) list << QString::fromStdString(text);
    return list;
}

}  // namespace

class TestMifare : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    // The access-condition editor.
    void mouseClicksMakeAccessBits_data();
    void mouseClicksMakeAccessBits();
    void everyOptionAppliesItsCondition_data();
    void everyOptionAppliesItsCondition();
    void keyboardChangesOnlyItsGroup_data();
    void keyboardChangesOnlyItsGroup();
    void captionsFollowTheAccessOptions();
    void noticeBesideAccessBits_data();
    void noticeBesideAccessBits();
    void noticeFollowsTheLanguage();

    // The commands.
    void buttonsRefusedUntilLinked();
    void commandFrames_data();
    void commandFrames();
    void newKeyAOpensTheSector();
    void alteredEchoFailsTheWrite();
    void idLocationWithoutKeyErrorSendsNothing();
    void factoryDefaultResetsIdLocation();
    void invalidClickRunsEepromClick();

private:
    void showPage(const char* page);
    void link();
    void click(const char* option);
    // "name=value" sets a scroll bar, list index or edit text; a bare name is clicked.
    void apply(const QStringList& settings);
    QString accessBits() const { return f_->control<QLineEdit>("edM1CardKeyAccess")->text(); }
    QString readBox() const { return f_->control<QLineEdit>("edM1Read")->text(); }
    QStringList sent() { return Joined(line_->takeReceivedCommands()); }
    // The command procedure's ending: lamp, one tone, the window usable again.
    void verifyOutcome(bool success);

    std::unique_ptr<SimLines> lines_;
    tbsim::SimLine* line_ = nullptr;
    tbsim::SimReader* reader_ = nullptr;
    std::unique_ptr<WindowFixture> f_;
    app::TfrmModule* window_ = nullptr;
};

// A fresh window for every test and row, a PX30-M on COM1 with a 4K card in its field, and the
// reader type chosen (so the MIFARE pages show); linking is left to the tests that need it.
void TestMifare::init() {
    lines_ = std::make_unique<SimLines>();
    line_ = &lines_->add();
    reader_ = lines_->addReader(*line_, ReaderKind::PX30M, 1);
    reader_->presentMifareCard(
        tbsim::MakeMifareCard(tbsim::MifareSize::Classic4K, {0x5A, 0x6B, 0x7C, 0x8D}));
    f_ = std::make_unique<WindowFixture>();
    window_ = &f_->open(lines_->ports());
    QTest::mouseClick(f_->control<app::ReaderTypeRow>("pcReader")->button(kPx30M), Qt::LeftButton);
}

void TestMifare::cleanup() {
    f_.reset();
    lines_.reset();
}

void TestMifare::showPage(const char* page) {
    f_->control<QTabWidget>("pcOther")->setCurrentWidget(f_->control(page));
    // Arrow keys move between options only in the active window.
    window_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window_));
}

void TestMifare::link() {
    f_->control<QComboBox>("cmbPort")->setEditText("COM1");
    f_->click("btnLink");
    QCOMPARE(f_->text("pnMsg"), QString("Reader find ok. (COM : #1)"));
    line_->clearLog();
    f_->tones.clear();
}

void TestMifare::click(const char* option) {
    QTest::mouseClick(f_->control<QAbstractButton>(option), Qt::LeftButton);
}

void TestMifare::apply(const QStringList& settings) {
    for (const QString& setting : settings) {
        const QStringList parts = setting.split('=');
        const QByteArray name = parts[0].toLatin1();
        if (parts.size() == 1) {
            click(name.constData());
        } else if (auto* bar = qobject_cast<QScrollBar*>(f_->control(name.constData()))) {
            bar->setValue(parts[1].toInt());
        } else if (auto* list = qobject_cast<QComboBox*>(f_->control(name.constData()))) {
            list->setCurrentIndex(parts[1].toInt());
        } else {
            f_->control<QLineEdit>(name.constData())->setText(parts[1]);
        }
    }
}

void TestMifare::verifyOutcome(bool success) {
    QCOMPARE(f_->commLamp(), success ? app::kLampYellow : app::kLampRed);
    QCOMPARE(f_->tones, (std::vector<Tone>{{success ? 1000 : 300, 300}}));
    f_->tones.clear();
    QVERIFY(window_->isEnabled());
    QVERIFY(QApplication::overrideCursor() == nullptr);
}

// ---- the access-condition editor ----------------------------------------------------------

void TestMifare::mouseClicksMakeAccessBits_data() {
    QTest::addColumn<QStringList>("clicks");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("checked");  // options checked afterwards

    QTest::newRow("at start") << QStringList{} << "FF0780AA"
                              << QStringList{"RadioButton4",  "RadioButton19", "RadioButton13",
                                             "RadioButton16", "RadioButton46", "RadioButton43"};
    // Block 1 at 010; blocks 0 and 2 untouched.
    QTest::newRow("block 1 decrement never")
        << QStringList{"RadioButton17"} << "DF0782AA"
        << QStringList{"RadioButton4",  "RadioButton21", "RadioButton14", "RadioButton17",
                       "RadioButton1",  "RadioButton31", "RadioButton7",  "RadioButton8",
                       "RadioButton22", "RadioButton34", "RadioButton25", "RadioButton28"};
    QTest::newRow("blocks at 110, trailer at 011")
        << QStringList{"RadioButton11", "RadioButton15", "RadioButton27", "RadioButton47"}
        << "08778FAA" << QStringList{"RadioButton1",  "RadioButton32", "RadioButton11",
                                     "RadioButton8",  "RadioButton47", "RadioButton49",
                                     "RadioButton44", "RadioButton37", "RadioButton40"};
    QTest::newRow("blocks at 111, trailer at 110")
        << QStringList{"RadioButton3", "RadioButton6", "RadioButton24", "RadioButton45"}
        << "00F87FAA" << QStringList{"RadioButton6",  "RadioButton21", "RadioButton14",
                                     "RadioButton17", "RadioButton12", "RadioButton49",
                                     "RadioButton45", "RadioButton37", "RadioButton41"};
    QTest::newRow("and back to delivery")
        << QStringList{"RadioButton3",  "RadioButton6",  "RadioButton24", "RadioButton45",
                       "RadioButton31", "RadioButton19", "RadioButton34", "RadioButton43"}
        << "FF0780AA" << QStringList{"RadioButton1", "RadioButton46", "RadioButton43"};
}

void TestMifare::mouseClicksMakeAccessBits() {
    QFETCH(QStringList, clicks);
    QFETCH(QString, text);
    QFETCH(QStringList, checked);
    showPage("tsMifareKey");
    for (const QString& option : clicks) click(option.toLatin1().constData());
    QCOMPARE(accessBits(), text);
    for (const QString& option : checked)
        QVERIFY2(f_->control<QRadioButton>(option.toLatin1().constData())->isChecked(),
                 qPrintable(option));
}

// One row per option: clicked in a fresh editor, it gives its own part the condition its row
// names and leaves the others at delivery (data blocks 000, trailer 001).
void TestMifare::everyOptionAppliesItsCondition_data() {
    QTest::addColumn<QString>("option");
    QTest::addColumn<int>("part");
    QTest::addColumn<int>("condition");  // C1 C2 C3 as a number

    const char* const data[3][11] = {
        {"1", "2", "3", "31", "32", "33", "7", "11", "9", "8", "10"},
        {"4", "5", "6", "19", "20", "21", "13", "15", "14", "16", "17"},
        {"22", "23", "24", "34", "35", "36", "25", "27", "26", "28", "29"}};
    const char* const what[11] = {"read A/B",      "read B",         "read never",
                                  "write A/B",     "write B",        "write never",
                                  "increment A/B", "increment B",    "increment never",
                                  "decrement A/B", "decrement never"};
    const int applies[11] = {0b110, 0b011, 0b111, 0b000, 0b100, 0b001,
                             0b000, 0b110, 0b101, 0b110, 0b010};
    for (int block = 0; block < 3; ++block) {
        for (int i = 0; i < 11; ++i) {
            QTest::addRow("block %d %s", block, what[i])
                << QString("RadioButton%1").arg(data[block][i]) << block << applies[i];
        }
    }
    const struct {
        const char* tag;
        const char* option;
        int condition;
    } trailer[] = {
        {"Key A read never", "RadioButton38", 0b001},
        {"Key A write A", "RadioButton46", 0b000},
        {"Key A write B", "RadioButton47", 0b011},
        {"Key A write never", "RadioButton12", 0b101},
        {"access bits read A", "RadioButton42", 0b010},
        {"access bits read A/B", "RadioButton49", 0b100},
        {"access bits write A", "RadioButton43", 0b001},
        {"access bits write B", "RadioButton44", 0b011},
        {"access bits write never", "RadioButton45", 0b110},
        {"Key B read A", "RadioButton48", 0b001},
        {"Key B read never", "RadioButton37", 0b011},
        {"Key B write A", "RadioButton39", 0b001},
        {"Key B write B", "RadioButton40", 0b011},
        {"Key B write never", "RadioButton41", 0b110},
    };
    for (const auto& row : trailer)
        QTest::newRow(row.tag) << row.option << commands::mifare::kTrailerPart << row.condition;
}

void TestMifare::everyOptionAppliesItsCondition() {
    QFETCH(QString, option);
    QFETCH(int, part);
    QFETCH(int, condition);
    showPage("tsMifareKey");
    click(option.toLatin1().constData());
    QVERIFY(f_->control<QRadioButton>(option.toLatin1().constData())->isChecked());
    const auto read = commands::mifare::ReadAccessBitsText(accessBits().toStdString());
    QCOMPARE(read.verdict, commands::mifare::AccessTextVerdict::Valid);
    QCOMPARE(read.userByte, std::uint8_t{0xAA});
    commands::mifare::SectorConditions expected{0, 0, 0, 1};
    expected[static_cast<std::size_t>(part)] = condition;
    QCOMPARE(read.conditions, expected);
}

// An arrow key moves one group of block 1 only, and the text stays; the next mouse-up
// recomputes everything, where block 1, showing no row, counts as 101 unless the click is in
// block 1 itself.
void TestMifare::keyboardChangesOnlyItsGroup_data() {
    QTest::addColumn<QString>("clickAfter");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("readBKept");

    QTest::newRow("then a click in the trailer") << "RadioButton43"
                                                 << "FD25A0AA" << true;
    QTest::newRow("then a click in block 1") << "RadioButton17"
                                             << "DF0782AA" << false;
}

void TestMifare::keyboardChangesOnlyItsGroup() {
    QFETCH(QString, clickAfter);
    QFETCH(QString, text);
    QFETCH(bool, readBKept);
    showPage("tsMifareKey");
    auto* read = f_->control<QRadioButton>("RadioButton4");
    read->setFocus();
    QTest::keyClick(read, Qt::Key_Down);
    QVERIFY(f_->control<QRadioButton>("RadioButton5")->isChecked());
    for (const char* kept : {"RadioButton19", "RadioButton13", "RadioButton16"})
        QVERIFY2(f_->control<QRadioButton>(kept)->isChecked(), kept);
    QCOMPARE(accessBits(), QString("FF0780AA"));

    click(clickAfter.toLatin1().constData());
    QCOMPARE(accessBits(), text);
    QCOMPARE(f_->control<QRadioButton>("RadioButton5")->isChecked(), readBKept);
}

void TestMifare::captionsFollowTheAccessOptions() {
    showPage("tsMifareKey");
    const char* const anyKey[] = {"RadioButton1",  "RadioButton31", "RadioButton7",
                                  "RadioButton8",  "RadioButton4",  "RadioButton19",
                                  "RadioButton13", "RadioButton16", "RadioButton22",
                                  "RadioButton34", "RadioButton25", "RadioButton28"};
    const auto captions = [&] {
        QStringList shown;
        for (const char* name : anyKey) shown << f_->control<QRadioButton>(name)->text();
        shown.removeDuplicates();
        return shown.join(',');
    };
    QCOMPARE(captions(), QString("A/B"));
    click("RadioButton42");  // access bits read A
    QCOMPARE(captions(), QString("A"));
    click("RadioButton47");  // Key A write B: trailer 011, captions stay
    QCOMPARE(accessBits(), QString("7F0788AA"));
    QCOMPARE(captions(), QString("A"));
    click("RadioButton44");  // access bits write B
    QCOMPARE(captions(), QString("A/B"));
    click("RadioButton43");  // access bits write A
    QCOMPARE(captions(), QString("A"));
    click("RadioButton49");  // access bits read A/B
    QCOMPARE(captions(), QString("A/B"));
    // The other options keep theirs.
    QCOMPARE(f_->control<QRadioButton>("RadioButton2")->text(), QString("B"));
    QCOMPARE(f_->control<QRadioButton>("RadioButton46")->text(), QString("A"));
}

void TestMifare::noticeBesideAccessBits_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("notice");

    const QString invalid = "Invalid access bits: sector unusable";
    const QString locked = "Access bits can never be changed again";
    const QString incomplete = "Not yet 8 hexadecimal digits";
    QTest::newRow("delivery") << "FF0780AA"
                              << "";
    QTest::newRow("trailer 011: Key B writes them") << "08778FAA"
                                                    << "";
    QTest::newRow("inverted copy differs in one bit") << "FF0781AA" << invalid;
    QTest::newRow("no user byte") << "FF0780" << incomplete;
    QTest::newRow("not hexadecimal") << "FF07X0AA" << incomplete;
    QTest::newRow("trailer 110") << "00F87FAA" << locked;
    QTest::newRow("trailer 000") << "FF0F00AA" << locked;
    QTest::newRow("trailer 010") << "7F0F08AA" << locked;
}

// Typed text gets its notice; the text stays as typed and is what the button sends.
void TestMifare::noticeBesideAccessBits() {
    QFETCH(QString, typed);
    QFETCH(QString, notice);
    showPage("tsMifareKey");
    link();
    auto* edit = f_->control<QLineEdit>("edM1CardKeyAccess");
    edit->clear();
    QTest::keyClicks(edit, typed.toLower());
    QCOMPARE(edit->text(), typed);
    auto* label = f_->control<QLabel>("lblM1CardKeyAccessNotice");
    QCOMPARE(label->text(), notice);
    QCOMPARE(label->palette().color(QPalette::WindowText), QColor(255, 0, 0));

    // Nothing refused: the reader gets the text as typed (a 4K card takes even these).
    f_->click("btnM1CardKey");
    QCOMPARE(sent().mid(0, 2),
             QStringList({"A01B", "A01i60FFFFFFFFFFFF07FFFFFFFFFFFF" + typed + "FFFFFFFFFFFF"}));
    QCOMPARE(label->text(), notice);
    QVERIFY(window_->isEnabled());
}

void TestMifare::noticeFollowsTheLanguage() {
    showPage("tsMifareKey");
    auto* label = f_->control<QLabel>("lblM1CardKeyAccessNotice");
    click("RadioButton45");  // access bits write never
    QCOMPARE(label->text(), QString("Access bits can never be changed again"));
    f_->action("mnuTraditional")->trigger();
    QCOMPARE(label->text(), QString::fromUtf8("存取位元將永遠無法再更改"));
    f_->action("mnuSimplified")->trigger();
    QCOMPARE(label->text(), QString::fromUtf8("存取位元将永远无法再更改"));
    // The next mouse-up writes a sound text over what was there.
    click("RadioButton43");
    QCOMPARE(accessBits(), QString("FF0780AA"));
    QVERIFY(label->text().isEmpty());
}

// ---- the commands ---------------------------------------------------------------------------

void TestMifare::buttonsRefusedUntilLinked() {
    const QStringList buttons = {"btnM1IDSector", "btnM1Key", "btnM1Read", "btnM1Write",
                                 "btnM1CardKey"};
    QStringList bound;
    for (const app::ButtonBinding& binding : app::TfrmModule::CommandButtons())
        if (buttons.contains(binding.name) && binding.needsLink()) bound << binding.name;
    QCOMPARE(bound, buttons);
    for (const QString& button : buttons) {
        showPage(button == "btnM1CardKey" ? "tsMifareKey" : "tsMifare");
        f_->click(button.toLatin1().constData());
        verifyOutcome(false);
    }
    QCOMPARE(f_->text("pnMsg"), QString("Start select reader type."));
    QVERIFY(line_->receivedCommands().empty());
}

void TestMifare::commandFrames_data() {
    QTest::addColumn<QString>("page");
    QTest::addColumn<QStringList>("settings");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QStringList>("commands");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("read");  // edM1Read afterwards

    const QString f = "A01fFFFFFFFFFFFF";
    const QString trailer = "FFFFFFFFFFFFFF0780AAFFFFFFFFFFFF";  // after the block number
    const QString zeros(32, '0');
    const auto id = [](const char* tag, const QStringList& settings, const char* command) {
        QTest::newRow(tag) << "tsMifare" << settings << "btnM1IDSector"
                           << QStringList{"A01B", command} << "Set sector/block/byte ok."
                           << "";
    };
    id("a: sector 1 block 2 byte 4, Key B, LED",
       {"sbM1IDSector=1", "sbM1IDBlock=2", "sbM1IDByte=4", "rbM1IDKeyB"}, "A01a0102040101");
    id("a: sector 39 block 3 byte 31, BEEP+LED",
       {"sbM1IDSector=39", "sbM1IDBlock=3", "sbM1IDByte=31", "cmbM1IDKeyErr=3"}, "A01a27031F0003");

    QTest::newRow("d61: sector 39 as 27")
        << "tsMifare" << QStringList{"sbM1E2Sector=39", "rbM1KeyB"} << "btnM1Key"
        << QStringList{"A01B", "A01d6127FFFFFFFFFFFF"} << "Set key EEPROM ok."
        << "";
    // The reader answers a key of 11 characters with status 04; it goes as typed, twice.
    QTest::newRow("d60: 11-character key refused")
        << "tsMifare" << QStringList{"sbM1E2Sector=0", "edM1Key=FFFFFFFFFFF"} << "btnM1Key"
        << QStringList{"A01B", "A01d6000FFFFFFFFFFF", "A01B", "A01d6000FFFFFFFFFFF"}
        << "Set key EEPROM error!"
        << "";

    const auto card = [&](const char* tag, int sector, const char* block) {
        QTest::newRow(tag) << "tsMifareKey" << QStringList{QString("sbM1CardSector=%1").arg(sector)}
                           << "btnM1CardKey"
                           << QStringList{"A01B", "A01i60FFFFFFFFFFFF" + QString(block) + trailer}
                           << "Set card key ok."
                           << "";
    };
    card("trailer of sector 1, initial values", 1, "07");
    card("trailer of sector 0", 0, "03");
    card("trailer of sector 31", 31, "7F");
    card("trailer of sector 32", 32, "8F");
    card("trailer of sector 39", 39, "FF");

    const auto read = [&](const char* tag, int sector, int block, const char* number,
                          const QString& data) {
        QTest::newRow(tag) << "tsMifare"
                           << QStringList{QString("sbM1Sector=%1").arg(sector),
                                          QString("sbM1Block=%1").arg(block)}
                           << "btnM1Read" << QStringList{"A01B", f, "A01h60" + QString(number)}
                           << "Read card data ok." << data;
    };
    read("read sector 1 block 2", 1, 2, "06", zeros);
    read("read sector 0 block 0: the maker's", 0, 0, "00", "5A6B7C8DC018020068696A6B6C6D6E6F");
    // Key A never reads back.
    read("read sector 31 block 3: a trailer", 31, 3, "7F", "000000000000FF078069FFFFFFFFFFFF");
    read("read sector 32 block 0", 32, 0, "80", zeros);
    read("read sector 35 block 12", 35, 12, "BC", zeros);
    read("read sector 39 block 15", 39, 15, "FF", "000000000000FF078069FFFFFFFFFFFF");
    // A fresh card lets Key B be read, and a readable Key B opens nothing.
    QTest::newRow("read with the stored Key B: names the sector")
        << "tsMifare" << QStringList{"sbM1Sector=1", "sbM1Block=2", "chkEEPROM", "rbM1RWKeyB"}
        << "btnM1Read"
        << QStringList{"A01B", "A01e6101", "A01h6106", "A01B", "A01e6101", "A01h6106"}
        << "Read card data error!"
        << "";

    const QString data = "00112233445566778899AABBCCDDEEFF";
    QTest::newRow("write sector 1 block 0")
        << "tsMifare" << QStringList{"edM1Write=" + data} << "btnM1Write"
        << QStringList{"A01B", f, "A01i6004" + data} << "Write card data ok." << data;
    QTest::newRow("write with EEPROM checked loads the typed key")
        << "tsMifare" << QStringList{"chkEEPROM", "sbM1Sector=33", "sbM1Block=7"} << "btnM1Write"
        << QStringList{"A01B", f, "A01i6097" + QString(32, 'F')} << "Write card data ok."
        << QString(32, 'F');
    // The echo is always 32 characters: a shorter text never matches it.
    QTest::newRow("write of 31 characters")
        << "tsMifare" << QStringList{"edM1Write=" + data.left(31)} << "btnM1Write"
        << QStringList{"A01B", f, "A01i6004" + data.left(31), "A01B", f, "A01i6004" + data.left(31)}
        << "Write card data error!"
        << "";
}

void TestMifare::commandFrames() {
    QFETCH(QString, page);
    QFETCH(QStringList, settings);
    QFETCH(QString, button);
    QFETCH(QStringList, commands);
    QFETCH(QString, message);
    QFETCH(QString, read);
    showPage(page.toLatin1().constData());
    link();
    apply(settings);
    f_->click(button.toLatin1().constData());
    QCOMPARE(sent(), commands);
    QCOMPARE(f_->text("pnMsg"), message);
    verifyOutcome(message.endsWith("ok."));
    QCOMPARE(readBox(), read);
}

// A new Key A written to sector 1's trailer: the old key no longer reads the sector, the new one
// does, typed or stored in the reader's EEPROM.
void TestMifare::newKeyAOpensTheSector() {
    showPage("tsMifare");
    link();
    apply({"sbM1Sector=0", "sbM1Block=0"});
    f_->click("btnM1Read");
    const QString maker = readBox();
    QCOMPARE(maker.left(10), QString("5A6B7C8DC0"));
    QCOMPARE(sent(), QStringList({"A01B", "A01f" + kTransportKey, "A01h6000"}));

    showPage("tsMifareKey");
    apply({"edM1CardKeyA=" + kNewKeyA});
    f_->click("btnM1CardKey");
    QCOMPARE(f_->text("pnMsg"), QString("Set card key ok."));
    QCOMPARE(sent(),
             QStringList({"A01B", "A01i60FFFFFFFFFFFF07" + kNewKeyA + "FF0780AA" + kTransportKey}));
    const auto trailer = reader_->mifareCard()->blocks[7];
    QCOMPARE(QByteArray(reinterpret_cast<const char*>(trailer.data()), 10).toHex().toUpper(),
             QByteArray("A0A1A2A3A4A5FF0780AA"));

    showPage("tsMifare");
    apply({"sbM1Sector=1"});
    f_->tones.clear();
    f_->click("btnM1Read");
    QCOMPARE(f_->text("pnMsg"), QString("Read card data error!"));
    QCOMPARE(readBox(), maker);
    QCOMPARE(sent().size(), 6);  // both attempts made
    verifyOutcome(false);

    apply({"edM1RWKey=" + kNewKeyA});
    f_->click("btnM1Read");
    QCOMPARE(f_->text("pnMsg"), QString("Read card data ok."));
    QCOMPARE(sent(), QStringList({"A01B", "A01f" + kNewKeyA, "A01h6004"}));
    QCOMPARE(readBox(), QString(32, '0'));

    // The reader's stored key of sector 1 is still the transport key, until set.
    apply({"edM1RWKey=" + kTransportKey, "edM1Key=" + kNewKeyA});
    f_->click("btnM1Key");
    QCOMPARE(sent(), QStringList({"A01B", "A01d6001" + kNewKeyA}));
    QCOMPARE(f_->text("pnMsg"), QString("Set key EEPROM ok."));
    apply({"sbM1Block=1", "chkEEPROM"});
    f_->tones.clear();
    f_->click("btnM1Read");
    QCOMPARE(sent(), QStringList({"A01B", "A01e6001", "A01h6005"}));
    QCOMPARE(f_->text("pnMsg"), QString("Read card data ok."));
    verifyOutcome(true);
}

void TestMifare::alteredEchoFailsTheWrite() {
    showPage("tsMifare");
    link();
    f_->click("btnM1Read");
    QCOMPARE(readBox(), QString(32, '0'));
    tbsim::FaultPlan plan;
    plan.fault = tbsim::Fault::AlteredData;
    line_->setFault(plan, "i6");
    const QString data = "00112233445566778899AABBCCDDEEFF";
    apply({"edM1Write=" + data});
    line_->clearLog();
    f_->tones.clear();
    f_->click("btnM1Write");
    const QStringList attempt = {"A01B", "A01f" + kTransportKey, "A01i6004" + data};
    QCOMPARE(sent(), attempt + attempt);
    QCOMPARE(f_->text("pnMsg"), QString("Write card data error!"));
    QCOMPARE(readBox(), QString(32, '0'));
    verifyOutcome(false);
}

// A key-error list left without a selection (as a read-out of a value outside the list could
// leave it) gives no record: nothing goes over the line and the command fails.
void TestMifare::idLocationWithoutKeyErrorSendsNothing() {
    showPage("tsMifare");
    link();
    f_->control<QComboBox>("cmbM1IDKeyErr")->setCurrentIndex(-1);
    f_->click("btnM1IDSector");
    QVERIFY(sent().isEmpty());
    QCOMPARE(f_->text("pnMsg"), QString("Set sector/block/byte error!"));
    verifyOutcome(false);
}

void TestMifare::factoryDefaultResetsIdLocation() {
    showPage("tsMifare");
    link();
    apply({"sbM1IDSector=12", "sbM1IDByte=9", "rbM1IDKeyB", "cmbM1IDKeyErr=3"});
    showPage("tsCommand");
    f_->click("btnFactory");
    QCOMPARE(f_->text("pnMsg"), QString("Set factory default ok."));
    QVERIFY(sent().contains("A01a0000000001"));
    showPage("tsMifare");
    f_->click("btnM1IDSector");
    QCOMPARE(sent(), QStringList({"A01B", "A01a0000000001"}));
}

// chkInvalid's click runs chkEEPROM's click, which reads chkEEPROM: the typed key follows it.
void TestMifare::invalidClickRunsEepromClick() {
    showPage("tsMifare");
    auto* key = f_->control<QLineEdit>("edM1RWKey");
    click("chkEEPROM");
    QVERIFY(!key->isEnabled());
    key->setEnabled(true);  // out of step with the box
    click("chkInvalid");
    QVERIFY(!key->isEnabled());
    QVERIFY(f_->control<QCheckBox>("chkEEPROM")->isChecked());
    click("chkEEPROM");
    click("chkInvalid");
    QVERIFY(key->isEnabled());
}

QTEST_MAIN(TestMifare)
#include "tst_mifare.moc"
