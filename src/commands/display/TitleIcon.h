// The display's title icon: a picture of 128 x 16 pixels, each dark or light. It comes from a
// 1-bit icon file (or, through the window, from a picture), is previewed at twice its size and
// goes to the display as 256 column bytes in eight "J00M" commands.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace commands::display {

constexpr int kIconWidth = 128;
constexpr int kIconHeight = 16;

// The icon file's pixel rows start after its header, directory entry, bitmap header and two
// colour-table entries; 16 rows of 16 bytes, the bottom row first.
constexpr std::size_t kIconPixelOffset = 70;
constexpr std::size_t kIconPixelBytes = 256;

// The display takes the icon as 256 column bytes, 32 in each of 8 commands.
constexpr std::size_t kIconPageBytes = 256;
constexpr int kIconParts = 8;
using IconPages = std::array<std::uint8_t, kIconPageBytes>;

// A 128 x 16 picture; column x from the left, row y from the top. All light when made.
class IconBitmap {
public:
    bool dark(int x, int y) const;
    void setDark(int x, int y, bool dark);

    bool operator==(const IconBitmap& other) const { return rows_ == other.rows_; }
    bool operator!=(const IconBitmap& other) const { return !(*this == other); }

private:
    // One bit a pixel, 1 dark, the most significant bit of a byte leftmost; top row first.
    std::array<std::array<std::uint8_t, kIconWidth / 8>, kIconHeight> rows_{};
};

// The picture held by an icon file's bytes (the whole file, from its first byte). Bytes from
// offset 70 are taken as pixels whatever the file is; where the file has ended the pixels are
// light. In the file a 0 bit is a dark pixel.
IconBitmap IconFromFileBytes(std::string_view file);

// The same from a file on disk; nullopt when it cannot be opened or read.
std::optional<IconBitmap> ReadIconFile(const std::string& path);

// The display's column bytes: byte 32g + 16h + c holds column 16g + c, rows 8h to 8h + 7, bit b
// set when row 8h + b is dark.
IconPages PackIcon(const IconBitmap& icon);

// "J00M" + n + bytes 32n to 32n + 31 as "%02X": the eight texts, part 0 first. They go to ID
// "00" without the command prefix.
std::array<std::string, kIconParts> IconCommands(const IconBitmap& icon);

}  // namespace commands::display
