// Line-settings texts ("19200,e,8,1"): any text parses to fields in their ranges, and applying
// them to a terminal's settings never fails.
#include <termios.h>

#include <cstdint>
#include <string>

#include "FuzzInput.h"
#include "platform/LineSettings.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Input in(data, size);
    const platform::LineSettings settings = platform::ParseLineSettings(in.rest());
    fuzz::Check(!settings.baud || *settings.baud > 0, "a baud rate is positive");
    fuzz::Check(!settings.dataBits || (*settings.dataBits >= 5 && *settings.dataBits <= 8),
                "data bits 5 to 8");
    termios tio{};
    platform::ApplyLineSettings(settings, tio);
    return 0;
}
