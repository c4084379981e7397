// The controls above the function pages: reader-type row, message panel with its lamps, serial
// number and version, port, line settings, reader ID and the card-reading buttons.
#pragma once

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QScrollBar;
class QTabWidget;
class QWidget;

namespace app {

class Lamp;
class ReaderTypeRow;

struct MainArea {
    QGroupBox* gbType = nullptr;
    ReaderTypeRow* pcReader = nullptr;
    QLabel* pnMsg = nullptr;
    Lamp* shComm = nullptr;
    Lamp* shCard = nullptr;
    QLabel* pnSerial = nullptr;
    QLabel* pnVersion = nullptr;
    QLabel* lblCom = nullptr;
    QComboBox* cmbPort = nullptr;
    QPushButton* btnScan = nullptr;
    QPushButton* btnLink = nullptr;
    QLabel* lblID = nullptr;
    QLabel* pnID = nullptr;
    QScrollBar* sbID = nullptr;
    QPushButton* btnID = nullptr;
    QComboBox* cmbBaudRate = nullptr;
    QCheckBox* chkLock = nullptr;
    QPushButton* btnBaudRate = nullptr;
    QPushButton* btnReadCard = nullptr;
    QPushButton* btnEncode = nullptr;
    QCheckBox* chkInvalid = nullptr;
    QGroupBox* gbOther = nullptr;
    QTabWidget* pcOther = nullptr;
    // The function pages of pcOther, in page order.
    QWidget* tsMifare = nullptr;
    QWidget* tsMifareKey = nullptr;
    QWidget* tsEM = nullptr;
    QWidget* tsKeypad = nullptr;
    QWidget* tsDisplay = nullptr;
    QWidget* tsFingerprint = nullptr;
    QWidget* tsCommand = nullptr;
};

// Builds the area into `parent` (the window's central widget), with the layout's captions.
MainArea BuildMainArea(QWidget* parent);

}  // namespace app
