// The simulator's own frame code: command frames as the program sends them (TAB, text, checksum,
// CR) and reply frames as a reader sends them (LF, header, data, checksum, CR). Written apart from
// the program's link code on purpose, so that a mistake in one shows up against the other.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tbsim {

constexpr char kTab = '\x09';
constexpr char kLf = '\x0A';
constexpr char kCr = '\x0D';

// Two upper-case hexadecimal characters, high nibble first.
std::string HexByte(std::uint8_t value);

// XOR of 0x09 (the TAB) and every byte of the command text.
std::uint8_t CommandChecksum(const std::string& text);
// TAB, text, checksum characters, CR.
std::string CommandFrame(const std::string& text);

// XOR, from 0, of every byte in front of the checksum characters, LF included.
std::uint8_t ReplyChecksum(const std::string& bytesBeforeChecksum);
// LF, header character, two-digit ID, second header character, data, checksum, CR.
std::string ReplyFrame(char header, int id, char second, const std::string& data);
// The same with the ID field written as given (a reader whose address reads wrong).
std::string ReplyFrame(char header, const std::string& idText, char second,
                       const std::string& data);
// A reply as the program accepts it: LF first, CR last, at least 4 bytes, the two characters
// before the CR equal to the upper-case checksum of everything in front of them.
bool IsValidReply(const std::string& frame);

// A command frame cut apart: `text` lies between the TAB and the checksum characters.
struct CommandFrameParts {
    std::string text;
    bool checksumOk = false;
};
// Splits a frame from TAB to CR; a frame too short to hold a checksum has the checksum wrong.
CommandFrameParts SplitCommandFrame(const std::string& frame);

// Collects command frames from the bytes that arrive on the line, whatever the chunks. Bytes
// outside a frame are dropped; a TAB inside a frame starts it again (the program has given up on
// the old one and sent anew). The partial frame is bounded, so noise cannot grow it for ever.
class CommandAssembler {
public:
    static constexpr std::size_t kMaxFrame = 4096;

    // Feeds bytes; returns the frames completed by them, each from TAB to CR.
    std::vector<std::string> feed(const char* bytes, std::size_t count);
    bool inFrame() const { return inFrame_; }

private:
    std::string partial_;
    bool inFrame_ = false;
};

// What the line carries when several readers answer one frame at once: the drivers fight, and
// a zero bit wins (byte-wise AND, the shorter replies padded with idle 0xFF). The CR is lost in
// the fight too, so the program never sees a complete frame and runs into its silence limit.
std::string CollideReplies(const std::vector<std::string>& replies);

}  // namespace tbsim
