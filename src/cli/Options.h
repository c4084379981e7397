// tagbench-cli's command line taken apart into values, before anything touches a port: a
// subcommand of the registry, the options every subcommand takes (--port, --settings, --id,
// --type, --json), its own options and its arguments, each already checked against the ranges
// the window's controls allow. Anything wrong is a usage error (exit status 2) saying what.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "commands/ReaderTypes.h"
#include "commands/config/Identity.h"
#include "commands/display/SystemParameters.h"
#include "commands/mifare/AccessBits.h"
#include "commands/mifare/CardGeometry.h"
#include "link/ReaderLink.h"

namespace cli {

struct Subcommand;

// The code pages of --code-page, by the window's language index that uses each.
constexpr int kCodePage1252 = 0;
constexpr int kCodePageGbk = 1;
constexpr int kCodePageBig5 = 2;

struct Invocation {
    const Subcommand* subcommand = nullptr;  // null: the overview's help
    bool help = false;                       // --help, or `help SUBCOMMAND`
    const Subcommand* helpTopic = nullptr;   // `help scan`
    bool json = false;                       // one JSON object per line
    bool trace = false;                      // every frame sent and received on standard error
    bool quiet = false;                      // no messages nor progress on standard error

    // Where the reader is; each empty when not given.
    std::optional<int> port;
    std::string portPath;  // --port as a device path or URL: its number comes from the port map
    std::optional<int> settingsIndex;
    std::optional<std::string> id;  // two digits, 01 to 99
    std::optional<commands::ReaderType> type;
    bool anyType = false;  // scan --type any: every type's start character in turn

    // scan
    std::vector<int> ports;  // --ports; empty: every port of the port map
    bool lock = false;
    bool parallel = false;
    bool all = false;
    // scan, census: how long a probe or reader check waits for its reply
    int silenceMs = tblink::ReaderLink::kDefaultSilenceLimitMs;
    // census
    std::vector<int> ids;  // --ids; in ascending order, 1 to 99
    // read-cards
    bool timestamps = false;
    // read-cards
    bool twoWay = false;
    bool invalid = false;  // two-way: answer every card "H2"
    std::optional<int> count;
    std::optional<double> timeoutSeconds;
    // send
    bool raw = false;
    // send and the display's texts: the window's language index whose code page they go out in
    int codePage = kCodePage1252;
    // apply
    std::string resultsPath;
    char delimiter = 0;                       // --delimiter; 0: the plan's header line tells
    std::vector<std::string> ignoredColumns;  // --ignore-column: columns of notes
    bool dryRun = false;                      // every row checked, its frames printed, none sent
    // profile (and --dry-run above for its apply)
    std::string profileVerb;  // save, diff or apply
    std::string profilePath;
    bool withIdentity = false;

    // The arguments, by subcommand.
    int newId = 0;                          // set-id
    int lineSettingsIndex = 0;              // set-line
    commands::InterfaceSettings interface;  // set-interface
    int cardType = 0;                       // set-card-type
    int readMode = 0;                       // set-read-mode
    int keyParity = 0;                      // set-key-parity
    int keyNumber = 0;                      // set-key-number
    int keyStatusNumber = 0;                // set-key-status
    int keyDelaySeconds = 0;
    std::string text;      // send, the display's texts: as typed (UTF-8), for --code-page
    std::string planPath;  // apply

    // MIFARE. Texts for the reader (keys, access bits, data) in hexadecimal of their exact
    // length, letters in upper case.
    int sector = 1;
    int block = 0;  // within the sector
    int idByte = 0;
    commands::mifare::KeySlot keySlot = commands::mifare::KeySlot::A;  // --key
    int keyError = 1;                                                  // --key-error: LED
    std::string key = "FFFFFFFFFFFF";  // store-key KEY; read-block and write-block --key-hex
    bool eeprom = false;               // read-block: the key the reader keeps for the sector
    std::string oldKey = "FFFFFFFFFFFF";
    std::string keyA = "FFFFFFFFFFFF";
    std::string keyB = "FFFFFFFFFFFF";
    std::string access = "FF0780AA";  // --access, or --conditions encoded
    // write-trailer, write-block: access bits that spoil the sector; set-id, apply: no check
    // that the new ID is free
    bool force = false;
    std::string data;  // write-block
    // access-bits: the text to decode, or (empty) the conditions to encode
    std::optional<std::string> accessText;
    std::optional<commands::mifare::SectorConditions> conditions;

    // The display
    commands::display::DisplayLanguage displayLanguage =
        commands::display::DisplayLanguage::English;
    commands::display::ScreenMode screenMode = commands::display::ScreenMode::DateAndTime;
    commands::display::HourFormat hourFormat = commands::display::HourFormat::TwelveHour;
    std::optional<commands::display::ClockValue> clockAt;  // --at; empty: the time of the run
    int titleMode = 0;
    int titleLine = 1;  // 1 or 2
    std::string iconPath;

