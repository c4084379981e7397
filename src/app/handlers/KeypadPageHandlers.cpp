// Handlers of the function page tsKeypad: key parity, key number and key-status code.
#include <QComboBox>
#include <QLabel>
#include <QScrollBar>

#include "actions/Requests.h"
#include "app/Controls.h"
#include "app/TfrmModule.h"
#include "app/pages/KeypadPage.h"
#include "commands/config/Keypad.h"

namespace app {

using text::Msg;

std::vector<ButtonBinding> TfrmModule::keypadPageButtons() {
    return {
        {"btnKeyParity", &TfrmModule::btnKeyParityClick},
        {"btnGetKeyParity", &TfrmModule::btnGetKeyParityClick},
        {"btnKeyNumber", &TfrmModule::btnKeyNumberClick},
        {"btnGetKeyNumber", &TfrmModule::btnGetKeyNumberClick},
        {"btnKeyStatus", &TfrmModule::btnKeyStatusClick},
        {"btnGetKeyStatus", &TfrmModule::btnGetKeyStatusClick},
    };
}

void TfrmModule::connectKeypadPage() {
    // valueChanged also fires when a reply sets the position, so the panel always follows.
    connect(keypad_->sbKeyNumber, &QScrollBar::valueChanged, this, &TfrmModule::sbKeyNumberChange);
    connect(keypad_->sbKeyStatusNumber, &QScrollBar::valueChanged, this,
            &TfrmModule::sbKeyStatusNumberChange);
    connect(keypad_->sbKeyDelayTime, &QScrollBar::valueChanged, this,
            &TfrmModule::sbKeyDelayTimeChange);
}

void TfrmModule::sbKeyNumberChange() {
    ShowPosition(keypad_->pnKeyNumber, keypad_->sbKeyNumber, "%02d");
}

void TfrmModule::sbKeyStatusNumberChange() {
    ShowPosition(keypad_->pnKeyStatusNumber, keypad_->sbKeyStatusNumber, "%02d");
}

void TfrmModule::sbKeyDelayTimeChange() {
    ShowPosition(keypad_->pnKeyDelayTime, keypad_->sbKeyDelayTime, "%02d");
}

void TfrmModule::btnKeyParityClick() {
    RunAction(actions::SetKeyParity(keypad_->cmbKeyParity->currentIndex()));
}

void TfrmModule::btnGetKeyParityClick() {
    std::optional<int> parity;
    if (RunAction(actions::GetKeyParity(parity)).ok())
        keypad_->cmbKeyParity->setCurrentIndex(*parity);
}

void TfrmModule::btnKeyNumberClick() {
    RunAction(actions::SetKeyNumber(keypad_->sbKeyNumber->value()));
}

void TfrmModule::btnGetKeyNumberClick() {
    std::optional<int> number;
    if (RunAction(actions::GetKeyNumber(number)).ok())
        keypad_->sbKeyNumber->setValue(*number);  // outside the range: the nearest end
}

void TfrmModule::btnKeyStatusClick() {
    RunAction(actions::SetKeyStatus(
        {keypad_->sbKeyStatusNumber->value(), keypad_->sbKeyDelayTime->value()}));
}

void TfrmModule::btnGetKeyStatusClick() {
    std::optional<commands::KeyStatus> status;
    if (RunAction(actions::GetKeyStatus(status)).ok()) {
        keypad_->sbKeyStatusNumber->setValue(status->keyNumber);
        keypad_->sbKeyDelayTime->setValue(status->delaySeconds);
    }
}

}  // namespace app
