// Collects the bytes of one reply as they arrive, by the reader protocol's rules: the frame
// must start with the first byte received after the purge (LF) and ends at a CR. The buffer is
// bounded: past its end, storing goes on from index 0, so an endless reply can never overflow
// it; it simply fails to end as a frame.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "link/Frame.h"

namespace tblink {

class ReplyAssembler {
public:
    enum class Step { Collecting, Complete };

    void reset();
    Step feed(std::uint8_t byte);

    // Bytes stored so far (after a complete frame: its length from LF to CR).
    std::size_t length() const { return length_; }
    const std::uint8_t* bytes() const { return buffer_.data(); }
    // The frame text up to its first 0 byte; valid after Complete.
    std::string frameText() const;
    bool checksumOk() const { return VerifyReply(buffer_.data(), length_); }

private:
    // One spare byte for the terminating 0 the frame text is cut at.
    std::array<std::uint8_t, kBufferSize + 1> buffer_{};
    std::size_t length_ = 0;
};

}  // namespace tblink
