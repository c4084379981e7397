#include "app/pages/CommandPage.h"

#include "app/Controls.h"

namespace app {

CommandPage BuildCommandPage(QWidget* page) {
    (void)page;
    return {};
}

}  // namespace app
