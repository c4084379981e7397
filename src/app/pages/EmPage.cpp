#include "app/pages/EmPage.h"

#include "app/Controls.h"

namespace app {

EmPage BuildEmPage(QWidget* page) {
    (void)page;
    return {};
}

}  // namespace app
