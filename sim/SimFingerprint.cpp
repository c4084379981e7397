#include "SimFingerprint.h"

#include <cstdint>
#include <cstdio>

#include "SimReader.h"

namespace tbsim {

namespace {

constexpr std::size_t kSlotDigits = 6;
constexpr std::size_t kIdLength = 16;
constexpr std::size_t kMaxSecondsDigits = 4;

bool Digits(const std::string& text) {
    if (text.empty()) return false;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
    }
    return true;
}

// Upper case only, as the program writes it.
bool UpperHex(const std::string& text) {
    for (char c : text) {
        if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'))) return false;
    }
    return true;
}

// The six-digit slot number at the front of `params`; nullopt when it is not one.
std::optional<int> SlotAt(const std::string& params) {
    if (params.size() < kSlotDigits || !Digits(params.substr(0, kSlotDigits))) return std::nullopt;
    const int slot = std::stoi(params.substr(0, kSlotDigits));
    if (slot >= kFingerSlots) return std::nullopt;
    return slot;
}

FingerSlot& Slot(FingerprintState& state, int slot) { return state.fingerSlots[slot]; }

std::string Hex(unsigned long long value, int digits) {
    char text[32];
    std::snprintf(text, sizeof text, "%0*llX", digits, value);
    return text;
}

}  // namespace

std::string EnrolledIdText(int facilityCode, int slot) {
    return Hex(static_cast<unsigned long long>(facilityCode), 4) +
           Hex(static_cast<unsigned long long>(slot), 12);
}

std::string SwapIdBytes(const std::string& hex16) {
    std::string swapped;
    for (std::size_t at = hex16.size(); at >= 2; at -= 2) swapped += hex16.substr(at - 2, 2);
    return swapped;
}

std::array<std::string, kTemplateParts> EnrolledTemplate(int slot) {
    // A small linear congruential generator: plenty to tell one slot's template from another's.
    std::uint32_t seed = 0x9E3779B9u ^ static_cast<std::uint32_t>(slot);
    std::array<std::string, kTemplateParts> parts;
    for (auto& part : parts) {
        while (part.size() < kTemplatePartLength) {
            seed = seed * 1664525u + 1013904223u;
            part += Hex((seed >> 16) & 0xFFu, 2);
        }
    }
    return parts;
}

bool FingerprintSilent(const FingerprintState& state,
                       std::optional<std::chrono::steady_clock::time_point> now) {
    return now && state.silentUntil && *now < *state.silentUntil;
}

void FingerprintAnswered(FingerprintState& state,
                         std::optional<std::chrono::steady_clock::time_point> now) {
    if (!state.restartDue) return;
    state.restartDue = false;
    ++state.restarts;
    state.transferOpen = false;
    state.silentUntil.reset();
    if (now && state.restartTime.count() > 0) state.silentUntil = *now + state.restartTime;
}

bool AnswersFormerId(const FingerprintState& state, const std::string& address) {
    if (!state.formerId) return false;
    const int id = *state.formerId;
    return address.size() == 2 && address[0] == '0' + id / 10 && address[1] == '0' + id % 10;
}

// "K" + 5 digits sets the facility code; "K" + 16 hexadecimal characters sets the key.
std::optional<std::string> FingerFacilityOrKey(ReaderConfig& config, const std::string& params) {
    FingerprintState& state = config.fingerprint;
    if (params.size() == 5 && Digits(params)) {
        const int code = std::stoi(params);
        if (code > 65535) return std::nullopt;
        state.facilityCode = code;
        return std::string();
    }
    if (params.size() == kIdLength && UpperHex(params)) {
        state.key = params;
        return std::string();
    }
    return std::nullopt;
}

// Enrolling takes the finger at once: the slot gets the ID of the facility code and its number,
// and a template of its own.
std::optional<std::string> FingerAdd(ReaderConfig& config, const std::string& params) {
    const auto slot = SlotAt(params);
    if (!slot || params.size() != kSlotDigits) return std::nullopt;
    FingerSlot& entry = Slot(config.fingerprint, *slot);
    entry.enrolled = true;
    entry.id = SwapIdBytes(EnrolledIdText(config.fingerprint.facilityCode, *slot));
    entry.parts = EnrolledTemplate(*slot);
    return std::string();
}

