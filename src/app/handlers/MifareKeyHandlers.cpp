// Handlers of the function page: signal connections and event handlers.
#include "app/TfrmModule.h"

namespace app {

void TfrmModule::connectMifareKeyPage() {}

}  // namespace app
