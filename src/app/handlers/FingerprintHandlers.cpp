// Handlers of the function page: signal connections and event handlers.
#include <QLabel>
#include <QScrollBar>

#include "app/TfrmModule.h"
#include "app/widgets/ByteLimitValidator.h"

namespace app {

void TfrmModule::connectFingerprintPage() {
    connect(fingerprint_.sbFacility, &QScrollBar::valueChanged, this,
            &TfrmModule::sbFacilityChange);
    connect(fingerprint_.sbFingerNo, &QScrollBar::valueChanged, this,
            &TfrmModule::sbFingerNoChange);

    const auto language = [this] { return this->language(); };
    LimitBytes(fingerprint_.edCard, FingerprintPage::kFingerprintIdBytes, language);
    LimitBytes(fingerprint_.edF1, FingerprintPage::kTemplatePartBytes, language);
}

// The facility code goes out as the panel shows it: five digits.
void TfrmModule::sbFacilityChange() {
    fingerprint_.pnFacility->setText(QString::asprintf("%05d", fingerprint_.sbFacility->value()));
}

// The finger number is the panel's six digits, for enrolment, ID and template alike.
void TfrmModule::sbFingerNoChange() {
    fingerprint_.pnFingerNo->setText(QString::asprintf("%06d", fingerprint_.sbFingerNo->value()));
}

}  // namespace app
