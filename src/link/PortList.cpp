#include "link/PortList.h"

#include <limits>

namespace tblink {
namespace {

constexpr int kDefaultPortCount = 16;

std::string Trim(const std::string& text) {
    const char* blanks = " \t\r\n\f\v";
    const auto begin = text.find_first_not_of(blanks);
    if (begin == std::string::npos) return {};
    return text.substr(begin, text.find_last_not_of(blanks) - begin + 1);
}

// Byte offset after the first `count` UTF-8 characters: a typed non-ASCII character counts as
// one, as in the box.
std::size_t SkipCharacters(std::string_view text, int count) {
    std::size_t i = 0;
    for (int n = 0; n < count && i < text.size(); ++n) {
        ++i;
        while (i < text.size() && (static_cast<unsigned char>(text[i]) & 0xC0) == 0x80) ++i;
    }
    return i;
}

}  // namespace

PortBoxFill FillPortBox(const std::vector<std::string>& mapNames, int storedPort) {
    PortBoxFill fill;
    for (const std::string& name : mapNames) fill.items.push_back(Trim(name));
    if (fill.items.empty()) {
        for (int n = 1; n <= kDefaultPortCount; ++n)
            fill.items.push_back("COM" + std::to_string(n));
    }
    fill.text = "COM" + std::to_string(storedPort);
    return fill;
}

std::optional<int> PortNumberFromBoxText(std::string_view text) {
    const std::string_view digits = text.substr(SkipCharacters(text, 3));
    if (digits.empty()) return std::nullopt;
    long long number = 0;
    for (char c : digits) {
        if (c < '0' || c > '9') return std::nullopt;
        number = number * 10 + (c - '0');
        if (number > std::numeric_limits<int>::max()) return std::nullopt;
    }
    return static_cast<int>(number);
}

}  // namespace tblink
