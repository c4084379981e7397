#include "pictures/PictureIcon.h"

#include <QFile>
#include <QFileInfo>
#include <QImageReader>

namespace pictures {

using commands::display::IconBitmap;
using commands::display::kIconHeight;
using commands::display::kIconWidth;

IconBitmap IconFromPicture(const QImage& picture) {
    const QImage scaled =
        picture.scaled(kIconWidth, kIconHeight, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
            .convertToFormat(QImage::Format_ARGB32);
    IconBitmap icon;
    for (int y = 0; y < kIconHeight; ++y) {
        for (int x = 0; x < kIconWidth; ++x) {
            const QRgb pixel = scaled.pixel(x, y);
            const int alpha = qAlpha(pixel);
            // Over white: a transparent pixel is as light as the paper.
            const int lightness = (qGray(pixel) * alpha + 255 * (255 - alpha)) / 255;
            icon.setDark(x, y, lightness < kDarkBelow);
        }
    }
    return icon;
}

std::variant<IconBitmap, IconProblem> ReadTitlePicture(const QString& path) {
    if (QFileInfo(path).suffix().compare("ico", Qt::CaseInsensitive) == 0) {
        const auto icon = commands::display::ReadIconFile(QFile::encodeName(path).toStdString());
        if (!icon) return IconProblem::CannotOpen;
        return *icon;
    }
    // Opened here, once, so a file that cannot be read is told from one that is no picture.
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return IconProblem::CannotOpen;
    QImageReader reader(&file);
    reader.setAutoTransform(true);
    const QImage picture = reader.read();
    if (picture.isNull()) return IconProblem::NotAPicture;
    return IconFromPicture(picture);
}

}  // namespace pictures
