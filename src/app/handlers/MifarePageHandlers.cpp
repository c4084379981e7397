// Handlers of the function page tsMifare: signal connections and event handlers.
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>

#include "app/Controls.h"
#include "app/TfrmModule.h"
#include "app/pages/MifarePage.h"
#include "app/widgets/ReaderTextValidator.h"

namespace app {

std::vector<ButtonBinding> TfrmModule::mifarePageButtons() { return {}; }

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
    ForReader(mifare_->edM1Key, kM1KeyLength, language);
    ForReader(mifare_->edM1RWKey, kM1KeyLength, language);
    ForReader(mifare_->edM1Write, kM1BlockDataLength, language);
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
    mifare_->sbM1Block->setMaximum(
        mifare_->sbM1Sector->value() < kM1FirstBigSector ? kM1LastBlockSmall : kM1LastBlockBig);
}

void TfrmModule::sbM1BlockChange() { ShowPosition(mifare_->pnM1Block, mifare_->sbM1Block, "%d"); }

void TfrmModule::chkEEPROMClick() {
    mifare_->edM1RWKey->setEnabled(!mifare_->chkEEPROM->isChecked());
}

}  // namespace app
