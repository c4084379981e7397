// The window fonts are asked for by the names the readers' documentation uses ("Courier New",
// "宋体", "細明體"); these substitutes make fontconfig pick the installed twins.
#pragma once

namespace app {

void RegisterFontSubstitutes();

}  // namespace app
