#include "SimReader.h"

#include <cctype>
#include <cstdint>
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
// returns the reply's data field, or nullopt when the parameters are not its own (the state is
// then left as it was).
using Handler = std::optional<std::string> (*)(ReaderConfig& state, const std::string& params);

constexpr unsigned KindBit(ReaderKind kind) { return 1u << static_cast<unsigned>(kind); }
constexpr unsigned kAllKinds = 0xFFu;
constexpr unsigned kKeypadKinds = KindBit(ReaderKind::PX40) | KindBit(ReaderKind::PX40M) |
                                  KindBit(ReaderKind::PX50) | KindBit(ReaderKind::PX50M);
constexpr unsigned kMifareKinds = KindBit(ReaderKind::PX30M) | KindBit(ReaderKind::PX40M) |
                                  KindBit(ReaderKind::PX50M) | KindBit(ReaderKind::PX60M);
constexpr unsigned kCardTypeKinds = kAllKinds & ~kMifareKinds;
constexpr unsigned kDisplayKinds = KindBit(ReaderKind::PX50) | KindBit(ReaderKind::PX50M);
constexpr unsigned kFingerprintKinds = KindBit(ReaderKind::PX60) | KindBit(ReaderKind::PX60M);

// The same letter means different things on different reader types, and sometimes on one type
// by the form of its parameters, so an entry names the types it serves; the first entry that
// matches letter and type and takes the parameters answers.
struct CommandEntry {
    char letter;
    unsigned kinds;
    Handler handler;
};

const char* const kLineSettings[kLineSettingsCount] = {
    "4800,n,8,1",   "4800,e,8,1",   "9600,n,8,1",   "9600,e,8,1",   "19200,n,8,1",
    "19200,e,8,1",  "38400,n,8,1",  "38400,e,8,1",  "57600,n,8,1",  "57600,e,8,1",
    "115200,n,8,1", "115200,e,8,1", "230400,n,8,1", "230400,e,8,1",
};

bool AllDigits(const std::string& text) {
    for (char c : text) {
        if (c < '0' || c > '9') return false;
    }
    return true;
}

// Upper case only: the program writes its hexadecimal that way.
int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

char DigitChar(int value) { return static_cast<char>('0' + value % 10); }

std::string TwoDigitText(int value) { return {DigitChar(value / 10), DigitChar(value)}; }

std::string HexField(int value) { return HexByte(static_cast<std::uint8_t>(value)); }

std::optional<std::string> SerialNumber(ReaderConfig& state, const std::string& params) {
    if (!params.empty()) return std::nullopt;
    return state.serial;
}

std::optional<std::string> Version(ReaderConfig& state, const std::string& params) {
    if (!params.empty()) return std::nullopt;
    return state.version;
}

// "A": read the output settings; "A" + interface, Wiegand and RS485 digits sets them.
std::optional<std::string> OutputSettings(ReaderConfig& state, const std::string& params) {
    if (params.empty()) {
        if (state.settingsDataOverride) return *state.settingsDataOverride;
        std::string data{DigitChar(state.interfaceIndex), DigitChar(state.wiegandIndex),
                         DigitChar(state.rs485Index)};
        const bool withCardType =
            state.settingsReply == SettingsReplyForm::WithCardType ||
            (state.settingsReply == SettingsReplyForm::ByType && HasCardType(state.kind));
        if (withCardType) data += DigitChar(state.cardTypeIndex);
        return data;
    }
    if (params.size() != 3 || !AllDigits(params)) return std::nullopt;
    const int interfaceIndex = params[0] - '0';
    const int wiegandIndex = params[1] - '0';
    const int rs485Index = params[2] - '0';
    if (interfaceIndex > 1 || wiegandIndex > 2 || rs485Index > 3) return std::nullopt;
    state.interfaceIndex = interfaceIndex;
    state.wiegandIndex = wiegandIndex;
    state.rs485Index = rs485Index;
    return std::string();
}

// "A" + one digit: which EM/TEMIC cards the reader takes.
std::optional<std::string> CardType(ReaderConfig& state, const std::string& params) {
    if (params.size() != 1 || !AllDigits(params) || params[0] > '2') return std::nullopt;
    state.cardTypeIndex = params[0] - '0';
    return std::string();
}

// "C" + serial number + new ID. On a bus every reader hears it; only the one whose serial
// number it names takes the ID, and the others keep quiet.
std::optional<std::string> SetId(ReaderConfig& state, const std::string& params) {
    if (params.size() != 10 || params.compare(0, 8, state.serial) != 0) return std::nullopt;
    const std::string id = params.substr(8);
    if (!AllDigits(id) || id == "00") return std::nullopt;
    state.id = (id[0] - '0') * 10 + (id[1] - '0');
    return std::string();
}

