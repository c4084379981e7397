#include "commands/config/ReadOut.h"

#include "commands/config/ReplyChecks.h"
#include "link/ReplyFields.h"

namespace commands {
namespace {

constexpr int kVersionReplyLength = 24;
constexpr int kOutputReplyWithCardType = 12;
constexpr int kKeyParityCount = 2;

std::optional<int> ListIndex(const std::string& reply, int position, int count) {
    const auto index = DecimalField(reply, position, 1);
    if (!index || *index >= count) return std::nullopt;
    return index;
}

}  // namespace

std::string VersionText(const std::string& reply, int replyLength) {
    return tblink::ReplyField(reply, 6, replyLength == kVersionReplyLength ? 16 : 8);
}

std::optional<OutputSettings> DecodeOutputReply(const std::string& reply, int replyLength,
                                                bool lenient) {
    OutputSettings settings;
    const auto field = [&](int position, int count, int fallback) -> std::optional<int> {
        if (lenient && !DecimalField(reply, position, 1)) return fallback;
        return ListIndex(reply, position, count);
    };
    const auto mode = field(6, kModeCount, 0);
    const auto wiegand = field(7, kWiegandCount, 0);
    const auto rs485 = field(8, kRs485Count, 1);
    if (!mode || !wiegand || !rs485) return std::nullopt;
    settings.interface = {*mode, *wiegand, *rs485};
    if (replyLength == kOutputReplyWithCardType) {
        const auto cardType = ListIndex(reply, 9, kCardTypeCount);
        if (!cardType) return std::nullopt;
        settings.cardType = *cardType;
    }
    return settings;
}

std::optional<int> DecodeKeyNumber(const std::string& reply) { return DecimalField(reply, 6, 2); }

std::optional<int> DecodeKeyParity(const std::string& reply) {
    return ListIndex(reply, 6, kKeyParityCount);
}

std::optional<KeyStatus> DecodeKeyStatus(const std::string& reply) {
    const auto number = DecimalField(reply, 6, 2);
    const auto delay = DecimalField(reply, 8, 2);
    if (!number || !delay) return std::nullopt;
    return KeyStatus{*number, *delay};
}

std::optional<CardIdLocation> DecodeCardIdLocation(const std::string& reply) {
    const auto sector = HexField(reply, 8, 2);
    const auto block = HexField(reply, 10, 2);
    const auto byte = HexField(reply, 12, 2);
    const auto keyType = HexField(reply, 14, 2);
    const auto keyError = HexField(reply, 16, 2);
    if (!sector || !block || !byte || !keyType || !keyError || *keyError >= kKeyErrorCount)
        return std::nullopt;
    return CardIdLocation{*sector, *block, *byte, *keyType != 0, *keyError};
}

}  // namespace commands
