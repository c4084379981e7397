// The controls of the function page tsDisplay.
#pragma once

class QWidget;

namespace app {

struct DisplayPage {
};

// Builds the page's controls into `page` with the layout's captions and initial values.
DisplayPage BuildDisplayPage(QWidget* page);

}  // namespace app
