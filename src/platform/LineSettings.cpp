#include "platform/LineSettings.h"

#include <termios.h>

#include <cctype>
#include <cstdlib>
#include <sstream>
#include <vector>

namespace platform {
namespace {

std::string Trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return {};
    const auto last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

std::vector<std::string> SplitFields(const std::string& text) {
    std::vector<std::string> fields;
    std::stringstream stream(text);
    std::string field;
    while (std::getline(stream, field, ',')) fields.push_back(Trimmed(field));
    return fields;
}

std::optional<int> ParsePositive(const std::string& text) {
    if (text.empty() || text.size() > 9) return std::nullopt;
    for (char c : text)
        if (!std::isdigit(static_cast<unsigned char>(c))) return std::nullopt;
    const int value = std::atoi(text.c_str());
    return value > 0 ? std::optional<int>(value) : std::nullopt;
}

std::optional<Parity> ParseParity(const std::string& text) {
    if (text.size() != 1) return std::nullopt;
    switch (std::tolower(static_cast<unsigned char>(text[0]))) {
        case 'n':
            return Parity::None;
        case 'e':
            return Parity::Even;
        case 'o':
            return Parity::Odd;
        case 'm':
            return Parity::Mark;
        case 's':
            return Parity::Space;
        default:
            return std::nullopt;
    }
}

std::optional<StopBits> ParseStopBits(const std::string& text) {
    if (text == "1") return StopBits::One;
    if (text == "1.5") return StopBits::OneAndHalf;
    if (text == "2") return StopBits::Two;
    return std::nullopt;
}

struct BaudConstant {
    int rate;
    speed_t constant;
};

constexpr BaudConstant kBaudConstants[] = {
    {50, B50},           {75, B75},           {110, B110},         {134, B134},
    {150, B150},         {200, B200},         {300, B300},         {600, B600},
    {1200, B1200},       {1800, B1800},       {2400, B2400},       {4800, B4800},
    {9600, B9600},       {19200, B19200},     {38400, B38400},     {57600, B57600},
    {115200, B115200},   {230400, B230400},   {460800, B460800},   {500000, B500000},
    {576000, B576000},   {921600, B921600},   {1000000, B1000000}, {1152000, B1152000},
    {1500000, B1500000}, {2000000, B2000000}, {2500000, B2500000}, {3000000, B3000000},
    {3500000, B3500000}, {4000000, B4000000},
};

std::optional<speed_t> BaudToConstant(int rate) {
    for (const auto& entry : kBaudConstants)
        if (entry.rate == rate) return entry.constant;
    return std::nullopt;
}

tcflag_t DataBitsFlag(int bits) {
    switch (bits) {
        case 5:
            return CS5;
        case 6:
            return CS6;
        case 7:
            return CS7;
        default:
            return CS8;
    }
}

}  // namespace

int BitsPerCharacter(const LineSettings& settings) {
    return 1 + settings.dataBits.value_or(8) +
           (settings.parity.value_or(Parity::None) == Parity::None ? 0 : 1) +
           (settings.stopBits.value_or(StopBits::One) == StopBits::One ? 1 : 2);
}

LineSettings ParseLineSettings(const std::string& text) {
    const auto fields = SplitFields(text);
    LineSettings settings;
    if (fields.size() > 0) settings.baud = ParsePositive(fields[0]);
    if (fields.size() > 1) settings.parity = ParseParity(fields[1]);
    if (fields.size() > 2) {
        const auto bits = ParsePositive(fields[2]);
        if (bits && *bits >= 5 && *bits <= 8) settings.dataBits = bits;
    }
    if (fields.size() > 3) settings.stopBits = ParseStopBits(fields[3]);
    return settings;
}

bool IsComplete(const LineSettings& settings) {
    return settings.baud && BaudToConstant(*settings.baud) && settings.parity &&
           settings.dataBits && settings.stopBits;
}

void ApplyLineSettings(const LineSettings& settings, termios& tio) {
    if (settings.baud) {
        if (const auto constant = BaudToConstant(*settings.baud)) {
            cfsetispeed(&tio, *constant);
            cfsetospeed(&tio, *constant);
        }
    }
    if (settings.parity) {
        tio.c_cflag &= ~static_cast<tcflag_t>(PARENB | PARODD | CMSPAR);
        switch (*settings.parity) {
            case Parity::None:
                break;
            case Parity::Even:
                tio.c_cflag |= PARENB;
                break;
            case Parity::Odd:
                tio.c_cflag |= PARENB | PARODD;
                break;
            case Parity::Mark:
                tio.c_cflag |= PARENB | PARODD | CMSPAR;
                break;
            case Parity::Space:
                tio.c_cflag |= PARENB | CMSPAR;
                break;
        }
    }
    if (settings.dataBits) {
        tio.c_cflag &= ~static_cast<tcflag_t>(CSIZE);
        tio.c_cflag |= DataBitsFlag(*settings.dataBits);
    }
    if (settings.stopBits) {
        // Linux has no 1.5 stop bits; a UART sends 1.5 for CSTOPB with 5 data bits.
        if (*settings.stopBits == StopBits::One)
            tio.c_cflag &= ~static_cast<tcflag_t>(CSTOPB);
        else
            tio.c_cflag |= CSTOPB;
    }
}

}  // namespace platform
