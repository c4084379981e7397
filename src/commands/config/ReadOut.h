// Decoding the replies of the settings read-out that follows every Scan and Link.
#pragma once

#include <optional>
#include <string>

#include "commands/config/Identity.h"

namespace commands {

// The firmware version: 16 characters from a 24-byte reply, else 8.
std::string VersionText(const std::string& reply, int replyLength);

struct OutputSettings {
    InterfaceSettings interface;
    int cardType = 0;  // "EM" unless a 12-byte reply says otherwise
};

// The "A" reply. With `lenient` (the PX10 page), characters that are not digits give the
// defaults Wiegand / Wiegand 26 / RS485 32; otherwise such a reply, or an index outside its
// list, is nullopt.
std::optional<OutputSettings> DecodeOutputReply(const std::string& reply, int replyLength,
                                                bool lenient);

struct KeyStatus {
    int keyNumber = 0;
    int delaySeconds = 3;
};
std::optional<int> DecodeKeyNumber(const std::string& reply);  // characters 6-7
std::optional<int> DecodeKeyParity(const std::string& reply);  // character 6, an item index
std::optional<KeyStatus> DecodeKeyStatus(const std::string& reply);

// Where the card ID lies on a MIFARE card, and how a key error is signalled.
struct CardIdLocation {
    int sector = 0;
    int block = 0;
    int byte = 0;
    bool keyB = false;
    int keyError = 1;  // "LED"
};
constexpr int kKeyErrorCount = 4;
// The "a" reply: two hex digits each at 8-9, 10-11, 12-13, 14-15 and 16-17.
std::optional<CardIdLocation> DecodeCardIdLocation(const std::string& reply);

}  // namespace commands
