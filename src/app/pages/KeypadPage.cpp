#include "app/pages/KeypadPage.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>

#include "actions/Limits.h"
#include "app/Controls.h"
#include "commands/config/ListItems.h"

namespace app {
namespace {

// A set button with its get button beside it, across the whole group.
QHBoxLayout* ButtonRow(QPushButton* set, QPushButton* get) {
    auto* row = new QHBoxLayout;
    row->addWidget(set, 3);
    row->addWidget(get, 1);
    return row;
}

QGroupBox* BuildParityGroup(QWidget* page, KeypadPage& controls) {
    auto* group = MakeGroupBox(page, "gbKeyParity");
    controls.gbKeyParity = group;
    auto* grid = new QGridLayout(group);
    controls.lblKeyParity = MakeLabel(group, "lblKeyParity");
    controls.cmbKeyParity = MakeComboBox(group, "cmbKeyParity", Items(commands::kKeyParityItems));
    controls.lblKeyParity->setBuddy(controls.cmbKeyParity);
    controls.btnKeyParity = MakeButton(group, "btnKeyParity");
    controls.btnGetKeyParity = MakeButton(group, "btnGetKeyParity");
    grid->addWidget(controls.lblKeyParity, 0, 0);
    grid->addWidget(controls.cmbKeyParity, 0, 1);
    grid->addLayout(ButtonRow(controls.btnKeyParity, controls.btnGetKeyParity), 1, 0, 1, 2);
    grid->setColumnStretch(1, 1);
    return group;
}

QGroupBox* BuildNumberGroup(QWidget* page, KeypadPage& controls) {
    auto* group = MakeGroupBox(page, "gbKeyNumber");
    controls.gbKeyNumber = group;
    auto* grid = new QGridLayout(group);
    const ValueRow number = AddValueRow(grid, 0, group, "lblKeyNumber", "pnKeyNumber", "04",
                                        {"sbKeyNumber", 0, actions::kMaxKeyNumber, 3, 4});
    controls.lblKeyNumber = number.label;
    controls.pnKeyNumber = number.panel;
    controls.sbKeyNumber = number.bar;
    controls.btnKeyNumber = MakeButton(group, "btnKeyNumber");
    controls.btnGetKeyNumber = MakeButton(group, "btnGetKeyNumber");
    grid->addLayout(ButtonRow(controls.btnKeyNumber, controls.btnGetKeyNumber), 1, 0, 1, 3);
    grid->setColumnStretch(2, 1);
    return group;
}

QGroupBox* BuildStatusGroup(QWidget* page, KeypadPage& controls) {
    auto* group = MakeGroupBox(page, "gbKeyStatus");
    controls.gbKeyStatus = group;
    auto* grid = new QGridLayout(group);
    const ValueRow number =
        AddValueRow(grid, 0, group, "lblKeyStatusNumber", "pnKeyStatusNumber", "00",
                    {"sbKeyStatusNumber", 0, actions::kMaxKeyStatusNumber, 3, 0});
    controls.lblKeyStatusNumber = number.label;
    controls.pnKeyStatusNumber = number.panel;
    controls.sbKeyStatusNumber = number.bar;
    const ValueRow delay = AddValueRow(grid, 1, group, "lblKeyDelayTime", "pnKeyDelayTime", "03",
                                       {"sbKeyDelayTime", 0, actions::kMaxKeyDelaySeconds, 10, 3});
    controls.lblKeyDelayTime = delay.label;
    controls.pnKeyDelayTime = delay.panel;
    controls.sbKeyDelayTime = delay.bar;
    controls.lblKeySec = MakeLabel(group, "lblKeySec");
    grid->addWidget(controls.lblKeySec, 1, 3);

    controls.btnKeyStatus = MakeButton(group, "btnKeyStatus");
    controls.btnGetKeyStatus = MakeButton(group, "btnGetKeyStatus");
    grid->addLayout(ButtonRow(controls.btnKeyStatus, controls.btnGetKeyStatus), 2, 0, 1, 4);
    grid->setColumnStretch(2, 1);
    return group;
}

}  // namespace

KeypadPage BuildKeypadPage(QWidget* page) {
    KeypadPage controls;
    auto* grid = new QGridLayout(page);
    grid->setContentsMargins(6, 6, 6, 6);
    grid->setHorizontalSpacing(10);
    grid->setVerticalSpacing(8);
    grid->addWidget(BuildParityGroup(page, controls), 0, 0);
    grid->addWidget(BuildNumberGroup(page, controls), 0, 1);
    grid->addWidget(BuildStatusGroup(page, controls), 1, 0);
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(2, 1);
    return controls;
}

}  // namespace app
