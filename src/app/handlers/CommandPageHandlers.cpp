// Handlers of the function page tsCommand ("Common"): output interface, card read mode,
// command tests, reboot and factory default.
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QScrollBar>

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
        {"btnMode", &TfrmModule::btnModeClick, true},
        {"btnGetMode", &TfrmModule::btnGetModeClick, true},
        {"btnCardRead", &TfrmModule::btnCardReadClick, true},
        {"btnTest", &TfrmModule::btnTestClick, false},
        {"btnTest2", &TfrmModule::btnTest2Click, false},
        {"btnReboot", &TfrmModule::btnRebootClick, true},
        {"btnFactory", &TfrmModule::btnFactoryClick, true},
    };
}

void TfrmModule::connectCommandPage() {
    // The command tests send what is typed, as it is typed.
    const auto language = [this] { return language_; };
    for (QLineEdit* edit : {command_->edTest, command_->edTest2})
        ForReader(edit, ReaderTextValidator::kNoByteLimit, language);
}

void TfrmModule::btnModeClick() {
    const commands::InterfaceSettings settings{command_->cmbMode->currentIndex(),
                                               command_->cmbWiegand->currentIndex(),
                                               command_->cmbRS485->currentIndex()};
    RunCommand({Msg::SetReaderInterface, Msg::SetReaderInterfaceOk, Msg::SetReaderInterfaceError},
               [&](const commands::Session& s) { return commands::SetInterface(s, settings); });
}

void TfrmModule::btnGetModeClick() {
    std::optional<commands::InterfaceSettings> read;
    const bool got = RunCommand(
        {Msg::GetReaderInterface, Msg::GetReaderInterfaceOk, Msg::GetReaderInterfaceError},
        [&](const commands::Session& s) {
            read = commands::GetInterface(s);
            return read.has_value();
        });
    if (got) {
        command_->cmbMode->setCurrentIndex(read->mode);
        command_->cmbWiegand->setCurrentIndex(read->wiegand);
        command_->cmbRS485->setCurrentIndex(read->rs485);
    }
}

void TfrmModule::btnCardReadClick() {
    const int resetMode = command_->cmbResetMode->currentIndex();
    RunCommand({Msg::SetCardReadMode, Msg::SetCardReadModeOk, Msg::SetCardReadModeError},
               [&](const commands::Session& s) { return commands::SetCardReadMode(s, resetMode); });
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
    const std::string typed = Encode((addressed ? command_->edTest2 : command_->edTest)->text());
    std::string reply;
    RunCommand({Msg::CommandTest, Msg::CommandTestOk, Msg::CommandTestError, false, false, {}},
               [&](const commands::Session& session) {
                   // The second test's text carries its own address after the start character.
                   commands::Session test = session;
                   if (addressed) test.prefix = startCharacter_;
                   const bool ok = addressed ? commands::CommandTestAddressed(test, typed)
                                             : commands::CommandTest(test, typed);
                   if (ok) reply = commands::ReplyDataField(test);
                   return ok;
               });
    // What the reader answered, readable without decoding the echo; a port that did not open
    // keeps its reason there instead.
    if (portProblems_.empty()) main_->pnMsg->setToolTip(platform::DecodeText(reply, language_));
}

void TfrmModule::btnTestClick() { runCommandTest(false); }

void TfrmModule::btnTest2Click() { runCommandTest(true); }

void TfrmModule::btnRebootClick() {
    RunCommand({Msg::SetReboot, Msg::SetRebootOk, Msg::SetRebootError},
               [](const commands::Session& s) { return commands::Reboot(s); });
}

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
    CommandSteps steps{Msg::PleaseWaiting, Msg::SetFactoryDefaultOk, Msg::SetFactoryDefaultError};
    steps.flashBusy = true;
    steps.onStart = [this] { resetToDelivery(false); };
    RunCommand(steps, [&](const commands::Session& session) {
        // Without a reader type there is no sequence: the reader keeps its ID.
        if (!type) return false;
        commands::FactoryDefaultHooks hooks;
        hooks.readdressed = [this](const std::string& id) { readerId_ = id; };
        hooks.sequenceStarting = [this] { resetToDelivery(true); };
        return commands::FactoryDefault(session, commands::Info(*type).factoryDefault, hooks);
    });
}

}  // namespace app
