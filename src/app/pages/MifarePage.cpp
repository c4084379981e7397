#include "app/pages/MifarePage.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QVBoxLayout>

#include "actions/Limits.h"
#include "app/Controls.h"
#include "commands/config/ListItems.h"
#include "commands/mifare/CardGeometry.h"

namespace app {
namespace {

const QString kTransportKey = QStringLiteral("FFFFFFFFFFFF");

QGroupBox* BuildIdLocationGroup(QWidget* page, MifarePage& c) {
    auto* group = MakeGroupBox(page, "gbM1IDSector");
    c.gbM1IDSector = group;
    auto* grid = CompactGrid(group);

    const ValueRow sector = AddValueRow(grid, 0, group, "lblM1IDSector", "pnM1IDSector", "00",
                                        {"sbM1IDSector", 0, actions::kMaxSector, 10, 0});
    c.lblM1IDSector = sector.label;
    c.pnM1IDSector = sector.panel;
    c.sbM1IDSector = sector.bar;
    const ValueRow block = AddValueRow(grid, 1, group, "lblM1IDBlock", "pnM1IDBlock", "0",
                                       {"sbM1IDBlock", 0, actions::kMaxIdBlock, 2, 0});
    c.lblM1IDBlock = block.label;
    c.pnM1IDBlock = block.panel;
    c.sbM1IDBlock = block.bar;
    // The byte panel reads "00" until the bar is first moved, then "%d".
    const ValueRow byte = AddValueRow(grid, 2, group, "lblM1IDByte", "pnM1IDByte", "00",
                                      {"sbM1IDByte", 0, actions::kMaxIdByte, 5, 0});
    c.lblM1IDByte = byte.label;
    c.pnM1IDByte = byte.panel;
    c.sbM1IDByte = byte.bar;

    const KeyChoice key = AddKeyChoice(group, "rbM1IDKeyA", "rbM1IDKeyB");
    c.rbM1IDKeyA = key.keyA;
    c.rbM1IDKeyB = key.keyB;
    c.idKey = key.group;
    grid->addWidget(c.rbM1IDKeyA, 0, 3);
    grid->addWidget(c.rbM1IDKeyB, 1, 3);

    c.lblM1IDErr = MakeLabel(group, "lblM1IDErr");
    c.cmbM1IDKeyErr = MakeComboBox(group, "cmbM1IDKeyErr", Items(commands::kKeyErrorItems));
    c.cmbM1IDKeyErr->setCurrentIndex(1);
    c.lblM1IDErr->setBuddy(c.cmbM1IDKeyErr);
    auto* errorRow = new QHBoxLayout;
    errorRow->addWidget(c.lblM1IDErr);
    errorRow->addWidget(c.cmbM1IDKeyErr, 1);
    grid->addLayout(errorRow, 3, 0, 1, 4);

    c.btnM1IDSector = MakeButton(group, "btnM1IDSector");
    grid->addWidget(c.btnM1IDSector, 4, 0, 1, 4);
    grid->setColumnStretch(2, 1);
    return group;
}

QGroupBox* BuildEepromKeyGroup(QWidget* page, MifarePage& c) {
    auto* group = MakeGroupBox(page, "gbM1E2");
    c.gbM1E2 = group;
    auto* grid = CompactGrid(group);

    const ValueRow sector = AddValueRow(grid, 0, group, "lblM1E2Sector", "pnM1E2Sector", "01",
                                        {"sbM1E2Sector", 0, actions::kMaxSector, 10, 1});
    c.lblM1E2Sector = sector.label;
    c.pnM1E2Sector = sector.panel;
    c.sbM1E2Sector = sector.bar;

    c.lblM1E2Key = MakeLabel(group, "lblM1E2Key");
    c.edM1Key = MakeEdit(group, "edM1Key", kTransportKey, actions::kKeyBytes);
    ForceUpperCase(c.edM1Key);
    c.lblM1E2Key->setBuddy(c.edM1Key);
    grid->addWidget(c.lblM1E2Key, 1, 0);
    grid->addWidget(c.edM1Key, 1, 1, 1, 2);

    const KeyChoice key = AddKeyChoice(group, "rbM1KeyA", "rbM1KeyB");
    c.rbM1KeyA = key.keyA;
    c.rbM1KeyB = key.keyB;
    c.e2Key = key.group;
    grid->addWidget(c.rbM1KeyA, 0, 3);
    grid->addWidget(c.rbM1KeyB, 1, 3);

    c.btnM1Key = MakeButton(group, "btnM1Key");
    grid->addWidget(c.btnM1Key, 2, 0, 1, 4);
    grid->setColumnStretch(2, 1);
    return group;
}

QGroupBox* BuildReadWriteGroup(QWidget* page, MifarePage& c) {
    auto* group = MakeGroupBox(page, "gbM1RW");
    c.gbM1RW = group;
    auto* grid = CompactGrid(group);

    const ValueRow sector = AddValueRow(grid, 0, group, "lblM1Sector", "pnM1Sector", "01",
                                        {"sbM1Sector", 0, actions::kMaxSector, 10, 1});
    c.lblM1Sector = sector.label;
    c.pnM1Sector = sector.panel;
    c.sbM1Sector = sector.bar;
    // Sector 1 has four blocks; the sector's change handler widens the range from sector 32.
    const ValueRow block =
        AddValueRow(grid, 1, group, "lblM1Block", "pnM1Block", "0",
                    {"sbM1Block", 0, commands::mifare::kSmallSectorBlocks - 1, 2, 0});
    c.lblM1Block = block.label;
    c.pnM1Block = block.panel;
    c.sbM1Block = block.bar;

    const KeyChoice key = AddKeyChoice(group, "rbM1RWKeyA", "rbM1RWKeyB");
    c.rbM1RWKeyA = key.keyA;
    c.rbM1RWKeyB = key.keyB;
    c.rwKey = key.group;
    grid->addWidget(c.rbM1RWKeyA, 0, 3);
    grid->addWidget(c.rbM1RWKeyB, 1, 3);

    // The typed key; with "EEPROM" checked a read uses the reader's stored key of the sector.
    c.edM1RWKey = MakeEdit(group, "edM1RWKey", kTransportKey, actions::kKeyBytes);
    ForceUpperCase(c.edM1RWKey);
    c.chkEEPROM = MakeCheckBox(group, "chkEEPROM", "EEPROM");
    grid->addWidget(c.edM1RWKey, 2, 0, 1, 3);
    grid->addWidget(c.chkEEPROM, 2, 3);

    c.lblM1Read = MakeLabel(group, "lblM1Read");
    c.btnM1Read = MakeButton(group, "btnM1Read");
    c.edM1Read = MakeEdit(group, "edM1Read", QString());
    c.edM1Read->setReadOnly(true);
    c.edM1Read->setFocusPolicy(Qt::NoFocus);
    c.lblM1Read->setBuddy(c.edM1Read);
    grid->addWidget(c.lblM1Read, 3, 0, 1, 3);
    grid->addWidget(c.edM1Read, 4, 0, 1, 4);
    grid->addWidget(c.btnM1Read, 5, 0, 1, 4);

    c.lblM1Write = MakeLabel(group, "lblM1Write");
    c.btnM1Write = MakeButton(group, "btnM1Write");
    c.edM1Write = MakeEdit(group, "edM1Write", QString(actions::kBlockDataBytes, QLatin1Char('F')),
                           actions::kBlockDataBytes);
    ForceUpperCase(c.edM1Write);
    c.lblM1Write->setBuddy(c.edM1Write);
    grid->addWidget(c.lblM1Write, 6, 0, 1, 3);
    grid->addWidget(c.edM1Write, 7, 0, 1, 4);
    grid->addWidget(c.btnM1Write, 8, 0, 1, 4);
    grid->setColumnStretch(2, 1);
    grid->setRowStretch(9, 1);
    return group;
}

}  // namespace

MifarePage BuildMifarePage(QWidget* page) {
    MifarePage controls;
    auto* columns = new QHBoxLayout(page);
    columns->setContentsMargins(4, 4, 4, 4);
    columns->setSpacing(6);
    auto* left = new QVBoxLayout;
    left->setSpacing(4);
    left->addWidget(BuildIdLocationGroup(page, controls));
    left->addWidget(BuildEepromKeyGroup(page, controls));
    left->addStretch();
    columns->addLayout(left, 1);
    columns->addWidget(BuildReadWriteGroup(page, controls), 1);
    return controls;
}

KeyChoice AddKeyChoice(QWidget* group, const char* keyAName, const char* keyBName) {
    KeyChoice made{MakeRadioButton(group, keyAName), MakeRadioButton(group, keyBName),
                   new QButtonGroup(group)};
    made.group->addButton(made.keyA);
    made.group->addButton(made.keyB);
    made.keyA->setChecked(true);
    return made;
}

}  // namespace app
