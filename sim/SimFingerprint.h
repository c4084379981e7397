// A fingerprint reader (PX60, PX60-M): enrolled fingerprints in numbered slots, each with its
// fingerprint ID and a template of three parts; the facility code given to added fingerprints,
// the sensor's scan mode, the stand-alone door settings, and the restart after "R6", during
// which it hears nothing and answers nothing.
//
// Replies: a setting is answered with an empty data field (8 bytes). "O" + slot: a status
// character, then the ID's 16 hexadecimal characters in the reader's own byte order (25 bytes).
// "P" + slot + part: part 0 a status character ("1" enrolled, "0" empty), parts 1 to 3 the
// part as the reader keeps it (256 characters: 264 bytes). Template parts are read and written
// only between "L0" and "L1". A parameter not of the command's form gets no answer and changes
// nothing.
//
// Addresses: the reader takes a new ID from "C" at once and still answers to the ID it was
// switched on with, so that a program may go on addressing it either way while it is being set
// up (the factory default readdresses at once, the stand-alone default keeps the old address).
#pragma once

#include <array>
#include <chrono>
#include <cstddef>
#include <map>
#include <optional>
#include <string>

namespace tbsim {

struct ReaderConfig;

constexpr int kFingerSlots = 9501;  // slots 000000 to 009500
constexpr int kTemplateParts = 3;
constexpr std::size_t kTemplatePartLength = 256;
constexpr std::chrono::milliseconds kDefaultRestartTime{3000};

struct FingerSlot {
    bool enrolled = false;
    std::string id = std::string(16, '0');  // as the reader keeps it: its own byte order
    // As the reader keeps them: 256 characters each, or what a write brought.
    std::array<std::string, kTemplateParts> parts{std::string(kTemplatePartLength, '0'),
                                                  std::string(kTemplatePartLength, '0'),
                                                  std::string(kTemplatePartLength, '0')};
};

struct FingerprintState {
    int facilityCode = 0;  // "K" + 5 digits: given to fingerprints added from now on
    std::string key;       // "K" + 16 hexadecimal characters, as last set; empty: never
    int scanMode = 3;      // "r" + 0 to 3
    // Slots that were ever touched; the others are empty.
    std::map<int, FingerSlot> fingerSlots;
    bool transferOpen = false;  // between "L0" and "L1"

    // Stand-alone door controller.
    bool standAlone = false;     // "R01"
    int doorSeconds = 5;         // "R1" + 1 to 4 digits
    int alarmSeconds = 30;       // "R2" + 1 to 4 digits
    int addCardRequests = 0;     // "R3"
    int duressCardRequests = 0;  // "R4"
    int clearCardRequests = 0;   // "R5"
    std::string sSetting;        // the digits of the last "S"; empty: never

    // "R6": how long the reader stays silent once its reply is out, how often it restarted,
    // and until when it is silent now (on the clock of the line that carries it).
    std::chrono::milliseconds restartTime = kDefaultRestartTime;
    int restarts = 0;
    bool restartDue = false;
    std::optional<std::chrono::steady_clock::time_point> silentUntil;
    // The ID it was switched on with, once "C" has given it another; it still answers to it.
    std::optional<int> formerId;
};

// The ID, in the window's byte order, that enrolling gives a slot: the facility code in four
// hexadecimal digits, then the slot number in twelve.
std::string EnrolledIdText(int facilityCode, int slot);
// The same ID with its eight bytes in the other order.
std::string SwapIdBytes(const std::string& hex16);
// The template parts that enrolling a slot records: 256 hexadecimal characters each, the same
// for the same slot every time.
std::array<std::string, kTemplateParts> EnrolledTemplate(int slot);

// Whether the reader is restarting at `now` and so hears nothing; never without a time.
bool FingerprintSilent(const FingerprintState& state,
                       std::optional<std::chrono::steady_clock::time_point> now);
// After each answer: a restart asked for by "R6" begins once its reply is out. Without a time
// the reader restarts at once and is never silent.
void FingerprintAnswered(FingerprintState& state,
                         std::optional<std::chrono::steady_clock::time_point> now);
// Whether `address` (two digits) is the reader's former ID.
bool AnswersFormerId(const FingerprintState& state, const std::string& address);

// Command handlers for the reader's command table: the parameters after the command letter in,
// the reply's data field out (nullopt: not this command's form).
std::optional<std::string> FingerFacilityOrKey(ReaderConfig& state, const std::string& params);
std::optional<std::string> FingerAdd(ReaderConfig& state, const std::string& params);         // M
std::optional<std::string> FingerDelete(ReaderConfig& state, const std::string& params);      // N
std::optional<std::string> FingerId(ReaderConfig& state, const std::string& params);          // O
std::optional<std::string> FingerScanMode(ReaderConfig& state, const std::string& params);    // r
std::optional<std::string> FingerTransfer(ReaderConfig& state, const std::string& params);    // L
std::optional<std::string> FingerTemplate(ReaderConfig& state, const std::string& params);    // P
std::optional<std::string> FingerStandAlone(ReaderConfig& state, const std::string& params);  // R
std::optional<std::string> FingerSSetting(ReaderConfig& state, const std::string& params);    // S

}  // namespace tbsim
