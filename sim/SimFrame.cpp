#include "SimFrame.h"

#include <algorithm>

namespace tbsim {

std::string HexByte(std::uint8_t value) {
    static const char digits[] = "0123456789ABCDEF";
    return {digits[value >> 4], digits[value & 0x0F]};
}

std::uint8_t CommandChecksum(const std::string& text) {
    auto sum = static_cast<std::uint8_t>(kTab);
    for (char c : text) sum = static_cast<std::uint8_t>(sum ^ static_cast<std::uint8_t>(c));
    return sum;
}

std::string CommandFrame(const std::string& text) {
    return std::string(1, kTab) + text + HexByte(CommandChecksum(text)) + kCr;
}

std::uint8_t ReplyChecksum(const std::string& bytesBeforeChecksum) {
    std::uint8_t sum = 0;
    for (char c : bytesBeforeChecksum) {
        sum = static_cast<std::uint8_t>(sum ^ static_cast<std::uint8_t>(c));
    }
    return sum;
}

std::string ReplyFrame(char header, int id, char second, const std::string& data) {
    const std::string idText = {static_cast<char>('0' + (id / 10) % 10),
                                static_cast<char>('0' + id % 10)};
    return ReplyFrame(header, idText, second, data);
}

std::string ReplyFrame(char header, const std::string& idText, char second,
                       const std::string& data) {
    std::string frame(1, kLf);
    frame += header;
    frame += idText;
    frame += second;
    frame += data;
    frame += HexByte(ReplyChecksum(frame));
    frame += kCr;
    return frame;
}

bool IsValidReply(const std::string& frame) {
    if (frame.size() < 4 || frame.front() != kLf || frame.back() != kCr) return false;
    const std::size_t body = frame.size() - 3;
    return frame.compare(body, 2, HexByte(ReplyChecksum(frame.substr(0, body)))) == 0;
}

CommandFrameParts SplitCommandFrame(const std::string& frame) {
    CommandFrameParts parts;
    // TAB, two checksum characters and CR at least.
    if (frame.size() < 4) {
        if (frame.size() > 2) parts.text = frame.substr(1, frame.size() - 2);
        return parts;
    }
    parts.text = frame.substr(1, frame.size() - 4);
    parts.checksumOk =
        frame.compare(frame.size() - 3, 2, HexByte(CommandChecksum(parts.text))) == 0;
    return parts;
}

std::vector<std::string> CommandAssembler::feed(const char* bytes, std::size_t count) {
    std::vector<std::string> frames;
    for (std::size_t i = 0; i < count; ++i) {
        const char c = bytes[i];
        if (c == kTab) {
            partial_.assign(1, c);
            inFrame_ = true;
            continue;
        }
        if (!inFrame_) continue;
        partial_ += c;
        if (c == kCr) {
            frames.push_back(std::move(partial_));
            partial_.clear();
            inFrame_ = false;
        } else if (partial_.size() >= kMaxFrame) {
            partial_.clear();
            inFrame_ = false;
        }
    }
    return frames;
}

std::string CollideReplies(const std::vector<std::string>& replies) {
    std::size_t length = 0;
    for (const auto& reply : replies) length = std::max(length, reply.size());
    std::string mix(length, '\xFF');
    for (const auto& reply : replies) {
        for (std::size_t i = 0; i < reply.size(); ++i) {
            mix[i] = static_cast<char>(static_cast<unsigned char>(mix[i]) &
                                       static_cast<unsigned char>(reply[i]));
        }
    }
    // 0x0D loses its lowest bit: no CR survives, so no frame can end in the mix.
    for (char& c : mix) {
        if (c == kCr) c = static_cast<char>(kCr & 0xFE);
    }
    return mix;
}

}  // namespace tbsim