// A fingerprint reader takes the new ID at once and still answers to the one it had.
std::optional<std::string> FingerprintSetId(ReaderConfig& state, const std::string& params) {
    const int before = state.id;
    auto reply = SetId(state, params);
    if (reply && state.id != before && !state.fingerprint.formerId)
        state.fingerprint.formerId = before;
    return reply;
}

// "E" + the line-settings index as one hexadecimal digit.
std::optional<std::string> SetLineSettings(ReaderConfig& state, const std::string& params) {
    if (params.size() != 1) return std::nullopt;
    const int index = HexValue(params[0]);
    if (index < 0 || index >= kLineSettingsCount) return std::nullopt;
    state.lineSettings = kLineSettings[index];
    return std::string();
}

// "W" + reset mode + "00".
std::optional<std::string> CardReadMode(ReaderConfig& state, const std::string& params) {
    if (params.size() != 3 || (params[0] != '0' && params[0] != '1') ||
        params.compare(1, 2, "00") != 0) {
        return std::nullopt;
    }
    state.cardReadMode = params[0] - '0';
    return std::string();
}

// "HR": the reader restarts; its settings survive.
std::optional<std::string> Reboot(ReaderConfig&, const std::string& params) {
    if (params != "R") return std::nullopt;
    return std::string();
}

// "Zi": the display and fingerprint readers' own factory reset: every setting back to its
// delivery value (the ID was set to 01 just before), answered at the old speed.
std::optional<std::string> FactoryReset(ReaderConfig& state, const std::string& params) {
    if (params != "i") return std::nullopt;
    const ReaderConfig delivered;
    state.id = 1;
    state.lineSettings = delivered.lineSettings;
    state.interfaceIndex = delivered.interfaceIndex;
    state.wiegandIndex = delivered.wiegandIndex;
    state.rs485Index = delivered.rs485Index;
    state.cardTypeIndex = delivered.cardTypeIndex;
    state.cardReadMode = delivered.cardReadMode;
    state.keyParity = delivered.keyParity;
    state.keyNumber = delivered.keyNumber;
    state.keyStatusNumber = delivered.keyStatusNumber;
    state.keyDelaySeconds = delivered.keyDelaySeconds;
    return std::string();
}

// "AA0": part of the proximity readers' factory-default sequence; taken as it is.
std::optional<std::string> ResetCardOptions(ReaderConfig&, const std::string& params) {
    if (params != "A0") return std::nullopt;
    return std::string();
}

std::optional<std::string> KeyNumber(ReaderConfig& state, const std::string& params) {
    if (params.empty()) return TwoDigitText(state.keyNumber);
    if (params.size() != 2 || !AllDigits(params)) return std::nullopt;
    state.keyNumber = std::stoi(params);
    return std::string();
}

std::optional<std::string> KeyParity(ReaderConfig& state, const std::string& params) {
    if (params.empty()) return std::string(1, DigitChar(state.keyParity));
    if (params != "0" && params != "1") return std::nullopt;
    state.keyParity = params[0] - '0';
    return std::string();
}

// "N": the key-status key number, then its delay in seconds, two digits each.
std::optional<std::string> KeyStatus(ReaderConfig& state, const std::string& params) {
    if (params.empty())
        return TwoDigitText(state.keyStatusNumber) + TwoDigitText(state.keyDelaySeconds);
    if (params.size() != 4 || !AllDigits(params)) return std::nullopt;
    state.keyStatusNumber = std::stoi(params.substr(0, 2));
    state.keyDelaySeconds = std::stoi(params.substr(2, 2));
    return std::string();
}

// "a": where on a MIFARE card the ID lies. Read: two unused characters, then sector, block,
// byte, key type and key-error signal; set: the same five fields without the first two.
std::optional<std::string> CardIdLocation(ReaderConfig& state, const std::string& params) {
    if (params.empty()) {
        return "00" + HexField(state.idSector) + HexField(state.idBlock) + HexField(state.idByte) +
               HexField(state.idKeyType) + HexField(state.idKeyErrSignal);
    }
    if (params.size() != 10) return std::nullopt;
    int fields[5];
    for (int i = 0; i < 5; ++i) {
        const int high = HexValue(params[2 * i]);
        const int low = HexValue(params[2 * i + 1]);
        if (high < 0 || low < 0) return std::nullopt;
        fields[i] = high * 16 + low;
    }
    state.idSector = fields[0];
    state.idBlock = fields[1];
    state.idByte = fields[2];
    state.idKeyType = fields[3];
    state.idKeyErrSignal = fields[4];
    return std::string();
}

