// The title icon from a file the user chose: an icon file is read byte for byte as the display
// expects it; a picture (PNG, BMP, GIF, JPEG) is scaled to 128 x 16 and each pixel made dark or
// light, so it previews and goes to the display exactly like an icon file.
#pragma once

#include <QImage>
#include <QString>
#include <optional>

#include "commands/display/TitleIcon.h"

namespace app {

// The file dialog's filter in a language: icon files first (the system's own text), then the
// pictures that are converted.
QString TitlePictureFilter(int language);

// A pixel darker than the middle grey is dark; transparency shows the white behind it.
constexpr int kDarkBelow = 128;

// The picture scaled to 128 x 16 (a picture of that size is taken as it is), then dark where
// its lightness is below kDarkBelow.
commands::display::IconBitmap IconFromPicture(const QImage& picture);

// A file ending in ".ico" (any case) read as an icon file; any other as a picture. Nullopt
// when the file cannot be opened, or is not a picture Qt can read.
std::optional<commands::display::IconBitmap> ReadTitlePicture(const QString& path);

}  // namespace app
