// One simulated reader: its state and its answers. It hears a command only when the line runs
// at its own speed, its start character opens the frame and the frame names its ID or "00".
//
// Replies: LF, the start character, the reader's two-digit ID, the command letter, the data
// field, checksum, CR. A command that only sets something is answered with an empty data field
// (8 bytes); a command the reader does not take, or whose parameters are not its own form, is
// not answered at all (the MIFARE commands answer such parameters with a status: SimMifare.h).
#pragma once

#include <chrono>
#include <cstddef>
#include <deque>
#include <mutex>
#include <optional>
#include <set>
#include <string>

#include "SimDisplay.h"
#include "SimFingerprint.h"
#include "SimMifare.h"

namespace tbsim {

// The eight reader types, in the order of the window's reader-type row.
enum class ReaderKind { PX10 = 0, PX40, PX30M, PX40M, PX50, PX50M, PX60, PX60M };

char StartCharacter(ReaderKind kind);
// "PX10", "PX40", "PX30M", ... as the tagbench-sim options name them; nullopt if unknown.
std::optional<ReaderKind> ReaderKindFromName(const std::string& name);
std::string ReaderKindName(ReaderKind kind);
// The version a fresh reader of this type reports: 16 characters, e.g. "V2.31-0542 PX40M".
std::string DefaultVersion(ReaderKind kind);

// What a reader type has: a keypad (PX40, PX40-M, PX50, PX50-M), MIFARE (the "-M" types), an
// EM/TEMIC card-type setting (the types without MIFARE), fingerprints (PX60, PX60-M).
bool HasKeypad(ReaderKind kind);
bool HasMifare(ReaderKind kind);
bool HasCardType(ReaderKind kind);
bool HasFingerprint(ReaderKind kind);

// The line settings a reader can be set to with "E" + one hexadecimal digit, index 0 to 13.
constexpr int kLineSettingsCount = 14;
const char* LineSettingsText(int index);

// A line-settings text such as "19200,e,8,1" taken apart.
struct LineFormat {
    int baud = 0;
    char parity = 'n';  // n, e, o, m, s
    int dataBits = 8;
    int stopHalfBits = 2;  // 2: one stop bit, 3: one and a half, 4: two
};
std::optional<LineFormat> ParseLineSettings(const std::string& text);
// How long one character takes on the wire: start bit, data bits, parity bit, stop bits.
std::chrono::nanoseconds CharacterTime(const LineFormat& format);

// The 8-byte mask between a card's ID and the code of a two-way poll reply: byte i of the
// 16 hexadecimal digits is XORed with byte 7 - i of 5C 17 A3 E8 42 9B 06 D1. Its own inverse;
// a character that is not an upper-case hexadecimal digit counts as 0.
std::string MaskHex16(const std::string& hex16);

// The shapes of a poll reply's data field ("F" and "I"). The program tells them apart by the
// reply's length and by where a "K" stands; `lead` characters come first and mean nothing.
enum class PollForm {
    Card8,       // 1 lead, 8 hex digits: 17 bytes
    Card8Wide,   // 2 lead, 8 hex digits: 18 bytes
    Card16,      // 1 lead, 16 hex digits: 25 bytes
    Card16Wide,  // 2 lead, 16 hex digits: 26 bytes
    Keypad,      // 1 lead, "K", the keys: 10 bytes and the keys
    Card8Keys,   // 2 lead, 8 hex digits, "K", the keys: 19 bytes and the keys
    Card16Keys,  // 2 lead, 16 hex digits, "K", the keys: 27 bytes and the keys
    TwoWay,      // 2 lead, MaskHex16 of the card (16 digits, 8 are widened with zeros); with
                 // keys, "K" and the keys after it: 26 bytes, or 27 and the keys
};
// The data field of one poll reply of that shape.
std::string PollData(PollForm form, const std::string& card, const std::string& keys = {});

// What a waiting card or keypad entry answers to each of the two polls.
struct PollReply {
    std::string plain;   // data field for "F"
    std::string twoWay;  // data field for "I"
};
// A card (8 or 16 hex digits) and/or keys as a reader reports them: for "F" the 17- or 26-byte
// form, or with keys the card-and-keys form; for "I" the masked code; keys alone as a keypad
// entry for both.
PollReply CardReply(const std::string& card, const std::string& keys = {});

// How the reader answers "A" without parameters.
enum class SettingsReplyForm {
    ByType,           // with the card type exactly when the type has one
    WithoutCardType,  // interface, Wiegand, RS485: 11 bytes
    WithCardType,     // and the card type: 12 bytes
};

struct ReaderConfig {
    ReaderKind kind = ReaderKind::PX10;
    int id = 1;                       // 1 to 99
    std::string serial = "12345678";  // 8 characters
    std::string lineSettings = "19200,e,8,1";
    std::string version = "V2.31-0542 PX10 ";  // 16 characters: a 24-byte "V" reply; 8: 16 bytes

