// The title icon: an icon file's bytes, the column bytes and commands sent to the display, and
// a picture of any format read as an icon (pictures/, through Qt Gui's image readers).
#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QImageReader>
#include <cstdint>
#include <string>
#include <string_view>

#include "FuzzInput.h"
#include "commands/display/TitleIcon.h"
#include "pictures/PictureIcon.h"

namespace {

using namespace commands::display;
using fuzz::Check;

// The display's column bytes back into the picture: byte 32g + 16h + c, bit b, is pixel
// (16g + c, 8h + b).
IconBitmap Unpack(const IconPages& pages) {
    IconBitmap icon;
    for (int x = 0; x < kIconWidth; ++x)
        for (int y = 0; y < kIconHeight; ++y) {
            const std::size_t index =
                static_cast<std::size_t>(32 * (x / 16) + 16 * (y / 8) + x % 16);
            icon.setDark(x, y, (pages[index] >> (y % 8)) & 1);
        }
    return icon;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Input in(data, size);
    const bool picture = in.flag();
    const std::string bytes = in.rest();
    IconBitmap icon;
    if (picture) {
        QByteArray file =
            QByteArray::fromRawData(bytes.data(), static_cast<qsizetype>(bytes.size()));
        QBuffer buffer(&file);
        QImageReader reader(&buffer);
        // Qt's own readers are not ours to fuzz for memory: no picture larger than a photo.
        const QSize claimed = reader.size();
        if (claimed.width() > 2048 || claimed.height() > 2048) return 0;
        const QImage image = reader.read();
        if (image.isNull()) return 0;
        icon = pictures::IconFromPicture(image);
    } else {
        icon = IconFromFileBytes(std::string_view(bytes));
    }
    Check(Unpack(PackIcon(icon)) == icon, "column bytes hold the picture");
    for (const std::string& command : IconCommands(icon))
        Check(command.size() == 5 + 64 && command.compare(0, 4, "J00M") == 0, "icon command shape");
    return 0;
}
