// The pages MIFARE and MIFARE card key: every control where the reader commands expect it, with
// its initial value and limits; the panels and the block range that follow the scroll bars; the
// option groups of the access-condition editor and the mouse-up that only the mouse produces.
#include <QButtonGroup>
#include <QCheckBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QScrollBar>
#include <QSignalSpy>

#include "WindowFixture.h"
#include "app/widgets/OptionMouseUp.h"

using text::Msg;

class TestMifareLayout : public QObject {
    Q_OBJECT

private slots:
    void init() { f_.init(); }
    void cleanup() { f_.cleanup(); }
    void cleanupTestCase() { f_.cleanupTestCase(); }
    void scrollBars_data();
    void scrollBars();
    void blockRangeFollowsSector_data();
    void blockRangeFollowsSector();
    void edits_data();
    void edits();
    void keyErrorList();
    void eepromGreysTypedKey();
    void optionGroups_data();
    void optionGroups();
    void editorSize();
    void keyboardChangesOnlyItsGroup();
    void mouseUpAfterCheck();
    void captionsInTraditionalChinese_data();
    void captionsInTraditionalChinese();

private:
    template <typename T>
    T* control(const QString& name) {
        return f_->control<T>(name);
    }
    void showPage(const char* name) { f_->showPage(name); }

    // Other rows move scroll bars and options and switch the language.
    RowWindow f_{{"optionGroups", "captionsInTraditionalChinese"}};
};

void TestMifareLayout::scrollBars_data() {
    QTest::addColumn<QString>("bar");
    QTest::addColumn<int>("maximum");
    QTest::addColumn<int>("largeStep");
    QTest::addColumn<int>("position");
    QTest::addColumn<QString>("panel");
    QTest::addColumn<QString>("panelText");
    QTest::addColumn<QString>("format");
    QTest::addColumn<QString>("group");

    const auto row = [](const char* tag, const char* bar, int maximum, int largeStep, int position,
                        const char* panelText, const char* format, const char* group) {
        QTest::newRow(tag) << bar << maximum << largeStep << position
                           << QString(bar).replace(0, 2, "pn") << panelText << format << group;
    };
    row("ID sector", "sbM1IDSector", 39, 10, 0, "00", "%02d", "gbM1IDSector");
    row("ID block", "sbM1IDBlock", 3, 2, 0, "0", "%d", "gbM1IDSector");
    // The byte panel shows "00" until the bar first moves.
    row("ID byte", "sbM1IDByte", 31, 5, 0, "00", "%d", "gbM1IDSector");
    row("EEPROM sector", "sbM1E2Sector", 39, 10, 1, "01", "%02d", "gbM1E2");
    row("test sector", "sbM1Sector", 39, 10, 1, "01", "%02d", "gbM1RW");
    row("test block", "sbM1Block", 3, 2, 0, "0", "%d", "gbM1RW");
    row("trailer sector", "sbM1CardSector", 39, 10, 1, "01", "%02d", "gbM1Key");
}

// Range, large step, position and panel at start; then the panel follows every move, by key
// as the user moves the bar, or set as the settings read-out does.
void TestMifareLayout::scrollBars() {
    QFETCH(QString, bar);
    QFETCH(int, maximum);
    QFETCH(int, largeStep);
    QFETCH(int, position);
    QFETCH(QString, panel);
    QFETCH(QString, panelText);
    QFETCH(QString, format);
    QFETCH(QString, group);

    auto* scroll = control<QScrollBar>(bar);
    auto* shown = control<QLabel>(panel);
    QCOMPARE(scroll->minimum(), 0);
    QCOMPARE(scroll->maximum(), maximum);
    QCOMPARE(scroll->pageStep(), largeStep);
    QCOMPARE(scroll->value(), position);
    QCOMPARE(shown->text(), panelText);
    QCOMPARE(scroll->parentWidget(), control<QGroupBox>(group));
    QCOMPARE(shown->parentWidget(), control<QGroupBox>(group));
    QCOMPARE(control<QLabel>("lbl" + bar.mid(2))->buddy(), scroll);
    const auto expect = [&](int value) { return QString::asprintf(qPrintable(format), value); };
    QTest::keyClick(scroll, Qt::Key_End);
    QCOMPARE(scroll->value(), maximum);
    QCOMPARE(shown->text(), expect(maximum));
    QTest::keyClick(scroll, Qt::Key_Home);
    QCOMPARE(shown->text(), expect(0));
    QTest::keyClick(scroll, Qt::Key_PageDown);
    QCOMPARE(shown->text(), expect(largeStep));
    scroll->setValue(maximum - 1);  // "38" or "2", "30" for the byte
    QCOMPARE(shown->text(), expect(maximum - 1));
    scroll->setValue(5);  // "05" for a sector, "5" for the byte
    QCOMPARE(shown->text(), expect(scroll->value()));
}

