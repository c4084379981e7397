// Reader command logic shared by the configuration commands: the reader check that opens most
// attempts, and reading numbers out of reply fields. No widgets here: functions take the link
// and values, and return values.
#pragma once

#include <optional>
#include <string>

namespace tblink {
class ReaderLink;
}

namespace commands {

// A verified reply to "B": LF, header, two-digit ID, header, 8-character serial, checksum, CR.
constexpr int kSerialReplyLength = 16;

// The serial-number read that most attempts send first; the serial number (reply characters
// 6-13) when the reader answered with a verified 16-byte reply.
std::optional<std::string> ReaderCheck(tblink::ReaderLink& link, const std::string& prefix);

// One attempt of the usual shape: the reader check, then prefix + command. True when both
// exchanges succeeded; the command's reply is then the link's reply text.
bool CheckedCommand(tblink::ReaderLink& link, const std::string& prefix,
                    const std::string& command);

// Reply characters `position`.. read as a number; nullopt unless every character is a digit
// of the base and the field is whole.
std::optional<int> DecimalField(const std::string& reply, int position, int length);
std::optional<int> HexField(const std::string& reply, int position, int length);

// "%02d": the two-digit form numbers travel in.
std::string TwoDigits(int value);

}  // namespace commands
