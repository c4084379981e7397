// Handlers of the function page tsCommand ("Common"): output interface, card read mode,
// command tests, reboot and factory default.
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QScrollBar>

#include "actions/Action.h"
#include "app/MainArea.h"
#include "app/TfrmModule.h"
#include "app/pages/CommandPage.h"
#include "app/pages/EmPage.h"
#include "app/pages/KeypadPage.h"
#include "app/pages/MifarePage.h"
#include "app/widgets/ReaderTextValidator.h"
#include "app/widgets/ReaderTypeRow.h"
#include "commands/ReaderTypes.h"
#include "commands/config/CardReading.h"
#include "commands/config/Identity.h"
#include "commands/config/ReadOut.h"
#include "commands/config/SystemUtility.h"
#include "link/LineSettingsList.h"
#include "link/PortList.h"
#include "platform/CodePage.h"

namespace app {

using text::Msg;

std::vector<ButtonBinding> TfrmModule::commandPageButtons() {
    return {
        {"btnMode", &TfrmModule::btnModeClick},
        {"btnGetMode", &TfrmModule::btnGetModeClick},
        {"btnCardRead", &TfrmModule::btnCardReadClick},
        {"btnTest", &TfrmModule::btnTestClick},
        {"btnTest2", &TfrmModule::btnTest2Click},
        {"btnReboot", &TfrmModule::btnRebootClick},
        {"btnFactory", &TfrmModule::btnFactoryClick},
    };
}

void TfrmModule::connectCommandPage() {
    // The command tests send what is typed, as it is typed, up to what fits in a frame.
    const auto language = [this] { return language_; };
    const auto limit = [](actions::ActionId id) {
        return actions::Describe(id).input("text")->max;
    };
    ForReader(command_->edTest, limit(actions::ActionId::CommandTest), language);
    ForReader(command_->edTest2, limit(actions::ActionId::CommandTestAddressed), language);
}

void TfrmModule::btnModeClick() {
    const commands::InterfaceSettings settings{command_->cmbMode->currentIndex(),
                                               command_->cmbWiegand->currentIndex(),
                                               command_->cmbRS485->currentIndex()};
    RunAction(actions::SetInterface(settings));
}

void TfrmModule::btnGetModeClick() {
    std::optional<commands::InterfaceSettings> read;
    if (RunAction(actions::GetInterface(read)).ok()) {
        command_->cmbMode->setCurrentIndex(read->mode);
        command_->cmbWiegand->setCurrentIndex(read->wiegand);
        command_->cmbRS485->setCurrentIndex(read->rs485);
    }
}

void TfrmModule::btnCardReadClick() {
    RunAction(actions::SetReadMode(command_->cmbResetMode->currentIndex()));
}

// Without a link the command tests take the port and line settings from the controls; the
// line-settings index goes with its text, so the pair the window keeps (and stores) agrees.
void TfrmModule::takeLineFromControls() {
    adoptTypedPort();
    const auto typed = tblink::PortNumberFromBoxText(main_->cmbPort->currentText().toStdString());
    portNumber_ = typed.value_or(1);
    int index = main_->cmbBaudRate->currentIndex();
    if (!tblink::IsLineSettingsIndex(index)) index = tblink::kDefaultLineSettingsIndex;
    lineSettingsIndex_ = index;
    lineSettings_ = tblink::kLineSettingsTexts[index];
}

void TfrmModule::runCommandTest(bool addressed) {
    if (!linked_) {
        takeLineFromControls();
        if (!addressed) readerId_ = main_->pnID->text().toStdString();
    }
    const actions::TypedText typed{(addressed ? command_->edTest2 : command_->edTest)->text(),
                                   language_};
    std::string reply;
    RunAction(addressed ? actions::CommandTestAddressed(typed, reply)
                        : actions::CommandTest(typed, reply));
    // What the reader answered, readable without decoding the echo; a port that did not open
    // keeps its reason there instead.
    if (portProblems_.empty()) main_->pnMsg->setToolTip(platform::DecodeText(reply, language_));
}

void TfrmModule::btnTestClick() { runCommandTest(false); }

void TfrmModule::btnTest2Click() { runCommandTest(true); }

void TfrmModule::btnRebootClick() { RunAction(actions::Reboot()); }

// The delivery values: the main area's always, the type's own rows once the reader has taken
// its new ID.
void TfrmModule::resetToDelivery(bool whole) {
    const auto type = commands::ReaderTypeAt(main_->pcReader->currentIndex());
    const commands::DeliveryValues delivered =
        type ? commands::Info(*type).factoryDefault.delivery : commands::DeliveryValues{};
    if (!whole) {
        main_->sbID->setValue(delivered.id);
        main_->cmbBaudRate->setCurrentIndex(delivered.lineSettingsIndex);
        command_->cmbMode->setCurrentIndex(delivered.interface.mode);
        command_->cmbWiegand->setCurrentIndex(delivered.interface.wiegand);
        command_->cmbRS485->setCurrentIndex(delivered.interface.rs485);
        return;
    }
    if (!type) return;
    if (delivered.cardType) em_->cmbCardType->setCurrentIndex(*delivered.cardType);
    if (delivered.keyParity) keypad_->cmbKeyParity->setCurrentIndex(*delivered.keyParity);
    if (delivered.keyNumber) keypad_->sbKeyNumber->setValue(*delivered.keyNumber);
    if (const auto& status = delivered.keyStatus) {
        keypad_->sbKeyStatusNumber->setValue(status->keyNumber);
        keypad_->sbKeyDelayTime->setValue(status->delaySeconds);
    }
    if (const auto& location = delivered.cardIdLocation) {
        mifare_->sbM1IDSector->setValue(location->sector);
        mifare_->sbM1IDBlock->setValue(location->block);
        mifare_->sbM1IDByte->setValue(location->byte);
        (location->keyB ? mifare_->rbM1IDKeyB : mifare_->rbM1IDKeyA)->setChecked(true);
        mifare_->cmbM1IDKeyErr->setCurrentIndex(location->keyError);
    }
}

void TfrmModule::btnFactoryClick() {
    const auto type = commands::ReaderTypeAt(main_->pcReader->currentIndex());
    // Without a reader type there is no sequence: the reader keeps its ID.
    actions::Request request =
        type ? actions::FactoryDefault(
                   *type, [this](const std::string& id) { readerId_ = id; },
                   [this] { resetToDelivery(true); })
             : actions::Request(actions::ActionId::FactoryDefault,
                                [](const commands::Session&) { return false; });
    request.starting = [this] { resetToDelivery(false); };
    RunAction(request);
}

}  // namespace app
