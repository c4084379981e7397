// The controls of the function page tsDisplay: the system parameters of a display reader
// (language, password, screen mode, clock), its title line (mode, two texts, the title icon)
// and its messages. Texts typed here go to the display byte for byte, so their limits count
// bytes of the current language's code page (the window puts those limits on in
// connectDisplayPage, where the language is known).
#pragma once

class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

namespace app {

class IconCanvas;

struct DisplayPage {
    QGroupBox* gbDisplaySystem = nullptr;
    QComboBox* cmbLanguage = nullptr;
    QPushButton* btnLanguage = nullptr;
    QLabel* lblPassword = nullptr;
    QLineEdit* edPassword = nullptr;
    QPushButton* btnPassword = nullptr;
    QComboBox* cmbScreen = nullptr;
    QPushButton* btnScreen = nullptr;
    QComboBox* cmbHour = nullptr;
    QPushButton* btnDateTime = nullptr;

    QGroupBox* gbDisplayTitle = nullptr;
    QComboBox* cmbTitle = nullptr;
    QPushButton* btnSetTitleMode = nullptr;
    QFrame* pnIcon = nullptr;
    IconCanvas* imgTitle = nullptr;
    QPushButton* btnTitleIcon = nullptr;
    QLineEdit* edTitle1 = nullptr;
    QPushButton* btnSetTitle1 = nullptr;
    QPushButton* btnClrTitle1 = nullptr;
    QLineEdit* edTitle2 = nullptr;
    QPushButton* btnSetTitle2 = nullptr;
    QPushButton* btnClrTitle2 = nullptr;

    QGroupBox* gbSmallMessage = nullptr;
    QLineEdit* edSmallMessage = nullptr;
    QPushButton* btnSmallMessage = nullptr;
    QLineEdit* edScreenMessage = nullptr;
    QPushButton* btnScreenMessage = nullptr;
    QPushButton* btnClrMessage = nullptr;
};

// Builds the page's controls into `page` with the layout's captions and initial values.
DisplayPage BuildDisplayPage(QWidget* page);

}  // namespace app
