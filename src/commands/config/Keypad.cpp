#include "commands/config/Keypad.h"

#include "commands/config/ReplyChecks.h"
#include "link/ReaderLink.h"

namespace commands {

bool SetKeyParity(tblink::ReaderLink& link, const std::string& prefix, int parity) {
    return CheckedCommand(link, prefix, "M" + std::to_string(parity));
}

std::optional<int> GetKeyParity(tblink::ReaderLink& link, const std::string& prefix) {
    if (!CheckedCommand(link, prefix, "M")) return std::nullopt;
    return DecodeKeyParity(link.ReplyText());
}

bool SetKeyNumber(tblink::ReaderLink& link, const std::string& prefix, const std::string& number) {
    return CheckedCommand(link, prefix, "L" + number);
}

std::optional<int> GetKeyNumber(tblink::ReaderLink& link, const std::string& prefix) {
    if (!CheckedCommand(link, prefix, "L")) return std::nullopt;
    return DecodeKeyNumber(link.ReplyText());
}

bool SetKeyStatus(tblink::ReaderLink& link, const std::string& prefix, const std::string& number,
                  const std::string& delay) {
    return CheckedCommand(link, prefix, "N" + number + delay);
}

std::optional<KeyStatus> GetKeyStatus(tblink::ReaderLink& link, const std::string& prefix) {
    if (!CheckedCommand(link, prefix, "N")) return std::nullopt;
    return DecodeKeyStatus(link.ReplyText());
}

}  // namespace commands
