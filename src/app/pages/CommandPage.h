// The controls of the function page tsCommand.
#pragma once

class QWidget;

namespace app {

struct CommandPage {
};

// Builds the page's controls into `page` with the layout's captions and initial values.
CommandPage BuildCommandPage(QWidget* page);

}  // namespace app
