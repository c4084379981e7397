#include "SimDisplay.h"

#include <bitset>
#include <cstdio>

#include "SimReader.h"

namespace tbsim {

namespace {

constexpr std::size_t kSmallMessageBytes = 64;
constexpr std::size_t kScreenMessageBytes = 128;
constexpr std::size_t kTitleBytes = 16;
constexpr std::size_t kPasswordMaxBytes = 4;
constexpr std::size_t kClockDigits = 14;
constexpr int kIconParts = 8;
constexpr std::size_t kIconPartBytes = kDisplayIconBytes / kIconParts;

bool Digits(const std::string& text) {
    for (char c : text) {
        if (c < '0' || c > '9') return false;
    }
    return true;
}

// One digit from "0" up to `last`.
std::optional<int> Choice(const std::string& params, char last) {
    if (params.size() != 1 || params[0] < '0' || params[0] > last) return std::nullopt;
    return params[0] - '0';
}

int Number(const std::string& text, std::size_t at, std::size_t length) {
    return std::stoi(text.substr(at, length));
}

bool PlausibleClock(const std::string& digits) {
    const int month = Number(digits, 4, 2), day = Number(digits, 6, 2);
    const int hour = Number(digits, 8, 2), minute = Number(digits, 10, 2);
    const int second = Number(digits, 12, 2);
    return month >= 1 && month <= 12 && day >= 1 && day <= 31 && hour <= 23 && minute <= 59 &&
           second <= 59;
}

// Upper case only, as the program writes it.
int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

std::string Quoted(const std::string& bytes) {
    std::string text = "\"";
    for (char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte <= 0x7E) {
            text += c;
        } else {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "[%02X]", byte);
            text += escaped;
        }
    }
    return text + "\"";
}

const char* Item(const char* const* items, int count, int index) {
    return index >= 0 && index < count ? items[index] : "?";
}

bool IsDisplayKind(ReaderKind kind) {
    return kind == ReaderKind::PX50 || kind == ReaderKind::PX50M;
}

}  // namespace

bool IconPixelDark(const DisplayState& display, int x, int y) {
    if (x < 0 || x >= kDisplayIconWidth || y < 0 || y >= kDisplayIconHeight) return false;
    const int at = 32 * (x / 16) + 16 * (y / 8) + x % 16;
    return (display.iconColumns[static_cast<std::size_t>(at)] >> (y % 8) & 1) != 0;
}

std::string DisplayReport(const DisplayState& display) {
    static const char* const kLanguages[] = {"English", "Traditional Chinese",
                                             "Simplified Chinese"};
    static const char* const kScreens[] = {"date and time", "time only"};
    static const char* const kHours[] = {"12-hour", "24-hour"};
    static const char* const kTitleModes[] = {"no title", "text title", "text and icon title"};

    std::string clock = "not set";
    if (display.clock.size() == kClockDigits) {
        const std::string& c = display.clock;
        clock = "set to " + c.substr(0, 4) + "-" + c.substr(4, 2) + "-" + c.substr(6, 2) + " " +
                c.substr(8, 2) + ":" + c.substr(10, 2) + ":" + c.substr(12, 2);
    }
    std::string report;
    const auto line = [&report](std::string label, const std::string& value) {
        label.resize(15, ' ');
        report += "  " + label + " " + value + "\n";
    };
    line("language", Item(kLanguages, 3, display.language));
    line("password", Quoted(display.password));
    line("screen mode", Item(kScreens, 2, display.screenMode));
    line("clock", clock + ", " + Item(kHours, 2, display.hourFormat));
    line("title mode", Item(kTitleModes, 3, display.titleMode));
    line("title 1", Quoted(display.title1));
    line("title 2", Quoted(display.title2));
    line("small message", Quoted(display.smallMessage));
    line("screen message", Quoted(display.screenMessage));
    report += "  title icon (" +
              std::to_string(std::bitset<kIconParts>(display.iconPartsReceived).count()) +
              " of 8 parts received)\n";
    for (int y = 0; y < kDisplayIconHeight; ++y) {
        std::string row(kDisplayIconWidth, '.');
        for (int x = 0; x < kDisplayIconWidth; ++x) {
            if (IconPixelDark(display, x, y)) row[static_cast<std::size_t>(x)] = '#';
        }
        report += row + "\n";
    }
    return report;
}

