// The port box: its items and text at start-up, and the port number read back from its text
// (the box is editable, so the text may be anything the user typed).
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tblink {

struct PortBoxFill {
    std::vector<std::string> items;
    std::string text;
};

// Items: the port map's names, trimmed, in map order; COM1 to COM16 when the map is empty.
// Text: "COM" and the stored port number, even when that port is not listed (COM0 at the
// first start).
PortBoxFill FillPortBox(const std::vector<std::string>& mapNames, int storedPort);

// The box text without its first three characters, as a decimal number: 12 for "COM12",
// nullopt for "COM", "COMX", "COM3x", "COM-1" or "ttyUSB0".
std::optional<int> PortNumberFromBoxText(std::string_view text);

}  // namespace tblink
