// Taking values out of a fuzzer's input, front to back. Once the input is used up every take
// gives zeros or empty texts, so a harness never has to check for the end.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace fuzz {

class Input {
public:
    Input(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    bool empty() const { return pos_ >= size_; }
    std::size_t left() const { return size_ - pos_; }

    std::uint8_t byte() { return empty() ? 0 : data_[pos_++]; }
    bool flag() { return (byte() & 1) != 0; }
    int below(int count) { return count <= 0 ? 0 : byte() % count; }
    int number() {  // any int, sign included
        std::uint32_t value = 0;
        for (int i = 0; i < 4; ++i) value = (value << 8) | byte();
        return static_cast<int>(value);
    }
    std::string bytes(std::size_t count) {
        if (count > left()) count = left();
        std::string out(reinterpret_cast<const char*>(data_ + pos_), count);
        pos_ += count;
        return out;
    }
    // A text whose length comes first (one byte).
    std::string text() { return bytes(byte()); }
    // Up to the next 0 byte (dropped), or the rest.
    std::string field() {
        std::string out;
        while (!empty()) {
            const std::uint8_t b = byte();
            if (b == 0) break;
            out += static_cast<char>(b);
        }
        return out;
    }
    std::string rest() { return bytes(left()); }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

// A reply frame around `body`: LF, the body, the XOR of every byte before it in upper-case hex,
// CR.
inline std::string ReplyFrame(const std::string& body) {
    std::string frame = "\n" + body;
    std::uint8_t sum = 0;
    for (char c : frame) sum ^= static_cast<std::uint8_t>(c);
    const char* digits = "0123456789ABCDEF";
    frame += digits[sum >> 4];
    frame += digits[sum & 0x0F];
    return frame + "\r";
}

// A property that does not hold is a finding: say which, and stop so libFuzzer keeps the input.
[[noreturn]] inline void Fail(const char* what) {
    std::fprintf(stderr, "property broken: %s\n", what);
    std::abort();
}
inline void Check(bool holds, const char* what) {
    if (!holds) Fail(what);
}

}  // namespace fuzz
