// Handlers of the function page tsMifareKey: signal connections and event handlers.
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>

#include "app/Controls.h"
#include "app/TfrmModule.h"
#include "app/pages/MifareKeyPage.h"
#include "app/pages/MifarePage.h"
#include "app/widgets/OptionMouseUp.h"
#include "app/widgets/ReaderTextValidator.h"

namespace app {

std::vector<ButtonBinding> TfrmModule::mifareKeyPageButtons() { return {}; }

void TfrmModule::connectMifareKeyPage() {
    connect(mifareKey_->sbM1CardSector, &QScrollBar::valueChanged, this,
            &TfrmModule::sbM1CardSectorChange);
    // Only the mouse changes a whole block's condition; the keyboard moves within one group.
    connect(mifareKey_->accessMouseUp, &OptionMouseUp::released, this,
            &TfrmModule::AccessOptionMouseUp);

    // The trailer's texts go to the reader as typed, counted in its bytes.
    const auto language = [this] { return language_; };
    for (QLineEdit* edit : {mifareKey_->edM1CardOldKey, mifareKey_->edM1CardKeyA,
                            mifareKey_->edM1CardKeyAccess, mifareKey_->edM1CardKeyB})
        ForReader(edit, kM1KeyLength, language);
}

void TfrmModule::sbM1CardSectorChange() {
    ShowPosition(mifareKey_->pnM1CardSector, mifareKey_->sbM1CardSector, "%02d");
}

void TfrmModule::AccessOptionMouseUp(const QString& option) {
    // The option rules and the access-bits text that follows from them are not built yet; the
    // options' own groups already keep one option checked each.
    (void)option;
}

}  // namespace app
