// Handlers of the function page tsFingerprint: enrolment, IDs, templates, stand-alone mode.
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>

#include "app/Controls.h"
#include "app/TfrmModule.h"
#include "app/pages/FingerprintPage.h"
#include "app/widgets/ReaderTextValidator.h"

namespace app {

std::vector<ButtonBinding> TfrmModule::fingerprintPageButtons() { return {}; }

void TfrmModule::connectFingerprintPage() {
    connect(fingerprint_->sbFacility, &QScrollBar::valueChanged, this,
            &TfrmModule::sbFacilityChange);
    connect(fingerprint_->sbFingerNo, &QScrollBar::valueChanged, this,
            &TfrmModule::sbFingerNoChange);

    const auto language = [this] { return this->language(); };
    ForReader(fingerprint_->edCard, FingerprintPage::kFingerprintIdBytes, language);
    ForReader(fingerprint_->edF1, FingerprintPage::kTemplatePartBytes, language);
    for (QLineEdit* part : {fingerprint_->edF2, fingerprint_->edF3})
        ForReader(part, ReaderTextValidator::kNoByteLimit, language);
}

// The facility code goes out as the panel shows it: five digits.
void TfrmModule::sbFacilityChange() {
    ShowPosition(fingerprint_->pnFacility, fingerprint_->sbFacility, "%05d");
}

// The finger number is the panel's six digits, for enrolment, ID and template alike.
void TfrmModule::sbFingerNoChange() {
    ShowPosition(fingerprint_->pnFingerNo, fingerprint_->sbFingerNo, "%06d");
}

}  // namespace app
