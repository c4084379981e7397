// The reader-type row decides the start character of every command and which function pages
// are offered.
#include <QTabWidget>

#include "app/MainArea.h"
#include "app/TfrmModule.h"
#include "app/widgets/ReaderTypeRow.h"
#include "commands/ReaderTypes.h"

namespace app {

void TfrmModule::pcReaderChange() {
    using commands::FunctionPage;
    QWidget* const pages[commands::kFunctionPageCount] = {
        main_->tsMifare,  main_->tsMifareKey,   main_->tsEM,     main_->tsKeypad,
        main_->tsDisplay, main_->tsFingerprint, main_->tsCommand};
    const auto page = [&](FunctionPage p) { return pages[static_cast<int>(p)]; };
    QTabWidget* other = main_->pcOther;
    for (FunctionPage hidden :
         {FunctionPage::EM, FunctionPage::Keypad, FunctionPage::Mifare, FunctionPage::MifareKey,
          FunctionPage::Display, FunctionPage::Fingerprint})
        other->setTabVisible(other->indexOf(page(hidden)), false);

    const auto type = commands::ReaderTypeAt(main_->pcReader->currentIndex());
    if (!type) {
        startCharacter_ = std::string(1, commands::kNoTypeStartCharacter);
        other->setCurrentWidget(page(commands::kNoTypeFrontPage));
        return;
    }
    const commands::ReaderTypeInfo& info = commands::Info(*type);
    startCharacter_ = std::string(1, info.startCharacter);
    for (int p = 0; p < commands::kFunctionPageCount; ++p) {
        if (info.Shows(static_cast<FunctionPage>(p)))
            other->setTabVisible(other->indexOf(pages[p]), true);
    }
    other->setCurrentWidget(page(info.front));
}

}  // namespace app
