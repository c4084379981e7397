// Handlers of the function page tsDisplay: system parameters, titles, icon and messages.
#include "app/TfrmModule.h"
#include "app/pages/DisplayPage.h"
#include "app/widgets/ReaderTextValidator.h"

namespace app {

std::vector<ButtonBinding> TfrmModule::displayPageButtons() { return {}; }

void TfrmModule::connectDisplayPage() {
    // What the display receives is counted in bytes of the window's current language.
    const auto language = [this] { return this->language(); };
    ForReader(display_->edPassword, DisplayPage::kPasswordBytes, language);
    ForReader(display_->edTitle1, DisplayPage::kTitleBytes, language);
    ForReader(display_->edTitle2, DisplayPage::kTitleBytes, language);
    ForReader(display_->edSmallMessage, DisplayPage::kSmallMessageBytes, language);
    ForReader(display_->edScreenMessage, DisplayPage::kScreenMessageBytes, language);
}

}  // namespace app