// "F" and "I": what waits at the reader, one presented entry a poll, else what it holds.
std::optional<std::string> Poll(ReaderConfig& state, const std::string& params, bool twoWay) {
    if (!params.empty()) return std::nullopt;
    if (!state.presented.empty()) {
        const PollReply next = state.presented.front();
        state.presented.pop_front();
        return twoWay ? next.twoWay : next.plain;
    }
    if (!state.cardInField.empty() || !state.keysInField.empty()) {
        const PollReply held = CardReply(state.cardInField, state.keysInField);
        return twoWay ? held.twoWay : held.plain;
    }
    if (state.pollDataOverride) return *state.pollDataOverride;
    return std::string();
}

std::optional<std::string> PlainPoll(ReaderConfig& state, const std::string& params) {
    return Poll(state, params, false);
}

std::optional<std::string> TwoWayPoll(ReaderConfig& state, const std::string& params) {
    return Poll(state, params, true);
}

std::optional<std::string> Confirm(ReaderConfig& state, const std::string& params) {
    if (!params.empty()) return std::nullopt;
    ++state.confirmations;
    return std::string();
}

// "H1" the program takes the two-way card, "H2" it refuses it.
std::optional<std::string> CardVerdict(ReaderConfig& state, const std::string& params) {
    if (params == "1") {
        ++state.cardsAccepted;
    } else if (params == "2") {
        ++state.cardsRefused;
    } else {
        return std::nullopt;
    }
    return std::string();
}

const CommandEntry kCommands[] = {
    {'B', kAllKinds, &SerialNumber},
    {'V', kAllKinds, &Version},
    {'A', kAllKinds, &OutputSettings},
    {'A', kCardTypeKinds, &CardType},
    {'C', kFingerprintKinds, &FingerprintSetId},
    {'C', kAllKinds, &SetId},
    {'E', kAllKinds, &SetLineSettings},
    {'W', kAllKinds, &CardReadMode},
    {'H', kAllKinds, &Reboot},
    {'Z', kDisplayKinds | KindBit(ReaderKind::PX60) | KindBit(ReaderKind::PX60M), &FactoryReset},
    {'A', kCardTypeKinds, &ResetCardOptions},
    {'L', kKeypadKinds, &KeyNumber},
    {'M', kKeypadKinds, &KeyParity},
    {'N', kKeypadKinds, &KeyStatus},
    // The display's commands (SimDisplay.cpp); their parameters differ in form from the
    // keypad's "L", "M" and "N".
    {'N', kDisplayKinds, &DisplayLanguage},
    {'O', kDisplayKinds, &DisplayPassword},
    {'K', kDisplayKinds, &DisplayScreenMode},
    {'T', kDisplayKinds, &DisplayClock},
    {'H', kDisplayKinds, &DisplaySmallMessage},
    {'L', kDisplayKinds, &DisplayTexts},
    {'L', kDisplayKinds, &DisplayTitleMode},
    {'M', kDisplayKinds, &DisplayIconPart},
    {'a', kMifareKinds, &CardIdLocation},
    {'d', kMifareKinds,
     [](ReaderConfig& s, const std::string& p) { return MifareStoreKey(s.mifare, p); }},
    {'e', kMifareKinds,
     [](ReaderConfig& s, const std::string& p) { return MifareUseStoredKey(s.mifare, p); }},
    {'f', kMifareKinds,
     [](ReaderConfig& s, const std::string& p) { return MifareLoadKey(s.mifare, p); }},
    {'h', kMifareKinds,
     [](ReaderConfig& s, const std::string& p) { return MifareReadBlock(s.mifare, p); }},
    {'i', kMifareKinds,
     [](ReaderConfig& s, const std::string& p) { return MifareWriteBlock(s.mifare, p); }},
    // The fingerprint reader's commands (SimFingerprint.cpp).
    {'K', kFingerprintKinds, &FingerFacilityOrKey},
    {'M', kFingerprintKinds, &FingerAdd},
    {'N', kFingerprintKinds, &FingerDelete},
    {'O', kFingerprintKinds, &FingerId},
    {'r', kFingerprintKinds, &FingerScanMode},
    {'L', kFingerprintKinds, &FingerTransfer},
    {'P', kFingerprintKinds, &FingerTemplate},
    {'R', kFingerprintKinds, &FingerStandAlone},
    {'S', kFingerprintKinds, &FingerSSetting},
    {'F', kAllKinds, &PlainPoll},
    {'I', kAllKinds, &TwoWayPoll},
    {'J', kAllKinds, &Confirm},
    {'H', kAllKinds, &CardVerdict},
};

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

bool HasKeypad(ReaderKind kind) { return (kKeypadKinds & KindBit(kind)) != 0; }
bool HasMifare(ReaderKind kind) { return (kMifareKinds & KindBit(kind)) != 0; }
bool HasCardType(ReaderKind kind) { return (kCardTypeKinds & KindBit(kind)) != 0; }
bool HasFingerprint(ReaderKind kind) { return (kFingerprintKinds & KindBit(kind)) != 0; }

