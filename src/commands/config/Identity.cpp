#include "commands/config/Identity.h"

#include "link/ReplyFields.h"

namespace commands {
namespace {

bool TwoAttempts(const Session& session, const std::function<bool()>& attempt) {
    return Attempts(session.pacer, kUsualAttempts, AttemptPause::KeptAlive100ms, attempt);
}

std::optional<InterfaceSettings> DecodeInterface(const std::string& reply) {
    const auto mode = tblink::DecimalField(reply, 6, 1);
    const auto wiegand = tblink::DecimalField(reply, 7, 1);
    const auto rs485 = tblink::DecimalField(reply, 8, 1);
    if (!mode || !wiegand || !rs485) return std::nullopt;
    if (*mode >= kModeCount || *wiegand >= kWiegandCount || *rs485 >= kRs485Count)
        return std::nullopt;
    return InterfaceSettings{*mode, *wiegand, *rs485};
}

}  // namespace

bool SetReaderId(const Session& session, const std::string& newId) {
    return TwoAttempts(session, [&] {
        const auto serial = ReaderCheck(session);
        return serial && session.Send("C" + *serial + newId);
    });
}

char LineSettingsDigit(int index) { return "0123456789ABCDEF"[index & 0x0F]; }

bool SetLineSettings(const Session& session, int index) {
    return TwoAttempts(session, [&] {
        return CheckedCommand(session, std::string("E") + LineSettingsDigit(index));
    });
}

bool SetInterface(const Session& session, const InterfaceSettings& settings) {
    const std::string command = "A" + std::to_string(settings.mode) +
                                std::to_string(settings.wiegand) + std::to_string(settings.rs485);
    return TwoAttempts(session, [&] { return CheckedCommand(session, command); });
}

std::optional<InterfaceSettings> GetInterface(const Session& session) {
    std::optional<InterfaceSettings> read;
    TwoAttempts(session, [&] {
        if (CheckedCommand(session, "A")) read = DecodeInterface(session.Reply());
        return read.has_value();
    });
    return read;
}

}  // namespace commands
