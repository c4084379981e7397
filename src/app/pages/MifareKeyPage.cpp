#include "app/pages/MifareKeyPage.h"

#include <QButtonGroup>
#include <QFont>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QVBoxLayout>
#include <vector>

#include "actions/Limits.h"
#include "app/Controls.h"
#include "app/pages/MifarePage.h"
#include "app/widgets/OptionMouseUp.h"

namespace app {
namespace {

const QString kTransportKey = QStringLiteral("FFFFFFFFFFFF");
// Data blocks all 000, trailer 001, user byte AA: what the editor's options show at start.
const QString kInitialAccessBits = QStringLiteral("FF0780AA");

struct AccessOption {
    const char* name;
    const char* caption;
    bool checked;
};

// One group of options: choosing another option of the group changes nothing else.
struct AccessGroup {
    const char* labelName;
    const char* caption;
    std::vector<AccessOption> options;
};

struct AccessBox {
    const char* name;
    const char* caption;
    std::vector<AccessGroup> groups;
};

// The editor's options with their names, captions and start states; "A/B" means either key.
// The data blocks start at condition 000, the trailer at 001.
const std::vector<AccessBox>& AccessBoxes() {
    // clang-format off
    static const std::vector<AccessBox> boxes = {
        {"gbblock0", "Block 0", {
            {"lblBlock0Read", "Read", {{"RadioButton1", "A/B", true}, {"RadioButton2", "B", false}, {"RadioButton3", "never", false}}},
            {"lblBlock0Write", "Write", {{"RadioButton31", "A/B", true}, {"RadioButton32", "B", false}, {"RadioButton33", "never", false}}},
            {"lblBlock0Increment", "Increment", {{"RadioButton7", "A/B", true}, {"RadioButton11", "B", false}, {"RadioButton9", "never", false}}},
            {"lblBlock0Decrement", "Decrement", {{"RadioButton8", "A/B", true}, {"RadioButton10", "never", false}}}}},
        {"gbblock1", "Block 1", {
            {"lblBlock1Read", "Read", {{"RadioButton4", "A/B", true}, {"RadioButton5", "B", false}, {"RadioButton6", "never", false}}},
            {"lblBlock1Write", "Write", {{"RadioButton19", "A/B", true}, {"RadioButton20", "B", false}, {"RadioButton21", "never", false}}},
            {"lblBlock1Increment", "Increment", {{"RadioButton13", "A/B", true}, {"RadioButton15", "B", false}, {"RadioButton14", "never", false}}},
            {"lblBlock1Decrement", "Decrement", {{"RadioButton16", "A/B", true}, {"RadioButton17", "never", false}}}}},
        {"gbblock2", "Block 2", {
            {"lblBlock2Read", "Read", {{"RadioButton22", "A/B", true}, {"RadioButton23", "B", false}, {"RadioButton24", "never", false}}},
            {"lblBlock2Write", "Write", {{"RadioButton34", "A/B", true}, {"RadioButton35", "B", false}, {"RadioButton36", "never", false}}},
            {"lblBlock2Increment", "Increment", {{"RadioButton25", "A/B", true}, {"RadioButton27", "B", false}, {"RadioButton26", "never", false}}},
            {"lblBlock2Decrement", "Decrement", {{"RadioButton28", "A/B", true}, {"RadioButton29", "never", false}}}}},
        {"GroupBox18", "Key A", {
            {"lblTrailerKeyARead", "Read", {{"RadioButton38", "never", true}}},
            {"lblTrailerKeyAWrite", "Write", {{"RadioButton46", "A", true}, {"RadioButton47", "B", false}, {"RadioButton12", "never", false}}}}},
        {"GroupBox23", "Access bits", {
            {"lblTrailerAccessRead", "Read", {{"RadioButton42", "A", true}, {"RadioButton49", "A/B", false}}},
            {"lblTrailerAccessWrite", "Write", {{"RadioButton43", "A", true}, {"RadioButton44", "B", false}, {"RadioButton45", "never", false}}}}},
        {"GroupBox19", "Key B", {
            {"lblTrailerKeyBRead", "Read", {{"RadioButton48", "A", true}, {"RadioButton37", "never", false}}},
            {"lblTrailerKeyBWrite", "Write", {{"RadioButton39", "A", true}, {"RadioButton40", "B", false}, {"RadioButton41", "never", false}}}}},
    };
    // clang-format on
    return boxes;
}

// A box of the editor: a column per group, its caption above its options.
QGroupBox* BuildAccessBox(QWidget* editor, const AccessBox& layout, MifareKeyPage& c) {
    auto* box = MakeGroupBox(editor, layout.name, QString::fromLatin1(layout.caption));
    auto* grid = new QGridLayout(box);
    grid->setContentsMargins(4, 2, 4, 2);
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(0);
    int column = 0;
    for (const AccessGroup& groupLayout : layout.groups) {
        grid->addWidget(
            MakeLabel(box, groupLayout.labelName, QString::fromLatin1(groupLayout.caption)), 0,
            column);
        auto* group = new QButtonGroup(box);
        group->setObjectName(QStringLiteral("grp") +
                             QString::fromLatin1(groupLayout.labelName).mid(3));
        c.accessGroups << group;
        int row = 1;
        for (const AccessOption& optionLayout : groupLayout.options) {
            QRadioButton* option =
                MakeRadioButton(box, optionLayout.name, QString::fromLatin1(optionLayout.caption));
            group->addButton(option);
            option->setChecked(optionLayout.checked);
            c.accessMouseUp->watch(option);
            c.accessOptions << option;
            grid->addWidget(option, row++, column);
        }
        ++column;
    }
    grid->setRowStretch(4, 1);
    return box;
}

QGroupBox* BuildAccessEditor(QWidget* page, MifareKeyPage& c) {
    c.GroupBox2 = MakeGroupBox(page, "GroupBox2", "Access bits (key)");
    // The editor's captions are the same in every language; a narrow face keeps it compact.
    QFont narrow;
    narrow.setFamilies({QStringLiteral("Arial Narrow"), QStringLiteral("Liberation Sans Narrow")});
    narrow.setPointSize(9);
    c.GroupBox2->setFont(narrow);
    c.accessMouseUp = new OptionMouseUp(c.GroupBox2);
    c.accessMouseUp->setObjectName(QStringLiteral("accessMouseUp"));

    auto* grid = new QGridLayout(c.GroupBox2);
    grid->setContentsMargins(4, 2, 4, 4);
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(2);
    QGroupBox** boxes[] = {&c.gbblock0,   &c.gbblock1,   &c.gbblock2,
                           &c.GroupBox18, &c.GroupBox23, &c.GroupBox19};
    int index = 0;
    for (const AccessBox& layout : AccessBoxes()) {
        *boxes[index] = BuildAccessBox(c.GroupBox2, layout, c);
        // Data blocks on the left, the trailer's three parts beside them.
        grid->addWidget(*boxes[index], index % 3, index / 3);
        ++index;
    }
    return c.GroupBox2;
}

QGroupBox* BuildTrailerGroup(QWidget* page, MifareKeyPage& c) {
    auto* group = MakeGroupBox(page, "gbM1Key");
    c.gbM1Key = group;
    auto* grid = CompactGrid(group);

    const ValueRow sector = AddValueRow(grid, 0, group, "lblM1CardSector", "pnM1CardSector", "01",
                                        {"sbM1CardSector", 0, actions::kMaxSector, 10, 1});
    c.lblM1CardSector = sector.label;
    c.pnM1CardSector = sector.panel;
    c.sbM1CardSector = sector.bar;

    // The key the card's trailer holds now, to authenticate with.
    c.gbCardKeyOld = MakeGroupBox(group, "gbCardKeyOld");
    auto* old = CompactGrid(c.gbCardKeyOld);
    c.edM1CardOldKey =
        MakeEdit(c.gbCardKeyOld, "edM1CardOldKey", kTransportKey, actions::kKeyBytes);
    ForceUpperCase(c.edM1CardOldKey);
    const KeyChoice key = AddKeyChoice(c.gbCardKeyOld, "rbM1CardKeyA", "rbM1CardKeyB");
    c.rbM1CardKeyA = key.keyA;
    c.rbM1CardKeyB = key.keyB;
    c.oldKey = key.group;
    old->addWidget(c.edM1CardOldKey, 0, 0);
    old->addWidget(c.rbM1CardKeyA, 0, 1);
    old->addWidget(c.rbM1CardKeyB, 0, 2);
    old->setColumnStretch(0, 1);
    grid->addWidget(c.gbCardKeyOld, 1, 0, 1, 3);

    // The new trailer, in the order the card holds it: Key A, access bits, Key B. The access
    // bits' box admits a key's length like the other two.
    c.gbM1NewCardKey = MakeGroupBox(group, "gbM1NewCardKey");
    auto* fresh = CompactGrid(c.gbM1NewCardKey);
    const auto addRow = [&](int row, QLabel*& label, const char* labelName, const char* caption,
                            QLineEdit*& edit, const char* editName, const QString& text) {
        label = MakeLabel(c.gbM1NewCardKey, labelName, QString::fromLatin1(caption));
        edit = MakeEdit(c.gbM1NewCardKey, editName, text, actions::kKeyBytes);
        ForceUpperCase(edit);
        label->setBuddy(edit);
        fresh->addWidget(label, row, 0);
        fresh->addWidget(edit, row, 1);
    };
    addRow(0, c.lblM1CardKeyA, "lblM1CardKeyA", "Key A", c.edM1CardKeyA, "edM1CardKeyA",
           kTransportKey);
    addRow(1, c.lblM1CardKeyAccess, "lblM1CardKeyAccess", "Access bits", c.edM1CardKeyAccess,
           "edM1CardKeyAccess", kInitialAccessBits);
    addRow(2, c.lblM1CardKeyB, "lblM1CardKeyB", "Key B", c.edM1CardKeyB, "edM1CardKeyB",
           kTransportKey);
    // A warning only: whatever it says, the text is written as it stands.
    c.lblM1CardKeyAccessNotice = MakeLabel(c.gbM1NewCardKey, "lblM1CardKeyAccessNotice", QString());
    c.lblM1CardKeyAccessNotice->setWordWrap(true);
    QPalette red = c.lblM1CardKeyAccessNotice->palette();
    red.setColor(QPalette::WindowText, kAccessNoticeColor);
    c.lblM1CardKeyAccessNotice->setPalette(red);
    fresh->addWidget(c.lblM1CardKeyAccessNotice, 3, 0, 1, 2);
    fresh->setColumnStretch(1, 1);
    grid->addWidget(c.gbM1NewCardKey, 2, 0, 1, 3);

    c.btnM1CardKey = MakeButton(group, "btnM1CardKey");
    grid->addWidget(c.btnM1CardKey, 3, 0, 1, 3);
    grid->setColumnStretch(2, 1);
    grid->setRowStretch(4, 1);
    return group;
}

}  // namespace

MifareKeyPage BuildMifareKeyPage(QWidget* page) {
    MifareKeyPage controls;
    auto* columns = new QHBoxLayout(page);
    columns->setContentsMargins(4, 4, 4, 4);
    columns->setSpacing(6);
    columns->addWidget(BuildTrailerGroup(page, controls), 1);
    columns->addWidget(BuildAccessEditor(page, controls), 1);
    return controls;
}

}  // namespace app