    // Fingerprint readers. The times go out as typed, as in the window.
    int facilityCode = 0;
    int fingerNumber = 1;      // the slot, 0 to 9500
    std::string fingerId;      // set-finger-id: 16 hexadecimal characters
    int scanMode = 3;          // the window's list item, 0 to 3
    std::string seconds;       // door-time, alarm-time: digits, blanks around them dropped
    std::string outPath;       // get-template --out; empty: the parts are printed
    std::string templatePath;  // put-template

    commands::ReaderType readerType() const { return type.value_or(commands::ReaderType::PX10); }
    int lineSettings() const;  // --settings, else 19200,e,8,1
    std::string name() const;  // the subcommand's, "help" for the overview
};

// A subcommand's arguments read into the values: each helper says false, with `error` set, when
// a text is not what it must be.
struct Reading {
    Invocation& run;
    std::string error;
    bool keyGiven = false;     // --key-hex
    bool accessGiven = false;  // --access

    bool bad(const std::string& message);
    // A whole number, whose range is the action's to check.
    bool integer(const std::string& text, const std::string& what, int& value);
    // Exactly `digits` hexadecimal characters (a key, access bits, block data, a fingerprint ID):
    // a reader never gets a short or malformed frame.
    bool hex(const std::string& text, std::size_t digits, const std::string& what);
    // An item of a fixed list, by name; `what` starts the error.
    bool item(const char* const* names, int count, const std::string& text, int& index,
              const std::string& what);
    template <std::size_t N>
    bool item(const std::array<const char*, N>& names, const std::string& text, int& index,
              const std::string& what) {
        return item(names.data(), static_cast<int>(N), text, index, what);
    }
};

// A key, access-bits or data text as the window's upper-case edit box would hold it.
std::string Upper(const std::string& text);
// The reader types that show a function page (all of them for nullopt), as "PX10, PX20, ...".
std::string TypeNames(std::optional<commands::FunctionPage> page);

struct Parsed {
    std::optional<Invocation> invocation;
    std::string error;  // set when invocation is empty
    // Of a usage error: whether --json was among the arguments, and the subcommand's name.
    bool json = false;
    std::string command = "help";
};

// The shortest silence a reply survives at a line setting: the wire time of a probe's reply
// at its speed, and a margin.
int SilenceFloorMs(int lineSettingsIndex);

// The arguments after the program name.
Parsed ParseArguments(const std::vector<std::string>& args);

// Values as the command line gives them; nullopt when the text is not one.
// "COM3", "com3" or "3".
std::optional<int> ParsePort(std::string_view text);
// One of the 14 line settings as text ("19200,e,8,1", any case) or index ("5").
std::optional<int> ParseLineSettings(std::string_view text);
// A reader ID 1 to 99 ("7" or "07") as its two digits.
std::optional<std::string> ParseReaderId(std::string_view text);
// "COM3,COM5" or "all" (empty): the ports once each, in the given order; `bad` the part that is
// not a port.
std::optional<std::vector<int>> ParsePortList(std::string_view text, std::string& bad);
// "2,17,99" or "1-20,50": IDs 1 to 99, in ascending order without repeats.
std::optional<std::vector<int>> ParseIdList(std::string_view text);
// "wiegand 26 32": the interface, the Wiegand format and the RS485 format, each by its item's
// name or number ("rs485", "Wiegand 34", "64").
std::optional<commands::InterfaceSettings> ParseInterface(const std::vector<std::string>& words);
// The item of a fixed list that `text` names, in any case: its whole text, the number it ends in
// ("34" for "Wiegand 34"), or the start of its text when no other item starts so ("en" for
// "Enabled"). Nullopt when it names none, or more than one.
std::optional<int> ItemNamed(const char* const* items, int count, std::string_view text);
template <std::size_t N>
std::optional<int> ItemNamed(const std::array<const char*, N>& items, std::string_view text) {
    return ItemNamed(items.data(), static_cast<int>(N), text);
}
// Digits only, at least one.
bool AllDigits(std::string_view text);
// A whole decimal number of up to nine digits; its range is the action's to check.
std::optional<int> ParseInteger(std::string_view text);
// A whole decimal number in [low, high].
std::optional<int> ParseNumber(std::string_view text, int low, int high);

// "A" or "B", any case.
std::optional<commands::mifare::KeySlot> ParseKeySlot(std::string_view text);
// Four conditions C1C2C3, data blocks 0, 1, 2 and the trailer: "000,000,000,001".
std::optional<commands::mifare::SectorConditions> ParseConditions(std::string_view text);
// "2026-12-07 15:04:05" (or with a T between date and time): a date that exists.
std::optional<commands::display::ClockValue> ParseClock(std::string_view text);
// "12" or "24" (or "12h", "24h"), any case.
std::optional<commands::display::HourFormat> ParseHourFormat(std::string_view text);
// "1252", "gbk" or "big5", any case, as the language index whose code page it is.
std::optional<int> ParseCodePage(std::string_view text);
// The name --code-page gives a language index's code page.
std::string CodePageText(int codePage);

}  // namespace cli
