#include "app/pages/EmPage.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

#include "app/Controls.h"
#include "commands/config/ListItems.h"

namespace app {

EmPage BuildEmPage(QWidget* page) {
    EmPage controls;
    auto* outer = new QGridLayout(page);
    outer->setContentsMargins(6, 6, 6, 6);

    controls.gbCardType = MakeGroupBox(page, "gbCardType");
    auto* grid = new QGridLayout(controls.gbCardType);
    controls.lblCardType = MakeLabel(controls.gbCardType, "lblCardType");
    controls.cmbCardType =
        MakeComboBox(controls.gbCardType, "cmbCardType", Items(commands::kCardTypeItems));
    controls.lblCardType->setBuddy(controls.cmbCardType);
    controls.btnCardType = MakeButton(controls.gbCardType, "btnCardType");
    grid->addWidget(controls.lblCardType, 0, 0);
    grid->addWidget(controls.cmbCardType, 0, 1);
    grid->addWidget(controls.btnCardType, 1, 0, 1, 2);
    grid->setColumnStretch(1, 1);

    // Half the page's width, like the groups of the other pages.
    outer->addWidget(controls.gbCardType, 0, 0);
    outer->setColumnStretch(0, 1);
    outer->setColumnStretch(1, 1);
    outer->setRowStretch(1, 1);
    return controls;
}

}  // namespace app
