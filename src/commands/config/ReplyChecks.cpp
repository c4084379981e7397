#include "commands/config/ReplyChecks.h"

#include <cstdio>

#include "link/ReaderLink.h"
#include "link/ReplyFields.h"

namespace commands {
namespace {

std::optional<int> NumberField(const std::string& reply, int position, int length, int base) {
    const std::string field = tblink::ReplyField(reply, position, length);
    if (length <= 0 || static_cast<int>(field.size()) != length) return std::nullopt;
    int value = 0;
    for (char c : field) {
        int digit = -1;
        if (c >= '0' && c <= '9') digit = c - '0';
        if (base == 16 && c >= 'A' && c <= 'F') digit = c - 'A' + 10;
        if (digit < 0) return std::nullopt;
        value = value * base + digit;
    }
    return value;
}

}  // namespace

std::optional<std::string> ReaderCheck(tblink::ReaderLink& link, const std::string& prefix) {
    if (link.Transact(prefix + "B") != 1 || link.ReplyLength() != kSerialReplyLength)
        return std::nullopt;
    return link.ReplyField(6, 8);
}

bool CheckedCommand(tblink::ReaderLink& link, const std::string& prefix,
                    const std::string& command) {
    return ReaderCheck(link, prefix) && link.Transact(prefix + command) == 1;
}

std::optional<int> DecimalField(const std::string& reply, int position, int length) {
    return NumberField(reply, position, length, 10);
}

std::optional<int> HexField(const std::string& reply, int position, int length) {
    return NumberField(reply, position, length, 16);
}

std::string TwoDigits(int value) {
    char text[16];
    std::snprintf(text, sizeof text, "%02d", value);
    return text;
}

}  // namespace commands
