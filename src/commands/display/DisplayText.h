// Texts for the display travel as bytes in the code page of the window's language and fill
// fixed byte widths: 64 for the small message, 128 for the screen message, 16 for a title.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace commands::display {

constexpr std::size_t kSmallMessageBytes = 64;
constexpr std::size_t kScreenMessageBytes = 128;
constexpr std::size_t kTitleBytes = 16;
constexpr std::size_t kPasswordBytes = 4;

// The code page a text was encoded in: one byte a character, or one or two.
enum class TextCodePage {
    SingleByte,  // English (Windows-1252)
    Gbk,         // Simplified Chinese
    Big5,        // Traditional Chinese
};

// The window's language index (0 English, 1 Simplified, 2 Traditional Chinese) to its code
// page; any other index is English.
TextCodePage CodePageOfLanguage(int language);

// A byte that opens a two-byte character (0x81 to 0xFE in GBK and Big5; none in the single-byte
// page). Only meaningful at a character's start: a trail byte may lie in the same range.
bool IsLeadByte(std::uint8_t byte, TextCodePage page);
// A byte that can close a two-byte character opened by a lead byte.
bool IsTrailByte(std::uint8_t byte, TextCodePage page);

// The text cut or padded with spaces to exactly `width` bytes. A cut never splits a two-byte
// character: when the last byte kept would be a lead byte whose trail is cut off, a space takes
// its place. Characters are found by walking from the text's start.
std::string FitToWidth(const std::string& text, std::size_t width, TextCodePage page);

}  // namespace commands::display
