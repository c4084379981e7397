// Command and reply frames, their checksums and their display form in the status bar.
//
// Command frame: TAB, command text, two upper-case hex checksum characters, CR. Its checksum
// starts from the TAB (0x09) and XORs every byte of the text.
// Reply frame:   LF, header character, two-digit reader ID, header character, data, checksum,
// CR. Its checksum is the XOR of every byte before the checksum characters, LF included.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace tblink {

// Size of the receive and echo buffers; a reply longer than this wraps in the receive buffer.
constexpr std::size_t kBufferSize = 1050;
// Longest command text: the echo buffer less "[09]", two checksum characters and "[0D]".
constexpr std::size_t kMaxCommandLength = kBufferSize - 10;

constexpr std::uint8_t kTab = 0x09;
constexpr std::uint8_t kLf = 0x0A;
constexpr std::uint8_t kCr = 0x0D;

std::uint8_t FrameChecksum(const char* text, std::size_t count);
std::string ByteToHex(std::uint8_t value);

// The bytes written to the port for one command text.
std::string CommandFrame(const std::string& text);
// What status panel 0 shows for a sent command: "[09]" text checksum "[0D]".
std::string SentEcho(const std::string& text);

// True when the last two bytes before the final one are the upper-case hex XOR of all bytes
// before them. Frames shorter than LF, two checksum characters and CR fail.
bool VerifyReply(const std::uint8_t* bytes, std::size_t length);

// Display form of received bytes: printable ASCII as is, every other byte as "[0A]". Kept
// within the echo buffer; a longer form ends with the mark "[...]".
std::string EchoBytes(std::size_t count, const std::uint8_t* bytes);

}  // namespace tblink
