// Parser for line-settings texts "baud,parity,data,stop" such as "19200,e,8,1". A field that
// does not parse leaves that setting of the port as it was, so each field is optional.
#pragma once

#include <optional>
#include <string>

struct termios;

namespace platform {

enum class Parity { None, Even, Odd, Mark, Space };
enum class StopBits { One, OneAndHalf, Two };

struct LineSettings {
    std::optional<int> baud;
    std::optional<Parity> parity;
    std::optional<int> dataBits;
    std::optional<StopBits> stopBits;
};

LineSettings ParseLineSettings(const std::string& text);

// Bits on the wire per character: start bit, data bits, parity bit, stop bits (a field that
// did not parse counts as 8, none, 1).
int BitsPerCharacter(const LineSettings& settings);

// All four fields parsed, and the baud rate is one the system has a constant for: applying it
// leaves nothing of the port's previous line setting.
bool IsComplete(const LineSettings& settings);

// Writes the parsed fields into `tio`; fields that did not parse, and baud rates the system has
// no constant for, are left alone.
void ApplyLineSettings(const LineSettings& settings, termios& tio);

}  // namespace platform
