// Handlers of the function page tsEM ("EM/TEMIC"): the card type.
#include <QComboBox>

#include "app/TfrmModule.h"
#include "app/pages/EmPage.h"
#include "commands/config/CardReading.h"

namespace app {

using text::Msg;

std::vector<ButtonBinding> TfrmModule::emPageButtons() {
    return {{"btnCardType", &TfrmModule::btnCardTypeClick, true}};
}

void TfrmModule::btnCardTypeClick() {
    const int cardType = em_->cmbCardType->currentIndex();
    RunCommand({Msg::SetCardType, Msg::SetCardTypeOk, Msg::SetCardTypeError},
               [&](const commands::Session& s) { return commands::SetCardType(s, cardType); });
}

}  // namespace app
