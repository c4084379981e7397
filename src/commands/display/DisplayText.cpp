#include "commands/display/DisplayText.h"

namespace commands::display {

TextCodePage CodePageOfLanguage(int language) {
    switch (language) {
        case 1:
            return TextCodePage::Gbk;
        case 2:
            return TextCodePage::Big5;
        default:
            return TextCodePage::SingleByte;
    }
}

bool IsLeadByte(std::uint8_t byte, TextCodePage page) {
    return page != TextCodePage::SingleByte && byte >= 0x81 && byte <= 0xFE;
}

bool IsTrailByte(std::uint8_t byte, TextCodePage page) {
    switch (page) {
        case TextCodePage::Gbk:
            return byte >= 0x40 && byte <= 0xFE && byte != 0x7F;
        case TextCodePage::Big5:
            return (byte >= 0x40 && byte <= 0x7E) || (byte >= 0xA1 && byte <= 0xFE);
        case TextCodePage::SingleByte:
            break;
    }
    return false;
}

std::string FitToWidth(const std::string& text, std::size_t width, TextCodePage page) {
    std::size_t kept = 0;
    // Whole characters only, a lead byte and its trail together.
    while (kept < text.size() && kept < width) {
        const auto byte = static_cast<std::uint8_t>(text[kept]);
        const bool pair = IsLeadByte(byte, page) && kept + 1 < text.size() &&
                          IsTrailByte(static_cast<std::uint8_t>(text[kept + 1]), page);
        const std::size_t length = pair ? 2 : 1;
        if (kept + length > width) break;
        kept += length;
    }
    std::string fitted = text.substr(0, kept);
    fitted.resize(width, ' ');
    return fitted;
}

}  // namespace commands::display
