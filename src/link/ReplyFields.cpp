#include "link/ReplyFields.h"

#include <array>
#include <limits>

#include "link/Frame.h"

namespace tblink {
namespace {

std::uint8_t DigitValue(char c) {
    if (c >= '0' && c <= '9') return static_cast<std::uint8_t>(c - '0');
    if (c >= 'A' && c <= 'F') return static_cast<std::uint8_t>(c - 'A' + 10);
    return 0;
}

char CharAt(const std::string& text, std::size_t index) {
    return index < text.size() ? text[index] : '\0';
}

std::optional<int> NumberField(const std::string& reply, int position, int length, int base) {
    const std::string field = ReplyField(reply, position, length);
    if (length <= 0 || length > 8 || static_cast<int>(field.size()) != length) return std::nullopt;
    // Eight hex digits can exceed an int: such a field is no number of ours.
    std::int64_t value = 0;
    for (char c : field) {
        int digit = -1;
        if (c >= '0' && c <= '9') digit = c - '0';
        if (base == 16 && c >= 'A' && c <= 'F') digit = c - 'A' + 10;
        if (digit < 0) return std::nullopt;
        value = value * base + digit;
    }
    if (value > std::numeric_limits<int>::max()) return std::nullopt;
    return static_cast<int>(value);
}

constexpr std::array<std::uint8_t, 8> kMask = {0x5C, 0x17, 0xA3, 0xE8, 0x42, 0x9B, 0x06, 0xD1};

}  // namespace

std::string ReplyField(const std::string& reply, int position, int length) {
    if (position < 1 || length <= 0) return {};
    const auto start = static_cast<std::size_t>(position - 1);
    if (start >= reply.size()) return {};
    return reply.substr(start, static_cast<std::size_t>(length));
}

std::optional<int> DecimalField(const std::string& reply, int position, int length) {
    return NumberField(reply, position, length, 10);
}

std::optional<int> HexField(const std::string& reply, int position, int length) {
    return NumberField(reply, position, length, 16);
}

std::uint32_t HexToInt32(const std::string& text) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < 8; ++i) value = value * 16 + DigitValue(CharAt(text, i));
    return value;
}

std::string MaskHex16(const std::string& text) {
    std::string result;
    result.reserve(16);
    for (std::size_t i = 0; i < 8; ++i) {
        const auto high = DigitValue(CharAt(text, 2 * i));
        const auto low = DigitValue(CharAt(text, 2 * i + 1));
        const auto byte = static_cast<std::uint8_t>((high << 4) | low);
        result += ByteToHex(static_cast<std::uint8_t>(byte ^ kMask[7 - i]));
    }
    return result;
}

std::string ReverseHexBytes(const std::string& text) {
    constexpr std::size_t kIdLength = 16;
    const std::string id = text.substr(0, kIdLength);
    std::string result;
    result.reserve(id.size());
    for (std::size_t start = (id.size() + 1) / 2 * 2; start > 0;) {
        start -= 2;
        result += id.substr(start, 2);
    }
    return result;
}

}  // namespace tblink
