// Handlers of the function page tsEM ("EM/TEMIC"): the card type.
#include <QComboBox>

#include "actions/Requests.h"
#include "app/TfrmModule.h"
#include "app/pages/EmPage.h"
#include "commands/config/CardReading.h"

namespace app {

using text::Msg;

std::vector<ButtonBinding> TfrmModule::emPageButtons() {
    return {{"btnCardType", &TfrmModule::btnCardTypeClick}};
}

void TfrmModule::btnCardTypeClick() {
    RunAction(actions::SetCardType(em_->cmbCardType->currentIndex()));
}

}  // namespace app
