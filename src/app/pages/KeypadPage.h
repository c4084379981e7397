// The controls of the function page tsKeypad.
#pragma once

class QWidget;

namespace app {

struct KeypadPage {
};

// Builds the page's controls into `page` with the layout's captions and initial values.
KeypadPage BuildKeypadPage(QWidget* page);

}  // namespace app
