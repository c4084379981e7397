// The controls of the function page tsMifare: where the reader takes the card ID from
// (gbM1IDSector), a key stored in the reader's EEPROM (gbM1E2) and the block read/write test
// (gbM1RW).
#pragma once

#include <QString>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGridLayout;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QScrollBar;
class QWidget;

namespace app {

struct MifarePage {
    // Card-ID location: sector, block, start byte, key and key-error signal.
    QGroupBox* gbM1IDSector = nullptr;
    QLabel* lblM1IDSector = nullptr;
    QLabel* pnM1IDSector = nullptr;
    QScrollBar* sbM1IDSector = nullptr;
    QLabel* lblM1IDBlock = nullptr;
    QLabel* pnM1IDBlock = nullptr;
    QScrollBar* sbM1IDBlock = nullptr;
    QLabel* lblM1IDByte = nullptr;
    QLabel* pnM1IDByte = nullptr;
    QScrollBar* sbM1IDByte = nullptr;
    QRadioButton* rbM1IDKeyA = nullptr;
    QRadioButton* rbM1IDKeyB = nullptr;
    QButtonGroup* idKey = nullptr;
    QLabel* lblM1IDErr = nullptr;
    QComboBox* cmbM1IDKeyErr = nullptr;
    QPushButton* btnM1IDSector = nullptr;

    // Key to the reader's EEPROM.
    QGroupBox* gbM1E2 = nullptr;
    QLabel* lblM1E2Sector = nullptr;
    QLabel* pnM1E2Sector = nullptr;
    QScrollBar* sbM1E2Sector = nullptr;
    QRadioButton* rbM1KeyA = nullptr;
    QRadioButton* rbM1KeyB = nullptr;
    QButtonGroup* e2Key = nullptr;
    QLabel* lblM1E2Key = nullptr;
    QLineEdit* edM1Key = nullptr;
    QPushButton* btnM1Key = nullptr;

    // Block read/write test.
    QGroupBox* gbM1RW = nullptr;
    QLabel* lblM1Sector = nullptr;
    QLabel* pnM1Sector = nullptr;
    QScrollBar* sbM1Sector = nullptr;
    QLabel* lblM1Block = nullptr;
    QLabel* pnM1Block = nullptr;
    QScrollBar* sbM1Block = nullptr;
    QRadioButton* rbM1RWKeyA = nullptr;
    QRadioButton* rbM1RWKeyB = nullptr;
    QButtonGroup* rwKey = nullptr;
    QLineEdit* edM1RWKey = nullptr;
    QCheckBox* chkEEPROM = nullptr;
    QLabel* lblM1Read = nullptr;
    QLineEdit* edM1Read = nullptr;
    QPushButton* btnM1Read = nullptr;
    QLabel* lblM1Write = nullptr;
    QLineEdit* edM1Write = nullptr;
    QPushButton* btnM1Write = nullptr;
};

// Builds the page's controls into `page` with the layout's captions and initial values.
MifarePage BuildMifarePage(QWidget* page);

// Pieces shared by the two MIFARE pages.

// "Key A" (checked) and "Key B", exclusive only with each other.
struct KeyChoice {
    QRadioButton* keyA;
    QRadioButton* keyB;
    QButtonGroup* group;
};
KeyChoice AddKeyChoice(QWidget* group, const char* keyAName, const char* keyBName);

}  // namespace app
