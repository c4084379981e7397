// The controls of the function page tsMifare.
#pragma once

class QWidget;

namespace app {

struct MifarePage {
};

// Builds the page's controls into `page` with the layout's captions and initial values.
MifarePage BuildMifarePage(QWidget* page);

}  // namespace app
