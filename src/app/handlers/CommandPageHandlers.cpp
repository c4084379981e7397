// Handlers of the function page tsCommand ("Common"): output interface and card read mode.
#include <QComboBox>
#include <QLineEdit>

#include "app/TfrmModule.h"
#include "app/pages/CommandPage.h"
#include "app/widgets/ReaderTextValidator.h"
#include "commands/config/CardReading.h"
#include "commands/config/Identity.h"

namespace app {

using text::Msg;

std::vector<ButtonBinding> TfrmModule::commandPageButtons() {
    return {
        {"btnMode", &TfrmModule::btnModeClick, true},
        {"btnGetMode", &TfrmModule::btnGetModeClick, true},
        {"btnCardRead", &TfrmModule::btnCardReadClick, true},
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

}  // namespace app
