#include "SimReader.h"

#include <cctype>
#include <cstdlib>

#include "SimFrame.h"

namespace tbsim {

namespace {

struct KindInfo {
    ReaderKind kind;
    const char* name;
    char start;
};

// Proximity and MIFARE readers answer to "A", keypad readers to "H", display terminals to "J",
// fingerprint readers to "I".
constexpr KindInfo kKinds[] = {
    {ReaderKind::PX10, "PX10", 'A'},   {ReaderKind::PX40, "PX40", 'H'},
    {ReaderKind::PX30M, "PX30M", 'A'}, {ReaderKind::PX40M, "PX40M", 'H'},
    {ReaderKind::PX50, "PX50", 'J'},   {ReaderKind::PX50M, "PX50M", 'J'},
    {ReaderKind::PX60, "PX60", 'I'},   {ReaderKind::PX60M, "PX60M", 'I'},
};

const KindInfo& Info(ReaderKind kind) { return kKinds[static_cast<int>(kind)]; }

// --- Commands -----------------------------------------------------------------------------
// A command handler gets the reader's state and the parameters after the command letter; it
// returns the reply's data field, or nullopt when the reader ignores the command.
using Handler = std::optional<std::string> (*)(ReaderConfig& state, const std::string& params);

constexpr unsigned KindBit(ReaderKind kind) { return 1u << static_cast<unsigned>(kind); }
constexpr unsigned kAllKinds = 0xFFu;

// The same letter means different things on different reader types, so an entry names the
// types it serves; the first entry that matches letter and type answers.
struct CommandEntry {
    char letter;
    unsigned kinds;
    Handler handler;
};

std::optional<std::string> SerialNumber(ReaderConfig& state, const std::string& params) {
    if (!params.empty()) return std::nullopt;
    return state.serial;
}

std::optional<std::string> Version(ReaderConfig& state, const std::string& params) {
    if (!params.empty()) return std::nullopt;
    return state.version;
}

const CommandEntry kCommands[] = {
    {'B', kAllKinds, &SerialNumber},
    {'V', kAllKinds, &Version},
};

Handler FindHandler(char letter, ReaderKind kind) {
    for (const auto& entry : kCommands) {
        if (entry.letter == letter && (entry.kinds & KindBit(kind)) != 0) return entry.handler;
    }
    return nullptr;
}

std::string TwoDigits(int value) {
    return {static_cast<char>('0' + (value / 10) % 10), static_cast<char>('0' + value % 10)};
}

bool ParseInt(const std::string& text, int& value) {
    if (text.empty() || text.size() > 9) return false;
    for (char c : text) {
        if (!std::isdigit(static_cast<unsigned char>(c))) return false;
    }
    value = std::atoi(text.c_str());
    return true;
}

}  // namespace

char StartCharacter(ReaderKind kind) { return Info(kind).start; }

std::optional<ReaderKind> ReaderKindFromName(const std::string& name) {
    // "px30-m" and "PX30M" name the same type: the window writes the dash, options may not.
    std::string key;
    for (char c : name) {
        if (c != '-') key += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    for (const auto& info : kKinds) {
        if (key == info.name) return info.kind;
    }
    return std::nullopt;
}

std::string ReaderKindName(ReaderKind kind) { return Info(kind).name; }

std::string DefaultVersion(ReaderKind kind) {
    std::string version = std::string("V2.31-0542 ") + Info(kind).name;
    version.resize(16, ' ');
    return version;
}

std::optional<LineFormat> ParseLineSettings(const std::string& text) {
    std::string fields[4];
    std::size_t field = 0;
    for (char c : text) {
        if (c == ',') {
            if (++field == 4) return std::nullopt;
        } else {
            fields[field] += c;
        }
    }
    if (field != 3) return std::nullopt;

    LineFormat format;
    if (!ParseInt(fields[0], format.baud) || format.baud <= 0) return std::nullopt;
    if (fields[1].size() != 1) return std::nullopt;
    format.parity = static_cast<char>(std::tolower(static_cast<unsigned char>(fields[1][0])));
    if (std::string("neoms").find(format.parity) == std::string::npos) return std::nullopt;
    if (!ParseInt(fields[2], format.dataBits) || format.dataBits < 5 || format.dataBits > 8) {
        return std::nullopt;
    }
    if (fields[3] == "1") {
        format.stopHalfBits = 2;
    } else if (fields[3] == "1.5") {
        format.stopHalfBits = 3;
    } else if (fields[3] == "2") {
        format.stopHalfBits = 4;
    } else {
        return std::nullopt;
    }
    return format;
}

std::chrono::nanoseconds CharacterTime(const LineFormat& format) {
    if (format.baud <= 0) return std::chrono::nanoseconds{0};
    // Counted in half bits so that 1.5 stop bits stay exact.
    const long long halfBits =
        2LL * (1 + format.dataBits + (format.parity == 'n' ? 0 : 1)) + format.stopHalfBits;
    return std::chrono::nanoseconds{halfBits * 1000000000LL / (2LL * format.baud)};
}

SimReader::SimReader(const ReaderConfig& config) : config_(config) {}

std::optional<std::string> SimReader::answer(const std::string& commandText) {
    std::lock_guard<std::mutex> lock(mutex_);
    // Start character, two-digit address, command letter.
    if (commandText.size() < 4) return std::nullopt;
    if (commandText[0] != StartCharacter(config_.kind)) return std::nullopt;
    const std::string address = commandText.substr(1, 2);
    if (address != "00" && address != TwoDigits(config_.id)) return std::nullopt;

    const char letter = commandText[3];
    const Handler handler = FindHandler(letter, config_.kind);
    if (handler == nullptr) return std::nullopt;
    const auto data = handler(config_, commandText.substr(4));
    if (!data) return std::nullopt;
    return ReplyFrame(StartCharacter(config_.kind), config_.id, letter, *data);
}

ReaderConfig SimReader::config() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return config_;
}

void SimReader::setConfig(const ReaderConfig& config) {
    std::lock_guard<std::mutex> lock(mutex_);
    config_ = config;
}

int SimReader::baud() const {
    const auto format = ParseLineSettings(config().lineSettings);
    return format ? format->baud : 0;
}

std::chrono::nanoseconds SimReader::characterTime() const {
    const auto format = ParseLineSettings(config().lineSettings);
    return format ? CharacterTime(*format) : std::chrono::nanoseconds{0};
}

}  // namespace tbsim
