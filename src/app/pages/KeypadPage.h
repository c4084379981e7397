// The controls of the function page tsKeypad: key parity, key number and key-status code of
// readers with a keypad. Each scroll bar has a panel beside it that shows the two digits the
// set commands send.
#pragma once

class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QScrollBar;
class QWidget;

namespace app {

struct KeypadPage {
    QGroupBox* gbKeyParity = nullptr;
    QLabel* lblKeyParity = nullptr;
    QComboBox* cmbKeyParity = nullptr;
    QPushButton* btnKeyParity = nullptr;
    QPushButton* btnGetKeyParity = nullptr;

    QGroupBox* gbKeyNumber = nullptr;
    QLabel* lblKeyNumber = nullptr;
    QLabel* pnKeyNumber = nullptr;
    QScrollBar* sbKeyNumber = nullptr;
    QPushButton* btnKeyNumber = nullptr;
    QPushButton* btnGetKeyNumber = nullptr;

    // Hidden or shown by the settings read-out, depending on the reader type.
    QGroupBox* gbKeyStatus = nullptr;
    QLabel* lblKeyStatusNumber = nullptr;
    QLabel* pnKeyStatusNumber = nullptr;
    QScrollBar* sbKeyStatusNumber = nullptr;
    QLabel* lblKeyDelayTime = nullptr;
    QLabel* pnKeyDelayTime = nullptr;
    QScrollBar* sbKeyDelayTime = nullptr;
    QLabel* lblKeySec = nullptr;
    QPushButton* btnKeyStatus = nullptr;
    QPushButton* btnGetKeyStatus = nullptr;
};

// Builds the page's controls into `page` with the layout's captions and initial values.
KeypadPage BuildKeypadPage(QWidget* page);

}  // namespace app
