// The controls of the function page tsMifareKey: writing a sector trailer to a card (gbM1Key)
// and the access-condition editor (GroupBox2) whose options make the access-bits text.
#pragma once

#include <QColor>
#include <QList>

class QButtonGroup;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QScrollBar;
class QWidget;

namespace app {

class OptionMouseUp;

struct MifareKeyPage {
    // Write the sector trailer: sector, old key to authenticate with, new trailer contents.
    QGroupBox* gbM1Key = nullptr;
    QLabel* lblM1CardSector = nullptr;
    QLabel* pnM1CardSector = nullptr;
    QScrollBar* sbM1CardSector = nullptr;
    QGroupBox* gbCardKeyOld = nullptr;
    QLineEdit* edM1CardOldKey = nullptr;
    QRadioButton* rbM1CardKeyA = nullptr;
    QRadioButton* rbM1CardKeyB = nullptr;
    QButtonGroup* oldKey = nullptr;
    QGroupBox* gbM1NewCardKey = nullptr;
    QLabel* lblM1CardKeyA = nullptr;
    QLineEdit* edM1CardKeyA = nullptr;
    QLabel* lblM1CardKeyAccess = nullptr;
    QLineEdit* edM1CardKeyAccess = nullptr;
    QLabel* lblM1CardKeyB = nullptr;
    QLineEdit* edM1CardKeyB = nullptr;
    // Red, empty unless the access-bits text would harm the sector.
    QLabel* lblM1CardKeyAccessNotice = nullptr;
    QPushButton* btnM1CardKey = nullptr;

    // Access-condition editor: the data blocks, then the trailer's Key A, access bits, Key B.
    QGroupBox* GroupBox2 = nullptr;
    QGroupBox* gbblock0 = nullptr;
    QGroupBox* gbblock1 = nullptr;
    QGroupBox* gbblock2 = nullptr;
    QGroupBox* GroupBox18 = nullptr;
    QGroupBox* GroupBox23 = nullptr;
    QGroupBox* GroupBox19 = nullptr;
    // The 18 option groups (a keyboard change stays inside one) and all 47 options.
    QList<QButtonGroup*> accessGroups;
    QList<QRadioButton*> accessOptions;
    // Reports each option's mouse-up.
    OptionMouseUp* accessMouseUp = nullptr;
};

// The notice beside the access bits is red, as the failure lamp.
inline const QColor kAccessNoticeColor{255, 0, 0};

// Builds the page's controls into `page` with the layout's captions and initial values.
MifareKeyPage BuildMifareKeyPage(QWidget* page);

}  // namespace app
