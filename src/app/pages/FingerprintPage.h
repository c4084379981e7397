// The controls of the function page tsFingerprint: the facility code for added fingerprints,
// the fingerprint slot (finger number) with its enrolment, fingerprint ID and template data,
// the sensor's scan mode, and the stand-alone door settings. The stand-alone settings stay
// hidden until the reader has accepted stand-alone mode.
#pragma once

#include <QList>

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QScrollBar;
class QWidget;

namespace app {

struct FingerprintPage {
    QGroupBox* gbFacilityFinger = nullptr;
    QScrollBar* sbFacility = nullptr;
    QLabel* pnFacility = nullptr;
    QPushButton* btnFingerFacility = nullptr;

    QGroupBox* gbFingerprint = nullptr;
    QLabel* lblFingerNo = nullptr;
    QScrollBar* sbFingerNo = nullptr;
    QLabel* pnFingerNo = nullptr;
    QPushButton* btnAddFinger = nullptr;
    QPushButton* btnDelFinger = nullptr;
    QLabel* lblCardIDFinger = nullptr;
    QLineEdit* edCard = nullptr;
    QPushButton* btnGetFingerID = nullptr;
    QPushButton* btnSetFingerID = nullptr;
    // The template of the slot, in three parts.
    QLineEdit* edF1 = nullptr;
    QLineEdit* edF2 = nullptr;
    QLineEdit* edF3 = nullptr;
    QPushButton* btnGetTemplate = nullptr;
    QPushButton* btnPutTemplate = nullptr;
    // The finger number and the template to and from a file, to carry them to another reader.
    QPushButton* btnSaveTemplate = nullptr;
    QPushButton* btnLoadTemplate = nullptr;

    QGroupBox* gbFingerScan = nullptr;
    QComboBox* cmbFingerScan = nullptr;
    QPushButton* btnFingerScan = nullptr;

    QGroupBox* gbStandFinger = nullptr;
    QPushButton* btnStandFinger = nullptr;
    QPushButton* btnDoorFinger = nullptr;
    QLineEdit* edDoorFinger = nullptr;
    QLabel* lblDoorFingerSec = nullptr;
    QPushButton* btnAlarmFinger = nullptr;
    QLineEdit* edAlarmFinger = nullptr;
    QLabel* lblAlarmFingerSec = nullptr;
    QPushButton* btnSetCardFinger = nullptr;
    QPushButton* btnDuressFinger = nullptr;
    QPushButton* btnClrCardFinger = nullptr;
    QPushButton* btnStandFingerDefault = nullptr;

    // The stand-alone settings, hidden from start-up until stand-alone mode is set; their
    // places stay reserved so that nothing moves when they appear.
    QList<QWidget*> standAloneSettings() const;
};

// Builds the page's controls into `page` with the layout's captions and initial values.
FingerprintPage BuildFingerprintPage(QWidget* page);

}  // namespace app
