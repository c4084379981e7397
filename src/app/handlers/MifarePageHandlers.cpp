// Handlers of the function page tsMifare: the card-ID location, a key to the reader's EEPROM
// and the block read/write test.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QScrollBar>

#include "actions/Limits.h"
#include "actions/Requests.h"
#include "app/Controls.h"
#include "app/TfrmModule.h"
#include "app/pages/MifarePage.h"
#include "app/widgets/ReaderTextValidator.h"
#include "commands/mifare/MifareCommands.h"

namespace app {

using commands::mifare::KeySlot;
using text::Msg;

namespace {

KeySlot SlotOf(const QRadioButton* keyA) { return keyA->isChecked() ? KeySlot::A : KeySlot::B; }

}  // namespace

std::vector<ButtonBinding> TfrmModule::mifarePageButtons() {
    return {
        {"btnM1IDSector", &TfrmModule::btnM1IDSectorClick},
        {"btnM1Key", &TfrmModule::btnM1KeyClick},
        {"btnM1Read", &TfrmModule::btnM1ReadClick},
        {"btnM1Write", &TfrmModule::btnM1WriteClick},
    };
}

void TfrmModule::connectMifarePage() {
    // valueChanged also fires when the settings read-out sets a position, so panels follow.
    connect(mifare_->sbM1IDSector, &QScrollBar::valueChanged, this,
            &TfrmModule::sbM1IDSectorChange);
    connect(mifare_->sbM1IDBlock, &QScrollBar::valueChanged, this, &TfrmModule::sbM1IDBlockChange);
    connect(mifare_->sbM1IDByte, &QScrollBar::valueChanged, this, &TfrmModule::sbM1IDByteChange);
    connect(mifare_->sbM1E2Sector, &QScrollBar::valueChanged, this,
            &TfrmModule::sbM1E2SectorChange);
    connect(mifare_->sbM1Sector, &QScrollBar::valueChanged, this, &TfrmModule::sbM1SectorChange);
    connect(mifare_->sbM1Block, &QScrollBar::valueChanged, this, &TfrmModule::sbM1BlockChange);
    connect(mifare_->chkEEPROM, &QCheckBox::toggled, this, &TfrmModule::chkEEPROMClick);

    // Keys and block data go to the reader as typed, counted in its bytes.
    const auto language = [this] { return language_; };
    ForReader(mifare_->edM1Key, actions::kKeyBytes, language);
    ForReader(mifare_->edM1RWKey, actions::kKeyBytes, language);
    ForReader(mifare_->edM1Write, actions::kBlockDataBytes, language);
}

void TfrmModule::sbM1IDSectorChange() {
    ShowPosition(mifare_->pnM1IDSector, mifare_->sbM1IDSector, "%02d");
}

void TfrmModule::sbM1IDBlockChange() {
    ShowPosition(mifare_->pnM1IDBlock, mifare_->sbM1IDBlock, "%d");
}

void TfrmModule::sbM1IDByteChange() {
    ShowPosition(mifare_->pnM1IDByte, mifare_->sbM1IDByte, "%d");
}

void TfrmModule::sbM1E2SectorChange() {
    ShowPosition(mifare_->pnM1E2Sector, mifare_->sbM1E2Sector, "%02d");
}

void TfrmModule::sbM1SectorChange() {
    ShowPosition(mifare_->pnM1Sector, mifare_->sbM1Sector, "%02d");
    // A smaller maximum pulls the block position down with it, and its panel follows.
    const int sector = mifare_->sbM1Sector->value();
    mifare_->sbM1Block->setMaximum(commands::mifare::BlocksInSector(sector) - 1);
}

void TfrmModule::sbM1BlockChange() { ShowPosition(mifare_->pnM1Block, mifare_->sbM1Block, "%d"); }

void TfrmModule::chkEEPROMClick() {
    mifare_->edM1RWKey->setEnabled(!mifare_->chkEEPROM->isChecked());
}

void TfrmModule::btnM1IDSectorClick() {
    // A key-error list without a selection gives no record: nothing is sent and the command
    // fails, rather than a record with a made-up signal.
    const commands::CardIdLocation location{
        mifare_->sbM1IDSector->value(), mifare_->sbM1IDBlock->value(), mifare_->sbM1IDByte->value(),
        !mifare_->rbM1IDKeyA->isChecked(), mifare_->cmbM1IDKeyErr->currentIndex()};
    RunAction(actions::SetIdLocation(location));
}

void TfrmModule::btnM1KeyClick() {
    RunAction(actions::StoreKey(mifare_->sbM1E2Sector->value(),
                                {SlotOf(mifare_->rbM1KeyA), typed(mifare_->edM1Key)}));
}

void TfrmModule::btnM1ReadClick() {
    std::optional<std::string> block;
    const auto request =
        actions::ReadBlock(mifare_->sbM1Sector->value(), mifare_->sbM1Block->value(),
                           {SlotOf(mifare_->rbM1RWKeyA), typed(mifare_->edM1RWKey)},
                           mifare_->chkEEPROM->isChecked(), block);
    if (RunAction(request).ok()) mifare_->edM1Read->setText(QString::fromStdString(*block));
}

void TfrmModule::btnM1WriteClick() {
    // A write always loads the typed key, greyed or not.
    std::optional<std::string> echo;
    const auto request = actions::WriteBlock(
        mifare_->sbM1Sector->value(), mifare_->sbM1Block->value(),
        {SlotOf(mifare_->rbM1RWKeyA), typed(mifare_->edM1RWKey)}, typed(mifare_->edM1Write), echo);
    if (RunAction(request).ok()) mifare_->edM1Read->setText(QString::fromStdString(*echo));
}

}  // namespace app
