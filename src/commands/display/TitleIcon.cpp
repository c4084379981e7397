#include "commands/display/TitleIcon.h"

#include <cstdio>
#include <memory>

namespace commands::display {
namespace {

constexpr int kRowBytes = kIconWidth / 8;
constexpr int kHalfHeight = kIconHeight / 2;
constexpr int kColumnsPerPart = kIconWidth / kIconParts;
constexpr char kHexDigits[] = "0123456789ABCDEF";

bool Inside(int x, int y) { return x >= 0 && x < kIconWidth && y >= 0 && y < kIconHeight; }

std::uint8_t Bit(int x) { return static_cast<std::uint8_t>(0x80u >> (x % 8)); }

}  // namespace

bool IconBitmap::dark(int x, int y) const {
    if (!Inside(x, y)) return false;
    return (rows_[static_cast<std::size_t>(y)][static_cast<std::size_t>(x / 8)] & Bit(x)) != 0;
}

void IconBitmap::setDark(int x, int y, bool dark) {
    if (!Inside(x, y)) return;
    auto& byte = rows_[static_cast<std::size_t>(y)][static_cast<std::size_t>(x / 8)];
    byte = static_cast<std::uint8_t>(dark ? byte | Bit(x) : byte & ~Bit(x));
}

IconBitmap IconFromFileBytes(std::string_view file) {
    IconBitmap icon;
    for (int fileRow = 0; fileRow < kIconHeight; ++fileRow) {
        for (int k = 0; k < kRowBytes; ++k) {
            const std::size_t at =
                kIconPixelOffset + static_cast<std::size_t>(fileRow * kRowBytes + k);
            // Past the end of the file the reading gives 0xFF: light pixels.
            const auto byte = at < file.size() ? static_cast<std::uint8_t>(file[at]) : 0xFF;
            for (int j = 0; j < 8; ++j) {
                const bool light = (byte & (0x80u >> j)) != 0;
                icon.setDark(8 * k + j, kIconHeight - 1 - fileRow, !light);
            }
        }
    }
    return icon;
}

std::optional<IconBitmap> ReadIconFile(const std::string& path) {
    const std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"),
                                                               &std::fclose);
    if (!file) return std::nullopt;
    std::string bytes(kIconPixelOffset + kIconPixelBytes, '\0');
    bytes.resize(std::fread(bytes.data(), 1, bytes.size(), file.get()));
    // A directory opens but cannot be read.
    if (std::ferror(file.get())) return std::nullopt;
    return IconFromFileBytes(bytes);
}

IconPages PackIcon(const IconBitmap& icon) {
    IconPages pages{};
    for (int x = 0; x < kIconWidth; ++x) {
        const int group = x / kColumnsPerPart;
        const int column = x % kColumnsPerPart;
        for (int y = 0; y < kIconHeight; ++y) {
            if (!icon.dark(x, y)) continue;
            const int half = y / kHalfHeight;
            auto& byte = pages[static_cast<std::size_t>(32 * group + 16 * half + column)];
            byte = static_cast<std::uint8_t>(byte | (1u << (y % kHalfHeight)));
        }
    }
    return pages;
}

std::array<std::string, kIconParts> IconCommands(const IconBitmap& icon) {
    const IconPages pages = PackIcon(icon);
    const std::size_t perPart = kIconPageBytes / kIconParts;
    std::array<std::string, kIconParts> texts;
    for (int n = 0; n < kIconParts; ++n) {
        std::string& text = texts[static_cast<std::size_t>(n)];
        text = "J00M" + std::to_string(n);
        for (std::size_t i = 0; i < perPart; ++i) {
            const std::uint8_t byte = pages[static_cast<std::size_t>(n) * perPart + i];
            text += kHexDigits[byte >> 4];
            text += kHexDigits[byte & 0x0F];
        }
    }
    return texts;
}

}  // namespace commands::display