std::optional<std::string> FingerDelete(ReaderConfig& config, const std::string& params) {
    const auto slot = SlotAt(params);
    if (!slot || params.size() != kSlotDigits) return std::nullopt;
    config.fingerprint.fingerSlots.erase(*slot);
    return std::string();
}

// "O" + slot reads the ID; "O" + slot + "0" + 16 hexadecimal characters sets it. Both in the
// reader's byte order.
std::optional<std::string> FingerId(ReaderConfig& config, const std::string& params) {
    const auto slot = SlotAt(params);
    if (!slot) return std::nullopt;
    if (params.size() == kSlotDigits) {
        const auto found = config.fingerprint.fingerSlots.find(*slot);
        return "0" +
               (found == config.fingerprint.fingerSlots.end() ? FingerSlot{}.id : found->second.id);
    }
    const std::string id = params.substr(kSlotDigits + 1);
    if (params[kSlotDigits] != '0' || id.size() != kIdLength || !UpperHex(id)) return std::nullopt;
    Slot(config.fingerprint, *slot).id = id;
    return std::string();
}

std::optional<std::string> FingerScanMode(ReaderConfig& config, const std::string& params) {
    if (params.size() != 1 || params[0] < '0' || params[0] > '3') return std::nullopt;
    config.fingerprint.scanMode = params[0] - '0';
    return std::string();
}

// "L0" opens a template transfer, "L1" ends it.
std::optional<std::string> FingerTransfer(ReaderConfig& config, const std::string& params) {
    if (params == "0") {
        config.fingerprint.transferOpen = true;
    } else if (params == "1") {
        config.fingerprint.transferOpen = false;
    } else {
        return std::nullopt;
    }
    return std::string();
}

// "P" + slot + part reads a part, with 1 to 256 characters after it writes one (parts 1 to 3).
std::optional<std::string> FingerTemplate(ReaderConfig& config, const std::string& params) {
    FingerprintState& state = config.fingerprint;
    const auto slot = SlotAt(params);
    if (!state.transferOpen || !slot || params.size() <= kSlotDigits) return std::nullopt;
    const char part = params[kSlotDigits];
    const std::string text = params.substr(kSlotDigits + 1);
    const auto found = state.fingerSlots.find(*slot);
    const FingerSlot current = found == state.fingerSlots.end() ? FingerSlot{} : found->second;
    if (part == '0' && text.empty()) return std::string(current.enrolled ? "1" : "0");
    if (part < '1' || part > '3') return std::nullopt;
    const auto index = static_cast<std::size_t>(part - '1');
    if (text.empty()) return current.parts[index];
    if (text.size() > kTemplatePartLength) return std::nullopt;
    Slot(state, *slot).parts[index] = text;
    return std::string();
}

// "R01" stand-alone mode; "R1"/"R2" + 1 to 4 digits the door and alarm times in seconds;
// "R3", "R4", "R5" the add, duress and clear cards; "R6" the restart.
std::optional<std::string> FingerStandAlone(ReaderConfig& config, const std::string& params) {
    FingerprintState& state = config.fingerprint;
    if (params == "01") {
        state.standAlone = true;
    } else if (params.size() >= 2 && (params[0] == '1' || params[0] == '2')) {
        const std::string seconds = params.substr(1);
        if (seconds.size() > kMaxSecondsDigits || !Digits(seconds)) return std::nullopt;
        (params[0] == '1' ? state.doorSeconds : state.alarmSeconds) = std::stoi(seconds);
    } else if (params == "3") {
        ++state.addCardRequests;
    } else if (params == "4") {
        ++state.duressCardRequests;
    } else if (params == "5") {
        ++state.clearCardRequests;
    } else if (params == "6") {
        state.restartDue = true;
    } else {
        return std::nullopt;
    }
    return std::string();
}

std::optional<std::string> FingerSSetting(ReaderConfig& config, const std::string& params) {
    if (params.size() != 1 || !Digits(params)) return std::nullopt;
    config.fingerprint.sSetting = params;
    return std::string();
}

}  // namespace tbsim
