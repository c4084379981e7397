// The controls of the function page tsEM ("EM/TEMIC"): the card type the reader accepts.
#pragma once

class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QWidget;

namespace app {

struct EmPage {
    QGroupBox* gbCardType = nullptr;
    QLabel* lblCardType = nullptr;
    QComboBox* cmbCardType = nullptr;
    QPushButton* btnCardType = nullptr;
};

// Builds the page's controls into `page` with the layout's captions and initial values.
EmPage BuildEmPage(QWidget* page);

}  // namespace app
