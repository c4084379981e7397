// The eight reader types: the one table that says, for each, its start character, its function
// pages and front page, what its settings read-out reads, and its factory-default sequence. Nothing
// else in the program decides by reader type; the window, tagbench-cli and the tests all read this
// table.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "commands/ReaderSettings.h"
#include "link/LineSettingsList.h"

namespace commands {

// In the order of the window's reader-type row (the stored "Type" value is this index).
enum class ReaderType { PX10, PX40, PX30M, PX40M, PX50, PX50M, PX60, PX60M };
constexpr int kReaderTypeCount = 8;

// The function pages of the window, in page order.
enum class FunctionPage { Mifare, MifareKey, EM, Keypad, Display, Fingerprint, Command };
constexpr int kFunctionPageCount = 7;

// What the read-out does with the key-status group before it reads.
enum class KeyStatusGroup { Leave, Hide, Show };

struct ReadOutPlan {
    bool lenientOutput = false;   // "A" fields that are not list items give the default items
    bool cardType = false;        // "A" fills the card type (character 9 of a 12-byte reply)
    bool keypad = false;          // "L" key number and "M" key parity
    bool keyStatus = false;       // "N" key-status code
    bool cardIdLocation = false;  // "a" card-ID location
    KeyStatusGroup keyStatusGroup = KeyStatusGroup::Leave;
};

// One command of a factory-default sequence; a required one ends the attempt when it fails.
struct FactoryCommand {
    const char* text;
    bool required;
};

// A reader as delivered. Every factory default gives it ID 01, 19200,e,8,1 and Wiegand 26; the
// rest is set exactly where the type's sequence puts it back.
struct DeliveryValues {
    int id = 1;
    int lineSettingsIndex = tblink::kDefaultLineSettingsIndex;
    InterfaceSettings interface;
    std::optional<int> cardType;  // "EM"
    std::optional<int> keyParity, keyNumber;
    std::optional<KeyStatus> keyStatus;
    std::optional<CardIdLocation> cardIdLocation;
};

// What the factory default sends after the reader has taken the delivery ID, and what the
// reader holds afterwards.
struct FactoryDefaultPlan {
    std::vector<FactoryCommand> commands;
    bool spaced = false;  // 200 ms before every command but the first
    // Fingerprint readers restart after "R6": the reader is polled with "B" until it answers
    // (at most 300 polls, a progress tick each) before the commands are sent.
    bool restartFirst = false;
    DeliveryValues delivery;
};

struct ReaderTypeInfo {
    ReaderType type;
    const char* name;      // "PX10", "PX30M": how tagbench-cli and the simulator name it
    const char* caption;   // "PX10/PX20/PX30": the reader-type row's caption
    const char* pageName;  // "tsPX10": the reader-type page's name
    char startCharacter;   // the first character of every command text
    unsigned pages;        // bit per FunctionPage shown
    FunctionPage front;    // brought forward when the type is chosen
    ReadOutPlan readOut;
    FactoryDefaultPlan factoryDefault;

    bool Shows(FunctionPage page) const { return (pages & (1u << static_cast<int>(page))) != 0; }
};

const std::array<ReaderTypeInfo, kReaderTypeCount>& ReaderTypes();
const ReaderTypeInfo& Info(ReaderType type);

// The type at a position of the reader-type row; nullopt for "no type selected".
std::optional<ReaderType> ReaderTypeAt(int index);
int IndexOf(ReaderType type);
// "PX40M" or "PX40-M", any case; nullopt if unknown.
std::optional<ReaderType> ReaderTypeNamed(std::string_view name);

// With no reader type selected: commands start with "A" and only the Common page is offered.
constexpr char kNoTypeStartCharacter = 'A';
constexpr FunctionPage kNoTypeFrontPage = FunctionPage::Command;

}  // namespace commands