void TestMifareLayout::blockRangeFollowsSector_data() {
    QTest::addColumn<int>("fromSector");
    QTest::addColumn<int>("fromBlock");
    QTest::addColumn<int>("toSector");
    QTest::addColumn<int>("maximum");
    QTest::addColumn<int>("block");

    QTest::newRow("into the 16-block sectors") << 1 << 3 << 32 << 15 << 3;
    QTest::newRow("last sector") << 1 << 0 << 39 << 15 << 0;
    QTest::newRow("35 block 12 down to 31") << 35 << 12 << 31 << 3 << 3;
    QTest::newRow("39 block 15 down to 0") << 39 << 15 << 0 << 3 << 3;
    QTest::newRow("within the big sectors") << 33 << 14 << 38 << 15 << 14;
    QTest::newRow("small block kept") << 36 << 2 << 20 << 3 << 2;
}

void TestMifareLayout::blockRangeFollowsSector() {
    QFETCH(int, fromSector);
    QFETCH(int, fromBlock);
    QFETCH(int, toSector);
    QFETCH(int, maximum);
    QFETCH(int, block);

    auto* sector = control<QScrollBar>("sbM1Sector");
    auto* blocks = control<QScrollBar>("sbM1Block");
    sector->setValue(fromSector);
    blocks->setValue(fromBlock);
    QCOMPARE(blocks->value(), fromBlock);
    sector->setValue(toSector);
    QCOMPARE(blocks->maximum(), maximum);
    QCOMPARE(blocks->value(), block);
    QCOMPARE(control<QLabel>("pnM1Block")->text(), QString::number(block));
    QCOMPARE(control<QLabel>("pnM1Sector")->text(), QString::asprintf("%02d", toSector));
    // The ID location's block bar keeps 0 to 3 whatever the sectors do.
    QCOMPARE(control<QScrollBar>("sbM1IDBlock")->maximum(), 3);
}

void TestMifareLayout::edits_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("maxLength");
    QTest::addColumn<QString>("group");

    const QString key(12, 'F');
    QTest::newRow("EEPROM key") << "edM1Key" << key << 12 << "gbM1E2";
    QTest::newRow("test key") << "edM1RWKey" << key << 12 << "gbM1RW";
    QTest::newRow("data to write") << "edM1Write" << QString(32, 'F') << 32 << "gbM1RW";
    QTest::newRow("old key") << "edM1CardOldKey" << key << 12 << "gbCardKeyOld";
    QTest::newRow("new Key A") << "edM1CardKeyA" << key << 12 << "gbM1NewCardKey";
    QTest::newRow("access bits") << "edM1CardKeyAccess"
                                 << "FF0780AA" << 12 << "gbM1NewCardKey";
    QTest::newRow("new Key B") << "edM1CardKeyB" << key << 12 << "gbM1NewCardKey";
}

// Initial text and group; upper case as the user types; the limit counts the reader's bytes,
// so in Simplified Chinese (GBK) a Chinese character takes two.
void TestMifareLayout::edits() {
    QFETCH(QString, name);
    QFETCH(QString, text);
    QFETCH(int, maxLength);
    QFETCH(QString, group);

    auto* edit = control<QLineEdit>(name);
    QCOMPARE(edit->text(), text);
    QCOMPARE(edit->parentWidget(), control<QGroupBox>(group));
    QVERIFY(!edit->isReadOnly());
    edit->clear();
    QTest::keyClicks(edit, "ab12cdef3456789abcdef0123456789abcdef");
    QCOMPARE(edit->text(), QString("AB12CDEF3456789ABCDEF0123456789ABCDEF").left(maxLength));

    f_->switchLanguage("mnuSimplified");
    edit->clear();
    TypeText(edit, QString(maxLength, QChar(0x6C49)));
    QCOMPARE(edit->text(), QString(maxLength / 2, QChar(0x6C49)));
    edit->clear();
    const QString start = QString::fromUtf8("A汉");  // 3 bytes: an odd number left over
    TypeText(edit, start + QString(maxLength, QChar(0x5B57)));
    QCOMPARE(edit->text(), start + QString((maxLength - 3) / 2, QChar(0x5B57)));
}

void TestMifareLayout::keyErrorList() {
    auto* list = control<QComboBox>("cmbM1IDKeyErr");
    QStringList items;
    for (int i = 0; i < list->count(); ++i) items << list->itemText(i);
    QCOMPARE(items, QStringList({"None", "LED", "BEEP", "BEEP+LED"}));
    QCOMPARE(list->currentIndex(), 1);
    QVERIFY(!list->isEditable());
    QCOMPARE(list->parentWidget(), control<QGroupBox>("gbM1IDSector"));
    QCOMPARE(control<QLabel>("lblM1IDErr")->buddy(), list);
}

