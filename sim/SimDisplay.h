// The display of a PX50 or PX50-M reader: its system parameters, its idle texts, the title mode
// and the 128 x 16 title icon, kept as they were sent so tests can check what it would show.
// Every command that sets something is answered with an empty data field; a parameter that is
// not of the command's form gets no answer and changes nothing.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tbsim {

struct ReaderConfig;
class SimReader;

constexpr int kDisplayIconWidth = 128;
constexpr int kDisplayIconHeight = 16;
constexpr std::size_t kDisplayIconBytes = 256;

struct DisplayState {
    int language = 0;               // "N": 0 English, 1 Traditional, 2 Simplified Chinese
    std::string password = "5831";  // "O": 0 to 4 bytes, as delivered "5831"
    int screenMode = 0;             // "K3": 0 date and time, 1 time only
    int hourFormat = 0;             // "T" + 1 digit: 0 12-hour, 1 24-hour
    std::string clock;              // "T" + 14 digits (YYYYMMDDhhmmss) as last set; empty: never
    std::string smallMessage = std::string(64, ' ');    // "H": 64 bytes
    std::string screenMessage = std::string(128, ' ');  // "L4": 128 bytes
    std::string title1 = std::string(16, ' ');          // "L1": 16 bytes
    std::string title2 = std::string(16, ' ');          // "L3": 16 bytes
    int titleMode = 0;  // "L" + 1 digit: 0 no title, 1 text, 2 text and icon
    // The icon's column bytes as the "M" parts brought them: part n fills bytes 32n to 32n + 31.
    std::array<std::uint8_t, kDisplayIconBytes> iconColumns{};
    unsigned iconPartsReceived = 0;  // bit n: part n has arrived at least once
};

// Whether the icon's pixel at column x, row y (row 0 at the top) is dark: byte 32g + 16h + c
// holds column 16g + c, rows 8h to 8h + 7, bit b for row 8h + b.
bool IconPixelDark(const DisplayState& display, int x, int y);

// What the display holds, as lines of text: parameters, texts in quotes (bytes outside 0x20 to
// 0x7E as [HH]), then the icon as 16 lines of 128 characters, '#' dark and '.' light.
std::string DisplayReport(const DisplayState& display);

// The interactive console's "display" line, and its answer: the report of every display reader
// among `readers`, each under its type and ID.
bool IsDisplayConsoleLine(const std::string& line);
std::string DisplayConsoleReport(const std::vector<SimReader*>& readers);

// Command handlers for the reader's command table: the parameters after the command letter in,
// the reply's data field out (nullopt: not this command's form).
std::optional<std::string> DisplayLanguage(ReaderConfig& state, const std::string& params);
std::optional<std::string> DisplayPassword(ReaderConfig& state, const std::string& params);
std::optional<std::string> DisplayScreenMode(ReaderConfig& state, const std::string& params);
std::optional<std::string> DisplayClock(ReaderConfig& state, const std::string& params);
std::optional<std::string> DisplaySmallMessage(ReaderConfig& state, const std::string& params);
std::optional<std::string> DisplayTexts(ReaderConfig& state, const std::string& params);
std::optional<std::string> DisplayTitleMode(ReaderConfig& state, const std::string& params);
std::optional<std::string> DisplayIconPart(ReaderConfig& state, const std::string& params);

}  // namespace tbsim