bool IsDisplayConsoleLine(const std::string& line) {
    std::string text = line;
    while (!text.empty() && (text.back() == '\r' || text.back() == ' ')) text.pop_back();
    return text == "display";
}

std::string DisplayConsoleReport(const std::vector<SimReader*>& readers) {
    std::string report;
    for (const SimReader* reader : readers) {
        const ReaderConfig config = reader->config();
        if (!IsDisplayKind(config.kind)) continue;
        report += ReaderKindName(config.kind) + " ID " + (config.id < 10 ? "0" : "") +
                  std::to_string(config.id) + "\n" + DisplayReport(config.display);
    }
    return report.empty() ? "no display reader (PX50, PX50M) here\n" : report;
}

std::optional<std::string> DisplayLanguage(ReaderConfig& state, const std::string& params) {
    const auto language = Choice(params, '2');
    if (!language) return std::nullopt;
    state.display.language = *language;
    return std::string();
}

std::optional<std::string> DisplayPassword(ReaderConfig& state, const std::string& params) {
    if (params.size() > kPasswordMaxBytes) return std::nullopt;
    state.display.password = params;
    return std::string();
}

// "K3" + the screen mode.
std::optional<std::string> DisplayScreenMode(ReaderConfig& state, const std::string& params) {
    if (params.size() != 2 || params[0] != '3') return std::nullopt;
    const auto mode = Choice(params.substr(1), '1');
    if (!mode) return std::nullopt;
    state.display.screenMode = *mode;
    return std::string();
}

// "T" + 14 digits sets the clock, "T" + one digit the hour format: told apart by length.
std::optional<std::string> DisplayClock(ReaderConfig& state, const std::string& params) {
    if (params.size() == kClockDigits) {
        if (!Digits(params) || !PlausibleClock(params)) return std::nullopt;
        state.display.clock = params;
        return std::string();
    }
    const auto format = Choice(params, '1');
    if (!format) return std::nullopt;
    state.display.hourFormat = *format;
    return std::string();
}

std::optional<std::string> DisplaySmallMessage(ReaderConfig& state, const std::string& params) {
    if (params.size() != kSmallMessageBytes) return std::nullopt;
    state.display.smallMessage = params;
    return std::string();
}

// "L1" title 1, "L3" title 2, "L4" the screen message, each at its exact width.
std::optional<std::string> DisplayTexts(ReaderConfig& state, const std::string& params) {
    if (params.empty()) return std::nullopt;
    const std::string text = params.substr(1);
    if (params[0] == '1' && text.size() == kTitleBytes) {
        state.display.title1 = text;
    } else if (params[0] == '3' && text.size() == kTitleBytes) {
        state.display.title2 = text;
    } else if (params[0] == '4' && text.size() == kScreenMessageBytes) {
        state.display.screenMessage = text;
    } else {
        return std::nullopt;
    }
    return std::string();
}

std::optional<std::string> DisplayTitleMode(ReaderConfig& state, const std::string& params) {
    const auto mode = Choice(params, '2');
    if (!mode) return std::nullopt;
    state.display.titleMode = *mode;
    return std::string();
}

// "M" + part n + its 32 column bytes in upper-case hexadecimal.
std::optional<std::string> DisplayIconPart(ReaderConfig& state, const std::string& params) {
    if (params.size() != 1 + 2 * kIconPartBytes) return std::nullopt;
    const auto part = Choice(params.substr(0, 1), '0' + kIconParts - 1);
    if (!part) return std::nullopt;
    std::array<std::uint8_t, kIconPartBytes> bytes{};
    for (std::size_t i = 0; i < kIconPartBytes; ++i) {
        const int high = HexDigit(params[1 + 2 * i]);
        const int low = HexDigit(params[2 + 2 * i]);
        if (high < 0 || low < 0) return std::nullopt;
        bytes[i] = static_cast<std::uint8_t>(high * 16 + low);
    }
    for (std::size_t i = 0; i < kIconPartBytes; ++i)
        state.display.iconColumns[static_cast<std::size_t>(*part) * kIconPartBytes + i] = bytes[i];
    state.display.iconPartsReceived |= 1u << *part;
    return std::string();
}

}  // namespace tbsim