void TestMifareLayout::eepromGreysTypedKey() {
    showPage("tsMifare");
    auto* eeprom = control<QCheckBox>("chkEEPROM");
    auto* key = control<QLineEdit>("edM1RWKey");
    auto* read = control<QLineEdit>("edM1Read");
    QVERIFY(!eeprom->isChecked());
    QVERIFY(key->isEnabled());
    QTest::mouseClick(eeprom, Qt::LeftButton);
    QVERIFY(!key->isEnabled());
    QTest::mouseClick(eeprom, Qt::LeftButton);
    QVERIFY(key->isEnabled());
    // The read-out box is not typed into and not on the tab path.
    QVERIFY(read->isReadOnly());
    QCOMPARE(read->focusPolicy(), Qt::NoFocus);
    QVERIFY(read->text().isEmpty());
    QCOMPARE(read->parentWidget(), control<QGroupBox>("gbM1RW"));
}

// One row per option group: its box, then each option as "name=caption", "*" when checked.
void TestMifareLayout::optionGroups_data() {
    QTest::addColumn<QString>("box");
    QTest::addColumn<QStringList>("options");

    const auto row = [](const char* tag, const char* box, const QStringList& options) {
        QTest::newRow(tag) << box << options;
    };
    row("ID key", "gbM1IDSector", {"rbM1IDKeyA=Key A*", "rbM1IDKeyB=Key B"});
    row("EEPROM key", "gbM1E2", {"rbM1KeyA=Key A*", "rbM1KeyB=Key B"});
    row("test key", "gbM1RW", {"rbM1RWKeyA=Key A*", "rbM1RWKeyB=Key B"});
    row("old key", "gbCardKeyOld", {"rbM1CardKeyA=Key A*", "rbM1CardKeyB=Key B"});
    // Data blocks start at condition 000, the trailer at 001.
    const char* const blocks[3][11] = {
        {"1", "2", "3", "31", "32", "33", "7", "11", "9", "8", "10"},
        {"4", "5", "6", "19", "20", "21", "13", "15", "14", "16", "17"},
        {"22", "23", "24", "34", "35", "36", "25", "27", "26", "28", "29"}};
    for (int b = 0; b < 3; ++b) {
        const QString box = QString("gbblock%1").arg(b);
        const auto n = [&](int i) { return QString("RadioButton%1=").arg(blocks[b][i]); };
        const auto tag = [&](const char* what) { return (box + " " + what).toLatin1(); };
        QTest::newRow(tag("read").constData())
            << box << QStringList{n(0) + "A/B*", n(1) + "B", n(2) + "never"};
        QTest::newRow(tag("write").constData())
            << box << QStringList{n(3) + "A/B*", n(4) + "B", n(5) + "never"};
        QTest::newRow(tag("increment").constData())
            << box << QStringList{n(6) + "A/B*", n(7) + "B", n(8) + "never"};
        QTest::newRow(tag("decrement").constData())
            << box << QStringList{n(9) + "A/B*", n(10) + "never"};
    }
    row("Key A read", "GroupBox18", {"RadioButton38=never*"});
    row("Key A write", "GroupBox18",
        {"RadioButton46=A*", "RadioButton47=B", "RadioButton12=never"});
    row("access read", "GroupBox23", {"RadioButton42=A*", "RadioButton49=A/B"});
    row("access write", "GroupBox23",
        {"RadioButton43=A*", "RadioButton44=B", "RadioButton45=never"});
    row("Key B read", "GroupBox19", {"RadioButton48=A*", "RadioButton37=never"});
    row("Key B write", "GroupBox19",
        {"RadioButton39=A*", "RadioButton40=B", "RadioButton41=never"});
}

// Caption, start state and box of each option, and a group of exactly these options.
void TestMifareLayout::optionGroups() {
    QFETCH(QString, box);
    QFETCH(QStringList, options);

    QList<QAbstractButton*> expected;
    for (QString option : options) {
        const bool checked = option.endsWith('*');
        if (checked) option.chop(1);
        const QStringList nameCaption = option.split('=');
        auto* button = control<QRadioButton>(nameCaption[0]);
        QCOMPARE(button->text(), nameCaption[1]);
        QCOMPARE(button->isChecked(), checked);
        QCOMPARE(button->parentWidget(), control<QGroupBox>(box));
        expected << button;
    }
    QButtonGroup* group = expected.first()->group();
    QVERIFY(group && group->exclusive());
    QCOMPARE(group->buttons(), expected);
}

void TestMifareLayout::editorSize() {
    auto* editor = control<QGroupBox>("GroupBox2");
    QCOMPARE(editor->findChildren<QRadioButton*>().size(), 47);
    QCOMPARE(editor->findChildren<QButtonGroup*>().size(), 18);
}

