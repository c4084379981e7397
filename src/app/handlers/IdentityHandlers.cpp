// Reader ID, line settings and output interface.
#include <QComboBox>
#include <QLabel>

#include "app/TfrmModule.h"
#include "commands/config/Identity.h"
#include "link/LineSettingsList.h"

namespace app {

using text::Msg;

void TfrmModule::btnIDClick() {
    // The reader answers at its new ID only after the next Scan or Link reads it back.
    const std::string newId = main_.pnID->text().toStdString();
    RunCommand({Msg::SetId, Msg::SetIdOk, Msg::SetIdError},
               [&] { return commands::SetReaderId(link_, commandPrefix(), newId); });
}

void TfrmModule::btnBaudRateClick() {
    const int index = main_.cmbBaudRate->currentIndex();
    if (!tblink::IsLineSettingsIndex(index)) return;
    const bool set =
        RunCommand({Msg::SetReaderBaudRate, Msg::SetReaderBaudRateOk, Msg::SetReaderBaudRateError},
                   [&] { return commands::SetLineSettings(link_, commandPrefix(), index); });
    if (set) {
        lineSettingsIndex_ = index;
        lineSettings_ = tblink::kLineSettingsTexts[index];
    }
}

void TfrmModule::btnModeClick() {
    const commands::InterfaceSettings settings{command_.cmbMode->currentIndex(),
                                               command_.cmbWiegand->currentIndex(),
                                               command_.cmbRS485->currentIndex()};
    RunCommand({Msg::SetReaderInterface, Msg::SetReaderInterfaceOk, Msg::SetReaderInterfaceError},
               [&] { return commands::SetInterface(link_, commandPrefix(), settings); });
}

void TfrmModule::btnGetModeClick() {
    std::optional<commands::InterfaceSettings> read;
    const bool got = RunCommand(
        {Msg::GetReaderInterface, Msg::GetReaderInterfaceOk, Msg::GetReaderInterfaceError}, [&] {
            read = commands::GetInterface(link_, commandPrefix());
            return read.has_value();
        });
    if (got) {
        command_.cmbMode->setCurrentIndex(read->mode);
        command_.cmbWiegand->setCurrentIndex(read->wiegand);
        command_.cmbRS485->setCurrentIndex(read->rs485);
    }
}

}  // namespace app
