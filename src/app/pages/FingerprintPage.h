// The controls of the function page tsFingerprint.
#pragma once

class QWidget;

namespace app {

struct FingerprintPage {
};

// Builds the page's controls into `page` with the layout's captions and initial values.
FingerprintPage BuildFingerprintPage(QWidget* page);

}  // namespace app
