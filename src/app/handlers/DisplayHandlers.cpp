// Handlers of the function page: signal connections and event handlers.
#include "app/TfrmModule.h"
#include "app/widgets/ByteLimitValidator.h"

namespace app {

void TfrmModule::connectDisplayPage() {
    // What the display receives is counted in bytes of the window's current language.
    const auto language = [this] { return this->language(); };
    LimitBytes(display_.edPassword, DisplayPage::kPasswordBytes, language);
    LimitBytes(display_.edTitle1, DisplayPage::kTitleBytes, language);
    LimitBytes(display_.edTitle2, DisplayPage::kTitleBytes, language);
    LimitBytes(display_.edSmallMessage, DisplayPage::kSmallMessageBytes, language);
    LimitBytes(display_.edScreenMessage, DisplayPage::kScreenMessageBytes, language);
}

}  // namespace app
