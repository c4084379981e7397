#include "commands/config/Identity.h"

#include "commands/config/ReplyChecks.h"
#include "link/ReaderLink.h"

namespace commands {

bool SetReaderId(tblink::ReaderLink& link, const std::string& prefix, const std::string& newId) {
    const auto serial = ReaderCheck(link, prefix);
    return serial && link.Transact(prefix + "C" + *serial + newId) == 1;
}

char LineSettingsDigit(int index) { return "0123456789ABCDEF"[index & 0x0F]; }

bool SetLineSettings(tblink::ReaderLink& link, const std::string& prefix, int index) {
    return CheckedCommand(link, prefix, std::string("E") + LineSettingsDigit(index));
}

bool SetInterface(tblink::ReaderLink& link, const std::string& prefix,
                  const InterfaceSettings& settings) {
    const std::string command = "A" + std::to_string(settings.mode) +
                                std::to_string(settings.wiegand) + std::to_string(settings.rs485);
    return CheckedCommand(link, prefix, command);
}

std::optional<InterfaceSettings> GetInterface(tblink::ReaderLink& link, const std::string& prefix) {
    if (!CheckedCommand(link, prefix, "A")) return std::nullopt;
    const std::string& reply = link.ReplyText();
    const auto mode = DecimalField(reply, 6, 1);
    const auto wiegand = DecimalField(reply, 7, 1);
    const auto rs485 = DecimalField(reply, 8, 1);
    if (!mode || !wiegand || !rs485) return std::nullopt;
    if (*mode >= kModeCount || *wiegand >= kWiegandCount || *rs485 >= kRs485Count)
        return std::nullopt;
    return InterfaceSettings{*mode, *wiegand, *rs485};
}

}  // namespace commands
