// The eight reader types: the one table that says, for each, its start character, its function
// pages and front page, and what its settings read-out reads. Nothing else in the program decides
// by reader type; the window, tagbench-cli and the tests all read this table.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

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

struct ReaderTypeInfo {
    ReaderType type;
    const char* name;      // "PX10", "PX30M": how tagbench-cli and the simulator name it
    const char* caption;   // "PX10/PX20/PX30": the reader-type row's caption
    const char* pageName;  // "tsPX10": the reader-type page's name
    char startCharacter;   // the first character of every command text
    unsigned pages;        // bit per FunctionPage shown
    FunctionPage front;    // brought forward when the type is chosen
    ReadOutPlan readOut;

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
