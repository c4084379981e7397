#include "link/ReplyAssembler.h"

#include <cstring>

namespace tblink {

void ReplyAssembler::reset() {
    buffer_.fill(0);
    length_ = 0;
}

ReplyAssembler::Step ReplyAssembler::feed(std::uint8_t byte) {
    buffer_[length_] = byte;
    ++length_;
    if (length_ >= kBufferSize) length_ = 0;
    if (byte == kCr && buffer_[0] == kLf) {
        buffer_[length_] = 0;
        return Step::Complete;
    }
    return Step::Collecting;
}

std::string ReplyAssembler::frameText() const {
    const auto* text = reinterpret_cast<const char*>(buffer_.data());
    return std::string(text, strnlen(text, buffer_.size()));
}

}  // namespace tblink
