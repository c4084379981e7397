#include "link/Frame.h"

namespace tblink {
namespace {
constexpr char kHexDigits[] = "0123456789ABCDEF";
constexpr char kCutMark[] = "[...]";
}  // namespace

std::uint8_t FrameChecksum(const char* text, std::size_t count) {
    std::uint8_t sum = kTab;
    for (std::size_t i = 0; i < count; ++i) sum ^= static_cast<std::uint8_t>(text[i]);
    return sum;
}

std::string ByteToHex(std::uint8_t value) {
    return {kHexDigits[value >> 4], kHexDigits[value & 0x0F]};
}

std::string CommandFrame(const std::string& text) {
    std::string frame;
    frame.reserve(text.size() + 4);
    frame += static_cast<char>(kTab);
    frame += text;
    frame += ByteToHex(FrameChecksum(text.data(), text.size()));
    frame += static_cast<char>(kCr);
    return frame;
}

std::string SentEcho(const std::string& text) {
    return "[09]" + text + ByteToHex(FrameChecksum(text.data(), text.size())) + "[0D]";
}

bool VerifyReply(const std::uint8_t* bytes, std::size_t length) {
    if (length < 4) return false;
    std::uint8_t sum = 0;
    for (std::size_t i = 0; i < length - 3; ++i) sum ^= bytes[i];
    const std::string expected = ByteToHex(sum);
    return bytes[length - 3] == static_cast<std::uint8_t>(expected[0]) &&
           bytes[length - 2] == static_cast<std::uint8_t>(expected[1]);
}

std::string EchoBytes(std::size_t count, const std::uint8_t* bytes) {
    auto printable = [](std::uint8_t byte) { return byte >= 0x20 && byte <= 0x7F; };
    std::size_t fullWidth = 0;
    for (std::size_t i = 0; i < count; ++i) fullWidth += printable(bytes[i]) ? 1 : 4;
    // A form that does not fit is cut on a byte boundary, leaving room for the mark.
    const std::size_t room =
        fullWidth <= kBufferSize ? kBufferSize : kBufferSize - (sizeof(kCutMark) - 1);

    std::string echo;
    echo.reserve(fullWidth < kBufferSize ? fullWidth : kBufferSize);
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint8_t byte = bytes[i];
        if (echo.size() + (printable(byte) ? 1 : 4) > room) break;
        if (printable(byte)) {
            echo += static_cast<char>(byte);
        } else {
            echo += '[';
            echo += ByteToHex(byte);
            echo += ']';
        }
    }
    if (fullWidth > kBufferSize) echo += kCutMark;
    return echo;
}

}  // namespace tblink