const char* LineSettingsText(int index) {
    return index >= 0 && index < kLineSettingsCount ? kLineSettings[index] : "";
}

std::string MaskHex16(const std::string& hex16) {
    static const std::uint8_t mask[8] = {0x5C, 0x17, 0xA3, 0xE8, 0x42, 0x9B, 0x06, 0xD1};
    auto digit = [&hex16](std::size_t at) {
        const int value = at < hex16.size() ? HexValue(hex16[at]) : -1;
        return value < 0 ? 0 : value;
    };
    std::string masked;
    for (std::size_t i = 0; i < 8; ++i) {
        const int value = digit(2 * i) * 16 + digit(2 * i + 1);
        masked += HexByte(static_cast<std::uint8_t>(value ^ mask[7 - i]));
    }
    return masked;
}

std::string PollData(PollForm form, const std::string& card, const std::string& keys) {
    switch (form) {
        case PollForm::Card8:
        case PollForm::Card16:
            return "0" + card;
        case PollForm::Card8Wide:
        case PollForm::Card16Wide:
            return "00" + card;
        case PollForm::Keypad:
            return "0K" + keys;
        case PollForm::Card8Keys:
        case PollForm::Card16Keys:
            return "00" + card + "K" + keys;
        case PollForm::TwoWay: {
            // The card travels masked; an 8-digit card is the low half of the 16 digits.
            const std::string wide =
                card.size() < 16 ? std::string(16 - card.size(), '0') + card : card;
            return "00" + MaskHex16(wide) + (keys.empty() ? std::string() : "K" + keys);
        }
    }
    return std::string();
}

PollReply CardReply(const std::string& card, const std::string& keys) {
    if (card.empty()) {
        const std::string data =
            keys.empty() ? std::string() : PollData(PollForm::Keypad, {}, keys);
        return {data, data};
    }
    PollReply reply;
    if (card.size() <= 8) {
        reply.plain = PollData(keys.empty() ? PollForm::Card8 : PollForm::Card8Keys, card, keys);
    } else {
        reply.plain =
            PollData(keys.empty() ? PollForm::Card16Wide : PollForm::Card16Keys, card, keys);
    }
    reply.twoWay = PollData(PollForm::TwoWay, card, keys);
    return reply;
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

std::optional<std::string> SimReader::answer(
    const std::string& commandText, std::optional<std::chrono::steady_clock::time_point> now) {
    std::lock_guard<std::mutex> lock(mutex_);
    // A restarting fingerprint reader hears nothing.
    if (FingerprintSilent(config_.fingerprint, now)) return std::nullopt;
    // Start character, two-digit address, command letter.
    if (commandText.size() < 4) return std::nullopt;
    if (commandText[0] != StartCharacter(config_.kind)) return std::nullopt;
    const std::string address = commandText.substr(1, 2);
    if (address != "00" && address != TwoDigitText(config_.id) &&
        !AnswersFormerId(config_.fingerprint, address))
        return std::nullopt;

    const char letter = commandText[3];
    const std::string params = commandText.substr(4);
    if (config_.silentCommands.count(commandText.substr(3))) return std::nullopt;
    // A new ID counts from the next command: the reply still comes from the address asked.
    const int replyId = config_.id;
    for (const auto& entry : kCommands) {
        if (entry.letter != letter || (entry.kinds & KindBit(config_.kind)) == 0) continue;
        if (const auto data = entry.handler(config_, params)) {
            FingerprintAnswered(config_.fingerprint, now);
            if (config_.replyIdText)
                return ReplyFrame(StartCharacter(config_.kind), *config_.replyIdText, letter,
                                  *data);
            return ReplyFrame(StartCharacter(config_.kind), replyId, letter, *data);
        }
    }
    return std::nullopt;
}

ReaderConfig SimReader::config() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return config_;
}

void SimReader::setConfig(const ReaderConfig& config) {
    std::lock_guard<std::mutex> lock(mutex_);
    config_ = config;
}

bool SimReader::presentCard(const std::string& dataField) {
    return present({dataField, dataField});
}

bool SimReader::presentCardId(const std::string& card, const std::string& keys) {
    return present(CardReply(card, keys));
}

bool SimReader::presentKeys(const std::string& keys) { return present(CardReply({}, keys)); }

bool SimReader::present(const PollReply& reply) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (config_.presented.size() >= kMaxPresented) return false;
    config_.presented.push_back(reply);
    return true;
}

std::size_t SimReader::presentedWaiting() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return config_.presented.size();
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
