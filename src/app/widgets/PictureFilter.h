// The file dialog's filter for the title icon.
#pragma once

#include <QString>

namespace app {

// In a language: icon files first (the system's own text), then the pictures that are
// converted.
QString TitlePictureFilter(int language);

}  // namespace app
