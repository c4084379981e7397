#include "app/widgets/PictureIcon.h"

#include "text/Catalogue.h"

#include <QFile>
#include <QFileInfo>
#include <QImageReader>

namespace app {

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

QString TitlePictureFilter(int language) {
    return QStringLiteral("Icon files (*.ico);;") + text::Text(text::Msg::Pictures, language) +
           QStringLiteral(" (*.png *.bmp *.gif *.jpg *.jpeg)");
}

std::optional<IconBitmap> ReadTitlePicture(const QString& path) {
    if (QFileInfo(path).suffix().compare("ico", Qt::CaseInsensitive) == 0)
        return commands::display::ReadIconFile(QFile::encodeName(path).toStdString());
    QImageReader reader(path);
    reader.setAutoTransform(true);
    const QImage picture = reader.read();
    if (picture.isNull()) return std::nullopt;
    return IconFromPicture(picture);
}

}  // namespace app
