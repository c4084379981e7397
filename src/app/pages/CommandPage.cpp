#include "app/pages/CommandPage.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/Controls.h"
#include "commands/config/ListItems.h"

namespace app {
namespace {

QGroupBox* BuildModeGroup(QWidget* page, CommandPage& controls) {
    auto* group = MakeGroupBox(page, "gbMode");
    controls.gbMode = group;
    auto* grid = new QGridLayout(group);
    const auto addList = [&](int row, QLabel*& label, const char* labelName,
                             const char* fixedCaption, QComboBox*& list, const char* listName,
                             const QStringList& items) {
        label = fixedCaption ? MakeLabel(group, labelName, QString::fromLatin1(fixedCaption))
                             : MakeLabel(group, labelName);
        list = MakeComboBox(group, listName, items);
        label->setBuddy(list);
        grid->addWidget(label, row, 0);
        grid->addWidget(list, row, 1);
    };
    addList(0, controls.lblInterface, "lblInterface", nullptr, controls.cmbMode, "cmbMode",
            Items(commands::kModeItems));
    addList(1, controls.lblWiegand, "lblWiegand", nullptr, controls.cmbWiegand, "cmbWiegand",
            Items(commands::kWiegandItems));
    // "RS485:" is the interface's name, the same in every language.
    addList(2, controls.lblRS485, "lblRS485", "RS485:", controls.cmbRS485, "cmbRS485",
            Items(commands::kRs485Items));
    controls.cmbRS485->setCurrentIndex(1);

    controls.btnMode = MakeButton(group, "btnMode");
    controls.btnGetMode = MakeButton(group, "btnGetMode");
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(controls.btnMode, 3);
    buttons->addWidget(controls.btnGetMode, 1);
    grid->addLayout(buttons, 3, 0, 1, 2);
    grid->setColumnStretch(1, 1);
    return group;
}

QGroupBox* BuildCardReadGroup(QWidget* page, CommandPage& controls) {
    auto* group = MakeGroupBox(page, "gbCardRead");
    controls.gbCardRead = group;
    auto* grid = new QGridLayout(group);
    controls.lblResetMode = MakeLabel(group, "lblResetMode");
    controls.cmbResetMode = MakeComboBox(group, "cmbResetMode", Items(commands::kResetModeItems));
    controls.cmbResetMode->setCurrentIndex(1);
    controls.lblResetMode->setBuddy(controls.cmbResetMode);
    controls.btnCardRead = MakeButton(group, "btnCardRead");
    grid->addWidget(controls.lblResetMode, 0, 0);
    grid->addWidget(controls.cmbResetMode, 0, 1);
    grid->addWidget(controls.btnCardRead, 1, 0, 1, 2);
    grid->setColumnStretch(1, 1);
    return group;
}

QGroupBox* BuildTestGroup(QWidget* page, CommandPage& controls) {
    auto* group = MakeGroupBox(page, "gbTest");
    controls.gbTest = group;
    auto* grid = new QGridLayout(group);
    // Free texts, sent as typed: reader commands mix upper- and lower-case letters.
    controls.edTest = MakeEdit(group, "edTest", "H1");
    controls.btnTest = MakeButton(group, "btnTest");
    controls.edTest2 = MakeEdit(group, "edTest2", "00H1");
    controls.btnTest2 = MakeButton(group, "btnTest2");
    grid->addWidget(controls.edTest, 0, 0);
    grid->addWidget(controls.btnTest, 0, 1);
    grid->addWidget(controls.edTest2, 1, 0);
    grid->addWidget(controls.btnTest2, 1, 1);
    grid->setColumnStretch(0, 1);
    return group;
}

QGroupBox* BuildUtilityGroup(QWidget* page, CommandPage& controls) {
    auto* group = MakeGroupBox(page, "gbUtility");
    controls.gbUtility = group;
    auto* column = new QVBoxLayout(group);
    controls.btnReboot = MakeButton(group, "btnReboot");
    controls.btnFactory = MakeButton(group, "btnFactory");
    column->addWidget(controls.btnReboot);
    column->addWidget(controls.btnFactory);
    return group;
}

}  // namespace

CommandPage BuildCommandPage(QWidget* page) {
    CommandPage controls;
    auto* grid = new QGridLayout(page);
    grid->setContentsMargins(6, 6, 6, 6);
    grid->setHorizontalSpacing(10);
    grid->setVerticalSpacing(8);
    grid->addWidget(BuildModeGroup(page, controls), 0, 0);
    grid->addWidget(BuildCardReadGroup(page, controls), 0, 1, Qt::AlignTop);
    grid->addWidget(BuildTestGroup(page, controls), 1, 0);
    grid->addWidget(BuildUtilityGroup(page, controls), 1, 1);
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(2, 1);
    return controls;
}

}  // namespace app