// An arrow key moves within the option's own group and reports no mouse-up.
void TestMifareLayout::keyboardChangesOnlyItsGroup() {
    showPage("tsMifareKey");
    auto* mouseUp = control<app::OptionMouseUp>("accessMouseUp");
    QSignalSpy released(mouseUp, &app::OptionMouseUp::released);
    auto* read = control<QRadioButton>("RadioButton4");
    read->setFocus();
    QTest::keyClick(read, Qt::Key_Down);
    QVERIFY(control<QRadioButton>("RadioButton5")->isChecked());
    QVERIFY(!read->isChecked());
    for (const char* untouched : {"RadioButton19", "RadioButton13", "RadioButton16", "RadioButton1",
                                  "RadioButton22", "RadioButton42"})
        QVERIFY2(control<QRadioButton>(untouched)->isChecked(), untouched);
    QTest::keyClick(control<QRadioButton>("RadioButton5"), Qt::Key_Space);
    QCOMPARE(released.count(), 0);
    QCOMPARE(control<QLineEdit>("edM1CardKeyAccess")->text(), QString("FF0780AA"));
}

// The mouse-up comes once per left click, after the option is checked; a right click or a
// release outside the option does not make one.
void TestMifareLayout::mouseUpAfterCheck() {
    showPage("tsMifareKey");
    auto* mouseUp = control<app::OptionMouseUp>("accessMouseUp");
    QStringList seen;
    connect(mouseUp, &app::OptionMouseUp::released, this, [&](const QString& name) {
        seen << name + (control<QRadioButton>(name)->isChecked() ? ":checked" : ":unchecked");
    });

    auto* never = control<QRadioButton>("RadioButton17");
    QTest::mouseClick(never, Qt::LeftButton);
    QVERIFY(never->isChecked());
    QVERIFY(!control<QRadioButton>("RadioButton16")->isChecked());
    QTest::mouseClick(control<QRadioButton>("RadioButton38"), Qt::LeftButton);
    QTest::mouseClick(control<QRadioButton>("RadioButton49"), Qt::RightButton);
    QVERIFY(!control<QRadioButton>("RadioButton49")->isChecked());
    auto* keyB = control<QRadioButton>("RadioButton40");
    QTest::mousePress(keyB, Qt::LeftButton);
    QTest::mouseRelease(keyB, Qt::LeftButton, {}, QPoint(-20, -20));
    QVERIFY(!keyB->isChecked());
    QCOMPARE(seen, QStringList({"RadioButton17:checked", "RadioButton38:checked"}));
    // The key choices beside the editor are not options of it.
    QTest::mouseClick(control<QRadioButton>("rbM1CardKeyB"), Qt::LeftButton);
    QCOMPARE(seen.size(), 2);
}

void TestMifareLayout::captionsInTraditionalChinese_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("msg");

    const auto row = [](const char* name, Msg msg) { QTest::newRow(name) << name << int(msg); };
    row("gbM1IDSector", Msg::CardIdSectorBlockByte);
    row("lblM1IDSector", Msg::Sector);
    row("lblM1IDBlock", Msg::Block);
    row("lblM1IDByte", Msg::Byte);
    row("btnM1IDSector", Msg::SetSectorBlockByte);
    row("rbM1IDKeyA", Msg::KeyA);
    row("rbM1IDKeyB", Msg::KeyB);
    row("lblM1IDErr", Msg::KeyErrorMsg);
    row("gbM1E2", Msg::WriteKeyToEeprom);
    row("lblM1E2Sector", Msg::Sector);
    row("lblM1E2Key", Msg::Key);
    row("btnM1Key", Msg::SetKeyEeprom);
    row("gbM1RW", Msg::CardDataReadWriteTest);
    row("lblM1Sector", Msg::Sector);
    row("lblM1Block", Msg::Block);
    row("lblM1Write", Msg::WriteCardData);
    row("btnM1Write", Msg::WriteCardData);
    row("lblM1Read", Msg::ReadCardData);
    row("btnM1Read", Msg::ReadCardData);
    row("gbM1Key", Msg::WriteKeyToCard);
    row("lblM1CardSector", Msg::Sector);
    row("gbCardKeyOld", Msg::OldKey);
    row("gbM1NewCardKey", Msg::NewKey);
    row("btnM1CardKey", Msg::SetCardKey);
}

void TestMifareLayout::captionsInTraditionalChinese() {
    QFETCH(QString, name);
    QFETCH(int, msg);

    f_->switchLanguage("mnuTraditional");
    QCOMPARE(CaptionOf(control<QWidget>(name)), text::Text(Msg(msg), text::kTraditionalChinese));
}

QTEST_MAIN(TestMifareLayout)
#include "tst_mifare_layout.moc"
