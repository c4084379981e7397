// The controls of the function page tsCommand ("Common"), offered for every reader type: the
// output interface, the card read mode, the two free command tests and the system utility.
#pragma once

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

namespace app {

struct CommandPage {
    // Output interface: Wiegand or RS485, each with its variant.
    QGroupBox* gbMode = nullptr;
    QLabel* lblInterface = nullptr;
    QComboBox* cmbMode = nullptr;
    QLabel* lblWiegand = nullptr;
    QComboBox* cmbWiegand = nullptr;
    QLabel* lblRS485 = nullptr;
    QComboBox* cmbRS485 = nullptr;
    QPushButton* btnMode = nullptr;
    QPushButton* btnGetMode = nullptr;

    QGroupBox* gbCardRead = nullptr;
    QLabel* lblResetMode = nullptr;
    QComboBox* cmbResetMode = nullptr;
    QPushButton* btnCardRead = nullptr;

    // edTest goes out after the command prefix, edTest2 after the start character only.
    QGroupBox* gbTest = nullptr;
    QLineEdit* edTest = nullptr;
    QPushButton* btnTest = nullptr;
    QLineEdit* edTest2 = nullptr;
    QPushButton* btnTest2 = nullptr;

    QGroupBox* gbUtility = nullptr;
    QPushButton* btnReboot = nullptr;
    QPushButton* btnFactory = nullptr;
};

// Builds the page's controls into `page` with the layout's captions and initial values.
CommandPage BuildCommandPage(QWidget* page);

}  // namespace app
