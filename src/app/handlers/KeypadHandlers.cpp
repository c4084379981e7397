// Handlers of the function page: signal connections and event handlers.
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>

#include "app/TfrmModule.h"
#include "commands/config/Keypad.h"

namespace app {
namespace {

void ShowTwoDigits(QLabel* panel, const QScrollBar* bar) {
    panel->setText(QString::asprintf("%02d", bar->value()));
}

}  // namespace

void TfrmModule::connectKeypadPage() {
    // valueChanged also fires when a reply sets the position, so the panel always follows.
    connect(keypad_.sbKeyNumber, &QScrollBar::valueChanged, this, &TfrmModule::sbKeyNumberChange);
    connect(keypad_.sbKeyStatusNumber, &QScrollBar::valueChanged, this,
            &TfrmModule::sbKeyStatusNumberChange);
    connect(keypad_.sbKeyDelayTime, &QScrollBar::valueChanged, this,
            &TfrmModule::sbKeyDelayTimeChange);
    connect(keypad_.btnKeyParity, &QPushButton::clicked, this, &TfrmModule::btnKeyParityClick);
    connect(keypad_.btnGetKeyParity, &QPushButton::clicked, this,
            &TfrmModule::btnGetKeyParityClick);
    connect(keypad_.btnKeyNumber, &QPushButton::clicked, this, &TfrmModule::btnKeyNumberClick);
    connect(keypad_.btnGetKeyNumber, &QPushButton::clicked, this,
            &TfrmModule::btnGetKeyNumberClick);
    connect(keypad_.btnKeyStatus, &QPushButton::clicked, this, &TfrmModule::btnKeyStatusClick);
    connect(keypad_.btnGetKeyStatus, &QPushButton::clicked, this,
            &TfrmModule::btnGetKeyStatusClick);
}

void TfrmModule::sbKeyNumberChange() { ShowTwoDigits(keypad_.pnKeyNumber, keypad_.sbKeyNumber); }

void TfrmModule::sbKeyStatusNumberChange() {
    ShowTwoDigits(keypad_.pnKeyStatusNumber, keypad_.sbKeyStatusNumber);
}

void TfrmModule::sbKeyDelayTimeChange() {
    ShowTwoDigits(keypad_.pnKeyDelayTime, keypad_.sbKeyDelayTime);
}

}  // namespace app

// Set and get of the keypad settings. Parity and Set key number pause 100 ms with pumping
// before each attempt; Get key number and both key-status commands pause 50 ms without.
namespace app {

using text::Msg;

void TfrmModule::btnKeyParityClick() {
    const int parity = keypad_.cmbKeyParity->currentIndex();
    RunCommand({Msg::SetKeyParity, Msg::SetKeyParityOk, Msg::SetKeyParityError},
               [&] { return commands::SetKeyParity(link_, commandPrefix(), parity); });
}

void TfrmModule::btnGetKeyParityClick() {
    std::optional<int> parity;
    const bool got =
        RunCommand({Msg::GetKeyParity, Msg::GetKeyParityOk, Msg::GetKeyParityError}, [&] {
            parity = commands::GetKeyParity(link_, commandPrefix());
            return parity.has_value();
        });
    if (got) keypad_.cmbKeyParity->setCurrentIndex(*parity);
}

void TfrmModule::btnKeyNumberClick() {
    const std::string number = keypad_.pnKeyNumber->text().toStdString();
    RunCommand({Msg::SetKeyNumber, Msg::SetKeyNumberOk, Msg::SetKeyNumberError},
               [&] { return commands::SetKeyNumber(link_, commandPrefix(), number); });
}

void TfrmModule::btnGetKeyNumberClick() {
    std::optional<int> number;
    const bool got = RunCommand({Msg::GetKeyNumber, Msg::GetKeyNumberOk, Msg::GetKeyNumberError, 2,
                                 AttemptPause::Plain50ms},
                                [&] {
                                    number = commands::GetKeyNumber(link_, commandPrefix());
                                    return number.has_value();
                                });
    if (got) keypad_.sbKeyNumber->setValue(*number);  // outside the range: the nearest end
}

void TfrmModule::btnKeyStatusClick() {
    const std::string number = keypad_.pnKeyStatusNumber->text().toStdString();
    const std::string delay = keypad_.pnKeyDelayTime->text().toStdString();
    RunCommand({Msg::SetKeyStatusCode, Msg::SetKeyStatusCodeOk, Msg::SetKeyStatusCodeError, 2,
                AttemptPause::Plain50ms},
               [&] { return commands::SetKeyStatus(link_, commandPrefix(), number, delay); });
}

void TfrmModule::btnGetKeyStatusClick() {
    std::optional<commands::KeyStatus> status;
    const bool got = RunCommand({Msg::GetKeyStatusCode, Msg::GetKeyStatusCodeOk,
                                 Msg::GetKeyStatusCodeError, 2, AttemptPause::Plain50ms},
                                [&] {
                                    status = commands::GetKeyStatus(link_, commandPrefix());
                                    return status.has_value();
                                });
    if (got) {
        keypad_.sbKeyStatusNumber->setValue(status->keyNumber);
        keypad_.sbKeyDelayTime->setValue(status->delaySeconds);
    }
}

}  // namespace app
