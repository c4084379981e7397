// Handlers of the function page tsKeypad: key parity, key number and key-status code.
#include <QComboBox>
#include <QLabel>
#include <QScrollBar>

#include "app/Controls.h"
#include "app/TfrmModule.h"
#include "app/pages/KeypadPage.h"
#include "commands/config/Keypad.h"

namespace app {

using text::Msg;

std::vector<ButtonBinding> TfrmModule::keypadPageButtons() {
    return {
        {"btnKeyParity", &TfrmModule::btnKeyParityClick, true},
        {"btnGetKeyParity", &TfrmModule::btnGetKeyParityClick, true},
        {"btnKeyNumber", &TfrmModule::btnKeyNumberClick, true},
        {"btnGetKeyNumber", &TfrmModule::btnGetKeyNumberClick, true},
        {"btnKeyStatus", &TfrmModule::btnKeyStatusClick, true},
        {"btnGetKeyStatus", &TfrmModule::btnGetKeyStatusClick, true},
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
    const int parity = keypad_->cmbKeyParity->currentIndex();
    RunCommand({Msg::SetKeyParity, Msg::SetKeyParityOk, Msg::SetKeyParityError},
               [&](const commands::Session& s) { return commands::SetKeyParity(s, parity); });
}

void TfrmModule::btnGetKeyParityClick() {
    std::optional<int> parity;
    const bool got = RunCommand({Msg::GetKeyParity, Msg::GetKeyParityOk, Msg::GetKeyParityError},
                                [&](const commands::Session& s) {
                                    parity = commands::GetKeyParity(s);
                                    return parity.has_value();
                                });
    if (got) keypad_->cmbKeyParity->setCurrentIndex(*parity);
}

void TfrmModule::btnKeyNumberClick() {
    const std::string number = keypad_->pnKeyNumber->text().toStdString();
    RunCommand({Msg::SetKeyNumber, Msg::SetKeyNumberOk, Msg::SetKeyNumberError},
               [&](const commands::Session& s) { return commands::SetKeyNumber(s, number); });
}

void TfrmModule::btnGetKeyNumberClick() {
    std::optional<int> number;
    const bool got = RunCommand({Msg::GetKeyNumber, Msg::GetKeyNumberOk, Msg::GetKeyNumberError},
                                [&](const commands::Session& s) {
                                    number = commands::GetKeyNumber(s);
                                    return number.has_value();
                                });
    if (got) keypad_->sbKeyNumber->setValue(*number);  // outside the range: the nearest end
}

void TfrmModule::btnKeyStatusClick() {
    const std::string number = keypad_->pnKeyStatusNumber->text().toStdString();
    const std::string delay = keypad_->pnKeyDelayTime->text().toStdString();
    RunCommand(
        {Msg::SetKeyStatusCode, Msg::SetKeyStatusCodeOk, Msg::SetKeyStatusCodeError},
        [&](const commands::Session& s) { return commands::SetKeyStatus(s, number, delay); });
}

void TfrmModule::btnGetKeyStatusClick() {
    std::optional<commands::KeyStatus> status;
    const bool got =
        RunCommand({Msg::GetKeyStatusCode, Msg::GetKeyStatusCodeOk, Msg::GetKeyStatusCodeError},
                   [&](const commands::Session& s) {
                       status = commands::GetKeyStatus(s);
                       return status.has_value();
                   });
    if (got) {
        keypad_->sbKeyStatusNumber->setValue(status->keyNumber);
        keypad_->sbKeyDelayTime->setValue(status->delaySeconds);
    }
}

}  // namespace app
