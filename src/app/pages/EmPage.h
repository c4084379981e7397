// The controls of the function page tsEM.
#pragma once

class QWidget;

namespace app {

struct EmPage {
};

// Builds the page's controls into `page` with the layout's captions and initial values.
EmPage BuildEmPage(QWidget* page);

}  // namespace app
