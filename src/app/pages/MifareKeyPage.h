// The controls of the function page tsMifareKey.
#pragma once

class QWidget;

namespace app {

struct MifareKeyPage {
};

// Builds the page's controls into `page` with the layout's captions and initial values.
MifareKeyPage BuildMifareKeyPage(QWidget* page);

}  // namespace app