    // Commands (the text after the address, e.g. "N" but not "N0215") this reader never
    // answers, as a reader with an older firmware would not.
    std::set<std::string> silentCommands;
    // When set, replies carry these two characters where the ID belongs.
    std::optional<std::string> replyIdText;

    // Output and card settings, as the indexes of the window's lists; delivered as Wiegand 26,
    // RS485 32 held ready, card type EM, reading reset enabled.
    int interfaceIndex = 0;  // 0 Wiegand, 1 RS485
    int wiegandIndex = 0;    // 0 to 2: Wiegand 26, 34, 42
    int rs485Index = 1;      // 0 to 3: RS485 24, 32, 40, 64
    int cardTypeIndex = 0;   // 0 to 2: EM, KORVA, SECURITY
    int cardReadMode = 1;    // 0 Disable, 1 Enabled
    SettingsReplyForm settingsReply = SettingsReplyForm::ByType;
    // When set, "A" answers with this data field as it stands (to try the program on odd ones).
    std::optional<std::string> settingsDataOverride;

    // Keypad.
    int keyParity = 0;        // 0 no parity, 4 bits; 1 with parity
    int keyNumber = 4;        // 0 to 99
    int keyStatusNumber = 0;  // 0 to 99
    int keyDelaySeconds = 3;  // 0 to 99

    // Where a MIFARE reader takes the card ID from; each 0 to 255, sent as two hex digits.
    int idSector = 0;
    int idBlock = 0;
    int idByte = 0;
    int idKeyType = 0;       // 0 Key A, 1 Key B
    int idKeyErrSignal = 1;  // 0 none, 1 LED, 2 beep, 3 beep and LED
    // The MIFARE card in the field, the EEPROM keys and the key given for block commands.
    MifareState mifare;

    // Card polls. Presented entries are answered first, one a poll; then a card or keys held at
    // the reader, on every poll; then a fixed data field if one is set; else "no card".
    std::deque<PollReply> presented;
    std::string cardInField;  // 8 or 16 hex digits; empty: none
    std::string keysInField;  // keys typed on the keypad; empty: none
    std::optional<std::string> pollDataOverride;

    // The program's answers after a two-way card: "J" twice, then "H1" or "H2".
    int confirmations = 0;  // "J" heard
    int cardsAccepted = 0;  // "H1"
    int cardsRefused = 0;   // "H2"

    // What a display reader (PX50, PX50-M) was sent.
    DisplayState display;
    // A fingerprint reader's slots, settings and restarts (PX60, PX60-M).
    FingerprintState fingerprint;
};

class SimReader {
public:
    explicit SimReader(const ReaderConfig& config);

    // The reply frame (LF ... CR) to one command text, or nullopt when this reader stays silent
    // (another start character, another ID, a command it does not know). `now`: when the reader
    // has heard the whole frame, for behaviour that depends on time (a fingerprint reader's
    // restart); nullopt outside a line.
    std::optional<std::string> answer(
        const std::string& commandText,
        std::optional<std::chrono::steady_clock::time_point> now = {});

    ReaderConfig config() const;
    void setConfig(const ReaderConfig& config);

    // Queues a poll reply's data field for the next "F" or "I" (the same for both); false when
    // kMaxPresented entries are already waiting.
    static constexpr std::size_t kMaxPresented = 64;
    bool presentCard(const std::string& dataField);
    // Queues a card (8 or 16 hex digits), with keys typed after it if given, as CardReply().
    bool presentCardId(const std::string& card, const std::string& keys = {});
    // Queues a keypad entry alone.
    bool presentKeys(const std::string& keys);
    bool present(const PollReply& reply);
    std::size_t presentedWaiting() const;
    // A MIFARE card held in the field until removed (SimMifare.cpp).
    void presentMifareCard(const MifareCard& card);
    void removeMifareCard();
    std::optional<MifareCard> mifareCard() const;
    int baud() const;  // from the line settings; 0 when they cannot be read
    std::chrono::nanoseconds characterTime() const;  // 0 when the line settings cannot be read

private:
    mutable std::mutex mutex_;
    ReaderConfig config_;
};

}  // namespace tbsim
