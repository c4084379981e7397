#include "app/pages/FingerprintPage.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>

#include "actions/Limits.h"
#include "app/Controls.h"
#include "commands/fingerprint/Templates.h"

namespace app {
namespace {

// Panels beside the scroll bars show every digit the commands send.
constexpr int kFacilityPanelWidth = 64;  // five digits
constexpr int kFingerNoPanelWidth = 72;  // six digits
constexpr int kTimeEditWidth = 60;       // four digits

void BuildFacilityGroup(QWidget* page, FingerprintPage& finger) {
    finger.gbFacilityFinger = MakeGroupBox(page, "gbFacilityFinger");
    QGridLayout* grid = CompactGrid(finger.gbFacilityFinger);
    finger.pnFacility = MakeValuePanel(finger.gbFacilityFinger, "pnFacility", "00000");
    finger.pnFacility->setFixedWidth(kFacilityPanelWidth);
    finger.sbFacility =
        MakeScrollBar(finger.gbFacilityFinger, "sbFacility", 0, actions::kMaxFacilityCode, 10, 0);
    finger.btnFingerFacility = MakeButton(finger.gbFacilityFinger, "btnFingerFacility");
    grid->addWidget(finger.pnFacility, 0, 0);
    grid->addWidget(finger.sbFacility, 0, 1);
    grid->addWidget(finger.btnFingerFacility, 0, 2);
    grid->setColumnStretch(1, 1);
}

void BuildScanGroup(QWidget* page, FingerprintPage& finger) {
    finger.gbFingerScan = MakeGroupBox(page, "gbFingerScan");
    QGridLayout* grid = CompactGrid(finger.gbFingerScan);
    // The reader's own mode names: never translated.
    finger.cmbFingerScan =
        MakeComboBox(finger.gbFingerScan, "cmbFingerScan",
                     {"Alway Scan", "Alway Scan, Reset", "Sensor Scan", "Sensor Scan, Reset"});
    finger.cmbFingerScan->setCurrentIndex(3);
    finger.btnFingerScan = MakeButton(finger.gbFingerScan, "btnFingerScan");
    grid->addWidget(finger.cmbFingerScan, 0, 0);
    grid->addWidget(finger.btnFingerScan, 0, 1);
    grid->setColumnStretch(0, 1);
}

void BuildFingerprintGroup(QWidget* page, FingerprintPage& finger) {
    finger.gbFingerprint = MakeGroupBox(page, "gbFingerprint");
    QGroupBox* group = finger.gbFingerprint;
    QGridLayout* grid = CompactGrid(group);

    finger.lblFingerNo = MakeLabel(group, "lblFingerNo");
    finger.pnFingerNo = MakeValuePanel(group, "pnFingerNo", "000001");
    finger.pnFingerNo->setFixedWidth(kFingerNoPanelWidth);
    finger.sbFingerNo = MakeScrollBar(group, "sbFingerNo", 0, actions::kMaxFingerNumber, 10, 1);
    finger.lblFingerNo->setBuddy(finger.sbFingerNo);
    auto* number = new QHBoxLayout;
    number->setSpacing(6);
    number->addWidget(finger.lblFingerNo);
    number->addWidget(finger.pnFingerNo);
    number->addWidget(finger.sbFingerNo, 1);
    grid->addLayout(number, 0, 0, 1, 6);

    finger.btnAddFinger = MakeButton(group, "btnAddFinger");
    finger.btnDelFinger = MakeButton(group, "btnDelFinger");
    grid->addWidget(finger.btnAddFinger, 1, 0, 1, 3);
    grid->addWidget(finger.btnDelFinger, 1, 3, 1, 3);

    finger.lblCardIDFinger = MakeLabel(group, "lblCardIDFinger");
    finger.edCard = MakeEdit(group, "edCard", "0000000000000000", actions::kFingerprintIdBytes);
    finger.lblCardIDFinger->setBuddy(finger.edCard);
    grid->addWidget(finger.lblCardIDFinger, 2, 0, 1, 3);
    grid->addWidget(finger.edCard, 2, 3, 1, 3);

    finger.btnGetFingerID = MakeButton(group, "btnGetFingerID");
    finger.btnSetFingerID = MakeButton(group, "btnSetFingerID");
    grid->addWidget(finger.btnGetFingerID, 3, 0, 1, 3);
    grid->addWidget(finger.btnSetFingerID, 3, 3, 1, 3);

    // The three template parts side by side: they are data to carry, not to read. Only the
    // first part has a limit, and only for typing; the others take what the reader sent or
    // what was pasted.
    const QString emptyPart(255, QLatin1Char('0'));
    finger.edF1 = MakeEdit(group, "edF1", emptyPart,
                           static_cast<int>(commands::fingerprint::kTemplatePartLength));
    finger.edF2 = MakeEdit(group, "edF2", emptyPart);
    finger.edF3 = MakeEdit(group, "edF3", emptyPart);
    int column = 0;
    for (QLineEdit* part : {finger.edF1, finger.edF2, finger.edF3}) {
        part->setCursorPosition(0);
        part->setMinimumWidth(60);
        grid->addWidget(part, 4, column, 1, 2);
        column += 2;
    }

    finger.btnGetTemplate = MakeButton(group, "btnGetTemplate");
    finger.btnPutTemplate = MakeButton(group, "btnPutTemplate");
    grid->addWidget(finger.btnGetTemplate, 5, 0, 1, 3);
    grid->addWidget(finger.btnPutTemplate, 5, 3, 1, 3);

    finger.btnSaveTemplate = MakeButton(group, "btnSaveTemplate");
    finger.btnLoadTemplate = MakeButton(group, "btnLoadTemplate");
    grid->addWidget(finger.btnSaveTemplate, 6, 0, 1, 3);
    grid->addWidget(finger.btnLoadTemplate, 6, 3, 1, 3);
    for (int c = 0; c < 6; ++c) grid->setColumnStretch(c, 1);
    grid->setRowStretch(7, 1);
}

// A seconds box: four optional digits, blanks shown as "_".
QLineEdit* MakeSecondsEdit(QWidget* parent, const char* name, const QString& text) {
    QLineEdit* edit = MakeEdit(parent, name, QString());
    edit->setInputMask(QString(actions::kSecondsBytes, QLatin1Char('0')) + ";_");
    edit->setText(text);
    edit->setFixedWidth(kTimeEditWidth);
    return edit;
}

void BuildStandAloneGroup(QWidget* page, FingerprintPage& finger) {
    finger.gbStandFinger = MakeGroupBox(page, "gbStandFinger");
    QGroupBox* group = finger.gbStandFinger;
    QGridLayout* grid = CompactGrid(group);

    finger.btnStandFinger = MakeButton(group, "btnStandFinger");
    grid->addWidget(finger.btnStandFinger, 0, 0, 1, 3);

    finger.btnDoorFinger = MakeButton(group, "btnDoorFinger");
    finger.edDoorFinger = MakeSecondsEdit(group, "edDoorFinger", "0005");
    finger.lblDoorFingerSec = MakeLabel(group, "lblDoorFingerSec");
    grid->addWidget(finger.btnDoorFinger, 1, 0);
    grid->addWidget(finger.edDoorFinger, 1, 1);
    grid->addWidget(finger.lblDoorFingerSec, 1, 2);

    finger.btnAlarmFinger = MakeButton(group, "btnAlarmFinger");
    finger.edAlarmFinger = MakeSecondsEdit(group, "edAlarmFinger", "0030");
    finger.lblAlarmFingerSec = MakeLabel(group, "lblAlarmFingerSec");
    grid->addWidget(finger.btnAlarmFinger, 2, 0);
    grid->addWidget(finger.edAlarmFinger, 2, 1);
    grid->addWidget(finger.lblAlarmFingerSec, 2, 2);

    finger.btnSetCardFinger = MakeButton(group, "btnSetCardFinger");
    finger.btnDuressFinger = MakeButton(group, "btnDuressFinger");
    finger.btnClrCardFinger = MakeButton(group, "btnClrCardFinger");
    finger.btnStandFingerDefault = MakeButton(group, "btnStandFingerDefault");
    grid->addWidget(finger.btnSetCardFinger, 3, 0, 1, 3);
    grid->addWidget(finger.btnDuressFinger, 4, 0, 1, 3);
    grid->addWidget(finger.btnClrCardFinger, 5, 0, 1, 3);
    grid->addWidget(finger.btnStandFingerDefault, 6, 0, 1, 3);
    grid->setColumnStretch(0, 1);
    grid->setRowStretch(7, 1);

    for (QWidget* control : finger.standAloneSettings()) {
        QSizePolicy policy = control->sizePolicy();
        policy.setRetainSizeWhenHidden(true);
        control->setSizePolicy(policy);
        control->hide();
    }
}

}  // namespace

QList<QWidget*> FingerprintPage::standAloneSettings() const {
    return {btnDoorFinger,     lblDoorFingerSec,     edDoorFinger,     btnAlarmFinger,
            lblAlarmFingerSec, edAlarmFinger,        btnSetCardFinger, btnDuressFinger,
            btnClrCardFinger,  btnStandFingerDefault};
}

FingerprintPage BuildFingerprintPage(QWidget* page) {
    FingerprintPage finger;
    BuildFacilityGroup(page, finger);
    BuildScanGroup(page, finger);
    BuildFingerprintGroup(page, finger);
    BuildStandAloneGroup(page, finger);

    auto* grid = new QGridLayout(page);
    grid->setContentsMargins(4, 2, 4, 2);
    grid->setSpacing(4);
    grid->addWidget(finger.gbFacilityFinger, 0, 0);
    grid->addWidget(finger.gbFingerScan, 0, 1);
    grid->addWidget(finger.gbFingerprint, 1, 0);
    grid->addWidget(finger.gbStandFinger, 1, 1);
    grid->setColumnStretch(0, 1);
    grid->setRowStretch(1, 1);
    return finger;
}

}  // namespace app
