// The title icon from a file: an icon file is read byte for byte as the display expects it; a
// picture (PNG, BMP, GIF, JPEG) is scaled to 128 x 16 and each pixel made dark or light, so it
// previews and goes to the display exactly like an icon file. Qt Gui's image readers only: no
// widgets, no display needed.
#pragma once

#include <QImage>
#include <QString>
#include <variant>

#include "commands/display/TitleIcon.h"

namespace pictures {

// The name patterns of the pictures that are converted, as a file dialog's filter lists them.
inline constexpr char kPicturePatterns[] = "*.png *.bmp *.gif *.jpg *.jpeg";

// A pixel darker than the middle grey is dark; transparency shows the white behind it.
constexpr int kDarkBelow = 128;

// The picture scaled to 128 x 16 (a picture of that size is taken as it is), then dark where
// its lightness is below kDarkBelow.
commands::display::IconBitmap IconFromPicture(const QImage& picture);

// Why a file gives no icon.
enum class IconProblem {
    CannotOpen,   // the file is missing or cannot be read
    NotAPicture,  // it opens, but no image reader takes it (never for an icon file)
};

// A file ending in ".ico" (any case) read as an icon file; any other as a picture.
std::variant<commands::display::IconBitmap, IconProblem> ReadTitlePicture(const QString& path);

}  // namespace pictures
