#include "cli/Options.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <sstream>

#include <QDate>
#include <QString>
#include <QTime>

#include "commands/Session.h"
#include "commands/config/ListItems.h"
#include "commands/display/DisplayText.h"
#include "commands/fingerprint/Enrolment.h"
#include "commands/mifare/MifareCommands.h"
#include "link/Frame.h"
#include "link/LineSettingsList.h"
#include "platform/CodePage.h"

namespace cli {
namespace {

// The options beyond the ones every subcommand takes.
enum Extra : unsigned {
    kNone = 0,
    kPorts = 1u << 0,
    kLock = 1u << 1,
    kParallel = 1u << 2,
    kAll = 1u << 3,
    kIds = 1u << 4,
    kTwoWay = 1u << 5,
    kInvalid = 1u << 6,
    kCount = 1u << 7,
    kTimeout = 1u << 8,
    kRaw = 1u << 9,
    kResults = 1u << 10,
    kCodePage = 1u << 11,
    kKeySlot = 1u << 12,
    kKeyError = 1u << 13,
    kKeyHex = 1u << 14,
    kEeprom = 1u << 15,
    kTrailer = 1u << 16,  // --old-key, --key-a, --access, --key-b, --force
    kConditions = 1u << 17,
    kClock = 1u << 18,  // --at, --hour-format
    kOut = 1u << 19,
};

struct Subcommand {
    Command command;
    const char* name;
    const char* arguments;  // as the usage line shows them
    int argumentCount;
    unsigned extras;
    bool needsPort;
    const char* summary;
    const char* details;            // more lines for the subcommand's own help; may be empty
    const char* section = nullptr;  // the overview's heading above this subcommand
    int optionalArguments = 0;      // how many of the last arguments may be left out
};

const Subcommand kSubcommands[] = {
    {Command::Ports, "ports", "", 0, kNone, false, "the port map as the window sees it",
     "With --port, only that port.\n", "Ports and readers"},
    {Command::Scan, "scan", "", 0, kPorts | kLock | kParallel | kAll, false,
     "find a reader: the quick try, then the walk",
     "Probes ID 00 as the window's Scan does. With --port the quick try goes first: that port at\n"
     "--settings, 3 probes. Then the walk: on every port that opens, the first 12 line settings\n"
     "(or with --lock only --settings), 2 probes each. The scan ends at the first reader found,\n"
     "whose version is then read.\n"
     "  --ports LIST      COM3,COM5 or all (default: all, the window's port list)\n"
     "  --lock            try only --settings on each port\n"
     "  --parallel        walk all the ports at once, one probe in flight per port\n"
     "  --all             go on after a find and list the reader of every port\n"},
    {Command::Census, "census", "", 0, kIds, true,
     "every reader ID 01 to 99 that answers on one port",
     "Sends the reader check (\"B\") to each ID at --settings, after a 50 ms pause, and lists\n"
     "each reader that answers with its version. A silent ID costs about 350 ms.\n"
     "  --ids LIST        the IDs to try, such as 1-20,50 (default 1-99)\n"},
    {Command::Info, "info", "", 0, kNone, true, "link a reader and read out all its settings",
     "Links as the window's Link does (3 probes to --id; without --id to ID 00), then the\n"
     "read-out of the reader type: version, output, card type, keypad, card-ID location.\n"},
    {Command::SetId, "set-id", "NEW_ID", 1, kNone, true, "give the reader a new ID, 1 to 99", "",
     "Settings"},
    {Command::SetLine, "set-line", "SETTINGS", 1, kNone, true, "set the reader's line settings",
     "The reader talks at the new settings from then on; find it there with --settings.\n"},
    {Command::SetInterface, "set-interface", "MODE WIEGAND RS485", 3, kNone, true,
     "set the output interface",
     "MODE is wiegand or rs485, WIEGAND 26, 34 or 42, RS485 24, 32, 40 or 64; all three are\n"
     "sent together. Example: set-interface rs485 34 32\n"},
    {Command::GetInterface, "get-interface", "", 0, kNone, true, "read the output interface", ""},
    {Command::SetCardType, "set-card-type", "TYPE", 1, kNone, true,
     "set the card type: EM, KORVA or SECURITY", ""},
    {Command::SetReadMode, "set-read-mode", "MODE", 1, kNone, true,
     "set the card read mode: disable or enabled", ""},
    {Command::SetKeyParity, "set-key-parity", "PARITY", 1, kNone, true,
     "set the key parity: no or with", "PARITY is no (No Parity 4 bits) or with (With Parity).\n"},
    {Command::GetKeyParity, "get-key-parity", "", 0, kNone, true, "read the key parity", ""},
    {Command::SetKeyNumber, "set-key-number", "N", 1, kNone, true, "set the key number, 0 to 16",
     ""},
    {Command::GetKeyNumber, "get-key-number", "", 0, kNone, true, "read the key number", ""},
    {Command::SetKeyStatus, "set-key-status", "N DELAY", 2, kNone, true,
     "set the key-status code: key 0 to 8, delay 0 to 99 s", ""},
    {Command::GetKeyStatus, "get-key-status", "", 0, kNone, true, "read the key-status code", ""},
    {Command::Send, "send", "TEXT", 1, kRaw | kCodePage, true,
     "the command test: the command prefix and TEXT",
     "Sends the start character, the ID and TEXT after a 100 ms pause and prints the data field\n"
     "of the reply. A text longer than a frame takes is refused: nothing is sent.\n"
     "  --raw             the second command test: the start character and TEXT only (TEXT\n"
     "                    carries its own address, such as 00H1), after a 50 ms pause\n"
     "  --code-page CP    TEXT goes out in 1252, gbk or big5 (default 1252)\n",
     "Tests and system utility"},
    {Command::ReadCards, "read-cards", "", 0, kTwoWay | kInvalid | kCount | kTimeout, true,
     "read cards until Ctrl+C, --count or --timeout",
     "  --two-way         two-way reading: poll \"I\", answer every card \"J\", \"J\", \"H1\"\n"
     "  --invalid         two-way: answer every card \"H2\" (refused) instead\n"
     "  --count N         stop after N cards or keypad entries\n"
     "  --timeout S       stop after S seconds\n"
     "The reading also ends, with exit status 1, when a poll gets no reply.\n"},
    {Command::Reboot, "reboot", "", 0, kNone, true, "restart the reader (\"HR\")",
     "One \"HR\" after a 50 ms pause, without the reader check. The reader keeps its settings.\n"},
    {Command::FactoryDefault, "factory-default", "", 0, kNone, true,
     "back to delivery: ID 01, Wiegand 26, 19200,e,8,1",
     "Gives the reader ID 01, then sends the factory-default sequence of --type, which is\n"
     "required: each reader type has its own sequence, so nothing is sent without it. A\n"
     "fingerprint reader restarts first and is polled until it answers (up to about four\n"
     "minutes; a dot a poll on a terminal). Afterwards the reader answers at ID 01 and\n"
     "19200,e,8,1: give those as --id and --settings from then on.\n"},
    {Command::SetIdLocation, "set-id-location", "SECTOR BLOCK BYTE", 3, kKeySlot | kKeyError, true,
     "where on the card the reader takes the card ID",
     "SECTOR 0 to 39, BLOCK 0 to 3 within it, BYTE 0 to 31 within the block.\n"
     "  --key A|B         the key the reader authenticates with (default A)\n"
     "  --key-error E     how it signals a key error: none, led, beep or beep+led (default led)\n",
     "MIFARE (the -M types)"},
    {Command::StoreKey, "store-key", "SECTOR KEY", 2, kKeySlot, true,
     "keep a key of a sector in the reader's EEPROM",
     "SECTOR 0 to 39; KEY 12 hexadecimal characters, such as FFFFFFFFFFFF.\n"
     "  --key A|B         store it as the sector's Key A or Key B (default A)\n"},
    {Command::WriteTrailer, "write-trailer", "SECTOR", 1, kKeySlot | kTrailer | kConditions, true,
     "write a sector trailer: new keys and access bits",
     "Opens SECTOR (0 to 39) of the card with its old key and writes Key A, the access bits and\n"
     "Key B to its trailer. Each defaults to the card's delivery value.\n"
     "  --old-key KEY     the key that opens the sector now (default FFFFFFFFFFFF)\n"
     "  --key A|B         which of the sector's keys the old key is (default A)\n"
     "  --key-a KEY       the new Key A (default FFFFFFFFFFFF)\n"
     "  --access TEXT     the access bits and user byte, 8 hexadecimal characters (default\n"
     "                    FF0780AA: data blocks 000, trailer 001)\n"
     "  --conditions L    the access bits from conditions instead, as for access-bits\n"
     "  --key-b KEY       the new Key B (default FFFFFFFFFFFF)\n"
     "  --force           write access bits that make the sector unusable, or that no key may\n"
     "                    ever change again; without it such a trailer is refused\n"},
    {Command::ReadBlock, "read-block", "SECTOR BLOCK", 2, kKeySlot | kKeyHex | kEeprom, true,
     "read one block of the card",
     "SECTOR 0 to 39, BLOCK 0 to 3 within it (0 to 15 in sectors 32 to 39).\n"
     "  --key A|B         authenticate with Key A or Key B (default A)\n"
     "  --key-hex KEY     the key (default FFFFFFFFFFFF)\n"
     "  --eeprom          the key the reader keeps for the sector (see store-key) instead\n"},
    {Command::WriteBlock, "write-block", "SECTOR BLOCK DATA", 3, kKeySlot | kKeyHex, true,
     "write one block of the card and check its echo",
     "DATA is the block's 16 bytes as 32 hexadecimal characters. The write succeeds when the\n"
     "reader echoes DATA exactly, so a shorter DATA goes out but always fails.\n"
     "  --key A|B         authenticate with Key A or Key B (default A)\n"
     "  --key-hex KEY     the key (default FFFFFFFFFFFF)\n"},
    {Command::AccessBits, "access-bits", "[TEXT]", 1, kConditions, false,
     "access bits in words, and back (no reader)",
     "With TEXT (8 hexadecimal characters such as FF0780AA, as the trailer holds them) says\n"
     "what each key may do with each block. With --conditions gives the text for them.\n"
     "  --conditions L    C1C2C3 of data blocks 0, 1, 2 and the trailer, such as\n"
     "                    000,000,000,001; the user byte is AA, as the window writes it\n"
     "In sectors 32 to 39, block 0 stands for blocks 0-4, 1 for 5-9 and 2 for 10-14.\n"
     "A/B means either key, never no key. Exit status 1 for access bits that make the sector\n"
     "unusable.\n",
     nullptr, 1},
    {Command::DisplayLanguage, "display-language", "LANGUAGE", 1, kNone, true,
     "the display's language: english, traditional or simplified", "", "Display (PX50, PX50M)"},
    {Command::DisplayPassword, "display-password", "PASSWORD", 1, kCodePage, true,
     "the display's password, 0 to 4 bytes",
     "An empty PASSWORD (\"\") is sent as it stands.\n"
     "  --code-page CP    PASSWORD goes out in 1252, gbk or big5 (default 1252)\n"},
    {Command::DisplayScreenMode, "display-screen-mode", "MODE", 1, kNone, true,
     "what the display's clock shows: date-time or time", ""},
    {Command::DisplayClock, "display-clock", "", 0, kClock, true,
     "set the display's clock and hour format",
     "Sends the clock, then the hour format.\n"
     "  --at TIME         \"YYYY-MM-DD HH:MM:SS\" (default: this computer's local time now)\n"
     "  --hour-format F   12 or 24 (default 12)\n"},
    {Command::SmallMessage, "small-message", "TEXT", 1, kCodePage, true,
     "the display's small message, up to 64 bytes",
     "TEXT is padded with spaces to 64 bytes; a longer one is refused.\n"
     "  --code-page CP    TEXT goes out in 1252, gbk or big5 (default 1252)\n"},
    {Command::ScreenMessage, "screen-message", "TEXT", 1, kCodePage, true,
     "the display's screen message, up to 128 bytes",
     "TEXT is padded with spaces to 128 bytes; a longer one is refused.\n"
     "  --code-page CP    TEXT goes out in 1252, gbk or big5 (default 1252)\n"},
    {Command::ClearScreenMessage, "clear-screen-message", "", 0, kNone, true,
     "blank the screen message",
     "Sends 128 spaces to ID 00, whatever --id is; its messages are those of the titles.\n"},
    {Command::Title, "title", "1|2 TEXT", 2, kCodePage, true,
     "a title line, up to 16 bytes, and the text-title mode",
     "TEXT is padded with spaces to 16 bytes; a longer one is refused. The display then shows\n"
     "titles as text (title-mode text).\n"
     "  --code-page CP    TEXT goes out in 1252, gbk or big5 (default 1252)\n"},
    {Command::ClearTitle, "clear-title", "1|2", 1, kNone, true, "blank a title line",
     "The title mode stays as it is.\n"},
    {Command::TitleMode, "title-mode", "MODE", 1, kNone, true,
     "the title mode: none, text or text+icon", ""},
    {Command::TitleIcon, "title-icon", "FILE", 1, kNone, true,
     "the title icon from a 128 x 16 .ico file or a picture",
     "An .ico file is read byte for byte from offset 70, as the display takes it. Any other\n"
     "FILE is a picture (PNG, BMP, GIF, JPEG), scaled to 128 x 16 and made dark where it is\n"
     "darker than middle grey, as the window does.\n"},
    {Command::FacilityCode, "facility-code", "N", 1, kNone, true,
     "the facility code of fingerprints added from now on, 0 to 65535", "",
     "Fingerprint (PX60, PX60M)"},
    {Command::AddFinger, "add-finger", "N", 1, kNone, true, "enrol a finger into slot N, 0 to 9500",
     "The reader takes the finger put on it; the command only starts the enrolment.\n"},
    {Command::DeleteFinger, "delete-finger", "N", 1, kNone, true,
     "delete the fingerprint of slot N", ""},
    {Command::GetFingerId, "get-finger-id", "N", 1, kNone, true,
     "read the fingerprint ID of slot N",
     "Prints the ID's 16 hexadecimal characters in the window's order; the reader sends its\n"
     "8 bytes the other way round.\n"},
    {Command::SetFingerId, "set-finger-id", "N ID", 2, kNone, true,
     "give slot N a fingerprint ID of 16 hexadecimal characters",
     "ID goes out as typed, its bytes turned round for the reader; a shorter ID goes out short,\n"
     "unpadded, and the reader's reply decides.\n"},
    {Command::ScanMode, "scan-mode", "MODE", 1, kNone, true,
     "how the sensor scans: always, always-reset, sensor or sensor-reset",
     "MODE by name or as the window's item 0 to 3 (Alway Scan, Alway Scan, Reset, Sensor Scan,\n"
     "Sensor Scan, Reset).\n"},
    {Command::GetTemplate, "get-template", "N", 1, kOut | kCodePage, true,
     "read the template of slot N: three parts",
     "Prints the three parts, or with --out writes them to a template file as the window's\n"
     "Save template... does, for put-template to give another reader.\n"
     "  --out FILE        write the template file FILE instead of printing the parts\n"
     "  --code-page CP    the parts are read in 1252, gbk or big5 (default 1252)\n"},
    {Command::PutTemplate, "put-template", "N FILE", 2, kCodePage, true,
     "write the template of a template file into slot N",
     "FILE is a template file as get-template --out and the window's Save template... write\n"
     "it. N says which slot; the finger number in FILE is not used. Each part goes out trimmed\n"
     "of blanks at its ends; a file that is not a template file is refused, nothing sent.\n"
     "  --code-page CP    the parts go out in 1252, gbk or big5 (default 1252)\n"},
    {Command::StandAlone, "stand-alone", "", 0, kNone, true,
     "make the reader a stand-alone door controller", ""},
    {Command::DoorTime, "door-time", "SECONDS", 1, kNone, true,
     "the stand-alone door time, 0 to 4 digits",
     "SECONDS goes out as typed, no zeros added: 12 sends R112, 0005 sends R10005; an empty\n"
     "SECONDS (\"\") sends R1 alone.\n"},
    {Command::AlarmTime, "alarm-time", "SECONDS", 1, kNone, true,
     "the stand-alone alarm time, 0 to 4 digits",
     "SECONDS goes out as typed, no zeros added, as for door-time.\n"},
    {Command::AddCard, "add-card", "", 0, kNone, true, "the next card shown becomes the add card",
     ""},
    {Command::DuressCard, "duress-card", "", 0, kNone, true,
     "the next card shown becomes the duress card", ""},
    {Command::ClearCard, "clear-card", "", 0, kNone, true,
     "the next card shown becomes the clear card", ""},
    {Command::StandAloneDefault, "stand-alone-default", "", 0, kNone, true,
     "back to the stand-alone defaults: ID 01, 19200,e,8,1",
     "Sends the stand-alone default sequence, every command to --id. The reader restarts in\n"
     "the middle and is polled until it answers (up to about four minutes; a dot a poll on a\n"
     "terminal). Afterwards it answers at ID 01 and 19200,e,8,1, with facility code 00000,\n"
     "door time 0005 and alarm time 0030.\n"},
    {Command::Apply, "apply", "PLAN.csv", 1, kResults, false,
     "provision readers from a table, one a row",
     "PLAN.csv has a header row naming its columns, in any order:\n"
     "  port          COM3 (required in every row unless --port is given)\n"
     "  settings      the line settings it talks at now (default --settings)\n"
     "  type          PX10 ... PX60M (default --type)\n"
     "  id            its ID now; empty: found with the probe to ID 00\n"
     "  new_id        the ID to give it\n"
     "  interface     the interface to give it, as for set-interface: wiegand 26 32\n"
     "  card_type     EM, KORVA or SECURITY\n"
     "  new_settings  the line settings to give it (set last)\n"
     "Empty cells change nothing. Quote cells with commas: \"9600,n,8,1\". Lines starting with #\n"
     "are skipped. Each reader is checked again at its new ID and settings at the end. A failing\n"
     "reader does not stop the others; the exit status is 1 when any row failed.\n"
     "  --results FILE    write the results table to FILE (default: standard output)\n",
     "Many readers"},
};

const Subcommand* SubcommandOf(Command command) {
    for (const Subcommand& entry : kSubcommands)
        if (entry.command == command) return &entry;
    return nullptr;
}

const Subcommand* SubcommandNamed(std::string_view name) {
    for (const Subcommand& entry : kSubcommands)
        if (name == entry.name) return &entry;
    return nullptr;
}

struct OptionEntry {
    const char* name;
    bool takesValue;
    unsigned extra;  // kNone: every subcommand takes it
};

const OptionEntry kOptions[] = {
    {"port", true, kNone},
    {"settings", true, kNone},
    {"id", true, kNone},
    {"type", true, kNone},
    {"json", false, kNone},
    {"trace", false, kNone},
    {"help", false, kNone},
    {"ports", true, kPorts},
    {"lock", false, kLock},
    {"parallel", false, kParallel},
    {"all", false, kAll},
    {"ids", true, kIds},
    {"two-way", false, kTwoWay},
    {"invalid", false, kInvalid},
    {"count", true, kCount},
    {"timeout", true, kTimeout},
    {"raw", false, kRaw},
    {"results", true, kResults},
    {"code-page", true, kCodePage},
    {"key", true, kKeySlot},
    {"key-error", true, kKeyError},
    {"key-hex", true, kKeyHex},
    {"eeprom", false, kEeprom},
    {"old-key", true, kTrailer},
    {"key-a", true, kTrailer},
    {"key-b", true, kTrailer},
    {"access", true, kTrailer},
    {"force", false, kTrailer},
    {"conditions", true, kConditions},
    {"at", true, kClock},
    {"hour-format", true, kClock},
    {"out", true, kOut},
};

// The CLI's names of the display's list items, in item order.
constexpr std::array<const char*, 3> kDisplayLanguageNames = {"english", "traditional",
                                                              "simplified"};
constexpr std::array<const char*, 2> kScreenModeNames = {"date-time", "time"};
constexpr std::array<const char*, 3> kTitleModeNames = {"none", "text", "text+icon"};
constexpr std::array<const char*, 3> kCodePageNames = {"1252", "gbk", "big5"};
// The scan modes, in the order of the window's list.
constexpr std::array<const char*, 4> kScanModeNames = {"always", "always-reset", "sensor",
                                                       "sensor-reset"};

std::string Lower(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return lower;
}

bool AllDigits(std::string_view text) {
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) {
        return std::isdigit(static_cast<unsigned char>(c)) != 0;
    });
}

std::vector<std::string_view> Split(std::string_view text, char separator) {
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = text.find(separator, start);
        parts.push_back(text.substr(start, end == std::string_view::npos ? end : end - start));
        if (end == std::string_view::npos) return parts;
        start = end + 1;
    }
}

std::string TypeNames(bool (*wanted)(const commands::ReaderTypeInfo&)) {
    std::string names;
    for (const auto& info : commands::ReaderTypes()) {
        if (!wanted(info)) continue;
        names += (names.empty() ? "" : ", ") + std::string(info.name);
    }
    return names;
}

bool HasKeypad(const commands::ReaderTypeInfo& info) {
    return info.Shows(commands::FunctionPage::Keypad);
}
bool HasCardType(const commands::ReaderTypeInfo& info) {
    return info.Shows(commands::FunctionPage::EM);
}
bool AnyType(const commands::ReaderTypeInfo&) { return true; }

bool IsKeypadCommand(Command command) {
    switch (command) {
        case Command::SetKeyParity:
        case Command::GetKeyParity:
        case Command::SetKeyNumber:
        case Command::GetKeyNumber:
        case Command::SetKeyStatus:
        case Command::GetKeyStatus:
            return true;
        default:
            return false;
    }
}

// The function pages' subcommands stand together in Command, a page to a run.
bool IsMifareCommand(Command command) {
    return command >= Command::SetIdLocation && command <= Command::WriteBlock;
}

bool IsDisplayCommand(Command command) {
    return command >= Command::DisplayLanguage && command <= Command::TitleIcon;
}

bool IsFingerprintCommand(Command command) {
    return command >= Command::FacilityCode && command <= Command::StandAloneDefault;
}

bool HasFingerprint(const commands::ReaderTypeInfo& info) {
    return info.Shows(commands::FunctionPage::Fingerprint);
}

bool HasMifare(const commands::ReaderTypeInfo& info) {
    return info.Shows(commands::FunctionPage::Mifare);
}
bool HasDisplay(const commands::ReaderTypeInfo& info) {
    return info.Shows(commands::FunctionPage::Display);
}

// TAB opens a frame and CR ends it: inside a text either would cut the command short.
bool HoldsFrameCharacter(std::string_view text) {
    return text.find_first_of("\t\r\n") != std::string_view::npos;
}

class Parser {
public:
    explicit Parser(const std::vector<std::string>& args) : args_(args) {}

    Parsed run() {
        if (args_.empty()) return fail("no subcommand given (see tagbench-cli --help)");
        const std::string& first = args_[0];
        if (first == "-h" || first == "--help" || first == "help") return help();
        const Subcommand* entry = SubcommandNamed(first);
        if (!entry) return fail("unknown subcommand '" + first + "' (see tagbench-cli --help)");
        subcommand_ = entry;
        run_.command = entry->command;
        std::vector<std::string> arguments;
        bool optionsEnd = false;
        for (std::size_t i = 1; i < args_.size(); ++i) {
            const std::string& arg = args_[i];
            if (!optionsEnd && arg == "--") {
                optionsEnd = true;
            } else if (!optionsEnd && arg == "-h") {
                run_.help = true;
            } else if (!optionsEnd && arg.size() > 2 && arg.compare(0, 2, "--") == 0) {
                if (!option(arg, i)) return fail(error_);
            } else if (!optionsEnd && arg.size() > 1 && arg[0] == '-' &&
                       !std::isdigit(static_cast<unsigned char>(arg[1]))) {
                return fail("unknown option '" + arg + "'");
            } else {
                arguments.push_back(arg);
            }
        }
        if (run_.help) return {run_, {}};
        const int given = static_cast<int>(arguments.size());
        if (given > entry->argumentCount ||
            given < entry->argumentCount - entry->optionalArguments) {
            return fail(std::string(entry->name) + " takes " +
                        (entry->argumentCount == 0 ? std::string("no arguments")
                                                   : std::string(entry->arguments)) +
                        (arguments.empty() ? "" : " (got: " + Join(arguments) + ")"));
        }
        if (entry->needsPort && !run_.port) return fail(std::string(entry->name) + " needs --port");
        if (!interpret(arguments)) return fail(error_);
        return {run_, {}};
    }

private:
    static std::string Join(const std::vector<std::string>& words) {
        std::string joined;
        for (const auto& word : words) joined += (joined.empty() ? "" : " ") + word;
        return joined;
    }

    Parsed fail(const std::string& message) { return {std::nullopt, message}; }

    Parsed help() {
        run_.command = Command::Help;
        run_.help = true;
        if (args_.size() > 1 && args_[0] == "help") {
            const Subcommand* topic = SubcommandNamed(args_[1]);
            if (!topic) return fail("unknown subcommand '" + args_[1] + "'");
            run_.helpTopic = topic->command;
        }
        return {run_, {}};
    }

    bool bad(const std::string& message) {
        error_ = message;
        return false;
    }

    bool option(const std::string& arg, std::size_t& i) {
        const std::size_t equals = arg.find('=');
        const std::string name = arg.substr(2, equals == std::string::npos ? equals : equals - 2);
        const OptionEntry* found = nullptr;
        for (const OptionEntry& entry : kOptions)
            if (name == entry.name) found = &entry;
        if (!found) return bad("unknown option '--" + name + "'");
        if (found->extra != kNone && (subcommand_->extras & found->extra) == 0)
            return bad(std::string(subcommand_->name) + " does not take --" + name);
        std::string value;
        if (found->takesValue) {
            if (equals != std::string::npos) {
                value = arg.substr(equals + 1);
            } else if (i + 1 < args_.size()) {
                value = args_[++i];
            } else {
                return bad("--" + name + " needs a value");
            }
        } else if (equals != std::string::npos) {
            return bad("--" + name + " takes no value");
        }
        return set(name, value);
    }

    bool set(const std::string& name, const std::string& value) {
        if (name == "port") {
            run_.port = ParsePort(value);
            return run_.port ? true : bad("--port: '" + value + "' is not a port such as COM3");
        }
        if (name == "settings") {
            run_.settingsIndex = ParseLineSettings(value);
            return run_.settingsIndex ? true
                                      : bad("--settings: '" + value +
                                            "' is not one of the 14 line settings (such as "
                                            "19200,e,8,1) nor their index 0 to 13");
        }
        if (name == "id") {
            run_.id = ParseReaderId(value);
            return run_.id ? true : bad("--id: '" + value + "' is not a reader ID 1 to 99");
        }
        if (name == "type") {
            run_.type = commands::ReaderTypeNamed(value);
            return run_.type ? true
                             : bad("--type: '" + value + "' is not one of " + TypeNames(AnyType));
        }
        if (name == "json") return run_.json = true;
        if (name == "trace") return run_.trace = true;
        if (name == "help") return run_.help = true;
        if (name == "ports") return ports(value);
        if (name == "lock") return run_.lock = true;
        if (name == "parallel") return run_.parallel = true;
        if (name == "all") return run_.all = true;
        if (name == "ids") {
            const auto ids = ParseIdList(value);
            if (!ids) return bad("--ids: '" + value + "' is not a list of IDs such as 1-20,50");
            run_.ids = *ids;
            return true;
        }
        if (name == "two-way") return run_.twoWay = true;
        if (name == "invalid") return run_.invalid = true;
        if (name == "count") {
            run_.count = ParseNumber(value, 1, 1000000);
            return run_.count ? true : bad("--count: '" + value + "' is not a number from 1");
        }
        if (name == "timeout") return timeout(value);
        if (name == "raw") return run_.raw = true;
        if (name == "out") {
            run_.outPath = value;
            return value.empty() ? bad("--out needs a file name") : true;
        }
        if (name == "results") {
            run_.resultsPath = value;
            return value.empty() ? bad("--results needs a file name") : true;
        }
        return setReaderOption(name, value);
    }

    // The options of the MIFARE and display subcommands.
    bool setReaderOption(const std::string& name, const std::string& value) {
        if (name == "code-page") {
            const auto page = ParseCodePage(value);
            if (!page) return bad("--code-page: '" + value + "' is not 1252, gbk or big5");
            run_.codePage = *page;
            return true;
        }
        if (name == "key") {
            const auto slot = ParseKeySlot(value);
            if (!slot) return bad("--key: '" + value + "' is not A or B");
            run_.keySlot = *slot;
            return true;
        }
        if (name == "key-error") {
            const auto item = ItemNamed(commands::kKeyErrorItems, value);
            if (!item)
                return bad("--key-error: '" + value + "' is not none, led, beep or beep+led");
            run_.keyError = *item;
            return true;
        }
        if (name == "key-hex") {
            keyGiven_ = true;
            return readerText(value, kKeyTextLength, "--key-hex", run_.key);
        }
        if (name == "eeprom") return run_.eeprom = true;
        if (name == "old-key") return readerText(value, kKeyTextLength, "--old-key", run_.oldKey);
        if (name == "key-a") return readerText(value, kKeyTextLength, "--key-a", run_.keyA);
        if (name == "key-b") return readerText(value, kKeyTextLength, "--key-b", run_.keyB);
        if (name == "access") {
            accessGiven_ = true;
            return readerText(value, kKeyTextLength, "--access", run_.access);
        }
        if (name == "force") return run_.force = true;
        if (name == "conditions") {
            run_.conditions = ParseConditions(value);
            return run_.conditions ? true
                                   : bad("--conditions: '" + value +
                                         "' is not four conditions C1C2C3 such as 000,000,000,001");
        }
        if (name == "at") {
            run_.clockAt = ParseClock(value);
            return run_.clockAt ? true
                                : bad("--at: '" + value +
                                      "' is not a date and time such as \"2026-12-07 15:04:05\"");
        }
        if (name == "hour-format") {
            const std::string lower = Lower(value);
            if (lower == "12" || lower == "12h") {
                run_.hourFormat = commands::display::HourFormat::TwelveHour;
            } else if (lower == "24" || lower == "24h") {
                run_.hourFormat = commands::display::HourFormat::TwentyFourHour;
            } else {
                return bad("--hour-format: '" + value + "' is not 12 or 24");
            }
            return true;
        }
        return bad("unknown option '--" + name + "'");
    }

    // A key, access-bits or data text as the window's upper-case edit box would hold it.
    bool readerText(const std::string& value, std::size_t limit, const std::string& what,
                    std::string& text) {
        if (HoldsFrameCharacter(value)) return bad(what + ": a tab or line break cannot go out");
        text = platform::EncodeText(QString::fromLocal8Bit(value.c_str()).toUpper(), kCodePage1252);
        if (text.size() > limit)
            return bad(what + ": '" + value + "' is longer than " + std::to_string(limit) +
                       " characters");
        return true;
    }

    // A text for the display or the command test, in the code page of --code-page; at most
    // `limit` bytes there.
    bool displayText(const std::string& value, std::size_t limit, const std::string& what) {
        if (HoldsFrameCharacter(value)) return bad(what + ": a tab or line break cannot go out");
        run_.text = platform::EncodeText(QString::fromLocal8Bit(value.c_str()), run_.codePage);
        if (run_.text.size() > limit)
            return bad(what + ": the text is " + std::to_string(run_.text.size()) +
                       " bytes long in code page " + CodePageText(run_.codePage) +
                       "; the display takes at most " + std::to_string(limit));
        return true;
    }

    bool sector(const std::string& text) {
        const auto number = ParseNumber(text, 0, commands::mifare::kSectorCount - 1);
        if (!number) return bad("sector '" + text + "' is not 0 to 39");
        run_.sector = *number;
        return true;
    }

    // A block within the sector already read.
    bool block(const std::string& text) {
        const int last = commands::mifare::BlocksInSector(run_.sector) - 1;
        const auto number = ParseNumber(text, 0, last);
        if (!number)
            return bad("block '" + text + "' is not 0 to " + std::to_string(last) + " (sector " +
                       std::to_string(run_.sector) + ")");
        run_.block = *number;
        return true;
    }

    bool titleLine(const std::string& text) {
        const auto line = ParseNumber(text, 1, 2);
        if (!line) return bad("title line '" + text + "' is not 1 or 2");
        run_.titleLine = *line;
        return true;
    }

    template <std::size_t N>
    bool item(const std::array<const char*, N>& names, const std::string& text, int& index,
              const std::string& what) {
        const auto found = ItemNamed(names, text);
        if (!found) {
            std::string list;
            for (std::size_t i = 0; i < N; ++i)
                list += std::string(i == 0 ? "" : i + 1 == N ? " or " : ", ") + names[i];
            return bad(what + ": '" + text + "' is not " + list);
        }
        index = *found;
        return true;
    }

    bool ports(const std::string& value) {
        run_.ports.clear();
        if (Lower(value) == "all") return true;
        for (std::string_view part : Split(value, ',')) {
            const auto port = ParsePort(part);
            if (!port)
                return bad("--ports: '" + std::string(part) + "' is not a port such as COM3");
            if (std::find(run_.ports.begin(), run_.ports.end(), *port) == run_.ports.end())
                run_.ports.push_back(*port);
        }
        return true;
    }

    bool timeout(const std::string& value) {
        char* end = nullptr;
        const double seconds = std::strtod(value.c_str(), &end);
        if (value.empty() || end != value.c_str() + value.size() || !(seconds > 0) || seconds > 1e6)
            return bad("--timeout: '" + value + "' is not a number of seconds above 0");
        run_.timeoutSeconds = seconds;
        return true;
    }

    bool typeShows(bool (*has)(const commands::ReaderTypeInfo&), const char* what) {
        const auto& info = commands::Info(run_.readerType());
        if (has(info)) return true;
        return bad(std::string(info.name) + " has no " + what + " (--type " + TypeNames(has) + ")");
    }

    bool interpret(const std::vector<std::string>& a) {
        if (IsKeypadCommand(run_.command) && !typeShows(HasKeypad, "keypad settings")) return false;
        switch (run_.command) {
            case Command::SetId: {
                const auto id = ParseReaderId(a[0]);
                if (!id) return bad("set-id: '" + a[0] + "' is not a reader ID 1 to 99");
                run_.newId = *id;
                return true;
            }
            case Command::SetLine: {
                const auto index = ParseLineSettings(a[0]);
                if (!index)
                    return bad("set-line: '" + a[0] +
                               "' is not one of the 14 line settings nor their index 0 to 13");
                run_.lineSettingsIndex = *index;
                return true;
            }
            case Command::SetInterface: {
                const auto settings = ParseInterface(a);
                if (!settings)
                    return bad("set-interface: '" + Join(a) +
                               "' is not MODE WIEGAND RS485 such as: wiegand 26 32");
                run_.interface = *settings;
                return true;
            }
            case Command::SetCardType: {
                if (!typeShows(HasCardType, "card type setting")) return false;
                const auto item = ItemNamed(commands::kCardTypeItems, a[0]);
                if (!item) return bad("set-card-type: '" + a[0] + "' is not EM, KORVA or SECURITY");
                run_.cardType = *item;
                return true;
            }
            case Command::SetReadMode: {
                const auto item = ItemNamed(commands::kResetModeItems, a[0]);
                if (!item) return bad("set-read-mode: '" + a[0] + "' is not disable or enabled");
                run_.readMode = *item;
                return true;
            }
            case Command::SetKeyParity: {
                const auto item = ItemNamed(commands::kKeyParityItems, a[0]);
                if (!item) return bad("set-key-parity: '" + a[0] + "' is not no or with");
                run_.keyParity = *item;
                return true;
            }
            case Command::SetKeyNumber: {
                const auto number = ParseNumber(a[0], 0, kMaxKeyNumber);
                if (!number) return bad("set-key-number: '" + a[0] + "' is not 0 to 16");
                run_.keyNumber = *number;
                return true;
            }
            case Command::SetKeyStatus: {
                const auto number = ParseNumber(a[0], 0, kMaxKeyStatusNumber);
                const auto delay = ParseNumber(a[1], 0, kMaxKeyDelaySeconds);
                if (!number) return bad("set-key-status: key number '" + a[0] + "' is not 0 to 8");
                if (!delay) return bad("set-key-status: delay '" + a[1] + "' is not 0 to 99");
                run_.keyStatusNumber = *number;
                run_.keyDelaySeconds = *delay;
                return true;
            }
            case Command::Send:
                if (HoldsFrameCharacter(a[0]))
                    return bad("send: a tab or line break cannot go out inside a command");
                run_.text =
                    platform::EncodeText(QString::fromLocal8Bit(a[0].c_str()), run_.codePage);
                return true;
            case Command::ReadCards:
                if (run_.invalid && !run_.twoWay) return bad("--invalid needs --two-way");
                return true;
            case Command::Census:
                if (run_.ids.empty())
                    for (int id = 1; id <= 99; ++id) run_.ids.push_back(id);
                return true;
            case Command::Apply:
                run_.planPath = a[0];
                return true;
            default:
                return interpretPage(a);
        }
    }

    // The subcommands of the MIFARE and display pages, and the system utility.
    bool interpretPage(const std::vector<std::string>& a) {
        if (IsMifareCommand(run_.command) && !typeShows(HasMifare, "MIFARE functions"))
            return false;
        if (IsDisplayCommand(run_.command) && !typeShows(HasDisplay, "display")) return false;
        if (IsFingerprintCommand(run_.command))
            return typeShows(HasFingerprint, "fingerprint functions") && interpretFingerprint(a);
        int index = 0;
        switch (run_.command) {
            case Command::FactoryDefault:
                if (!run_.type)
                    return bad(
                        "factory-default needs --type: each reader type has a sequence of "
                        "its own (" +
                        TypeNames(AnyType) + ")");
                return true;
            case Command::SetIdLocation: {
                if (!sector(a[0])) return false;
                const auto block = ParseNumber(a[1], 0, commands::mifare::kIdBlockCount - 1);
                if (!block) return bad("block '" + a[1] + "' is not 0 to 3");
                const auto byte = ParseNumber(a[2], 0, kMaxIdByte);
                if (!byte) return bad("byte '" + a[2] + "' is not 0 to 31");
                run_.block = *block;
                run_.idByte = *byte;
                return true;
            }
            case Command::StoreKey:
                return sector(a[0]) && readerText(a[1], kKeyTextLength, "KEY", run_.key);
            case Command::WriteTrailer:
                return sector(a[0]) && trailerAccess();
            case Command::ReadBlock:
                if (run_.eeprom && keyGiven_)
                    return bad("read-block takes --key-hex or --eeprom, not both");
                return sector(a[0]) && block(a[1]);
            case Command::WriteBlock:
                return sector(a[0]) && block(a[1]) &&
                       readerText(a[2], kBlockTextLength, "DATA", run_.data);
            case Command::AccessBits:
                return accessBits(a);
            case Command::DisplayLanguage:
                if (!item(kDisplayLanguageNames, a[0], index, "display-language")) return false;
                run_.displayLanguage = static_cast<commands::display::DisplayLanguage>(index);
                return true;
            case Command::DisplayPassword:
                return displayText(a[0], commands::display::kPasswordBytes, "display-password");
            case Command::DisplayScreenMode:
                if (!item(kScreenModeNames, a[0], index, "display-screen-mode")) return false;
                run_.screenMode = static_cast<commands::display::ScreenMode>(index);
                return true;
            case Command::SmallMessage:
                return displayText(a[0], commands::display::kSmallMessageBytes, "small-message");
            case Command::ScreenMessage:
                return displayText(a[0], commands::display::kScreenMessageBytes, "screen-message");
            case Command::Title:
                return titleLine(a[0]) &&
                       displayText(a[1], commands::display::kTitleBytes, "title");
            case Command::ClearTitle:
                return titleLine(a[0]);
            case Command::TitleMode:
                return item(kTitleModeNames, a[0], run_.titleMode, "title-mode");
            case Command::TitleIcon:
                run_.iconPath = a[0];
                return true;
            default:
                return true;
        }
    }

    bool interpretFingerprint(const std::vector<std::string>& a) {
        switch (run_.command) {
            case Command::FacilityCode: {
                const auto code = ParseNumber(a[0], 0, kMaxFacilityCode);
                if (!code) return bad("facility-code: '" + a[0] + "' is not 0 to 65535");
                run_.facilityCode = *code;
                return true;
            }
            case Command::AddFinger:
            case Command::DeleteFinger:
            case Command::GetFingerId:
            case Command::GetTemplate:
                return finger(a[0]);
            case Command::SetFingerId:
                return finger(a[0]) && fingerId(a[1]);
            case Command::ScanMode:
                if (AllDigits(a[0])) {
                    const auto mode =
                        ParseNumber(a[0], 0, static_cast<int>(kScanModeNames.size()) - 1);
                    if (!mode) return bad("scan-mode: '" + a[0] + "' is not 0 to 3");
                    run_.scanMode = *mode;
                    return true;
                }
                return item(kScanModeNames, a[0], run_.scanMode, "scan-mode");
            case Command::PutTemplate:
                run_.templatePath = a[1];
                return finger(a[0]);
            case Command::DoorTime:
            case Command::AlarmTime:
                return seconds(a[0]);
            default:
                return true;
        }
    }

    bool finger(const std::string& text) {
        const auto number = ParseNumber(text, 0, commands::fingerprint::kMaxFingerNumber);
        if (!number) return bad("finger number '" + text + "' is not 0 to 9500");
        run_.fingerNumber = *number;
        return true;
    }

    bool fingerId(const std::string& value) {
        if (HoldsFrameCharacter(value)) return bad("ID: a tab or line break cannot go out");
        run_.fingerId = platform::EncodeText(QString::fromLocal8Bit(value.c_str()), kCodePage1252);
        if (run_.fingerId.size() > commands::fingerprint::kFingerprintIdLength)
            return bad("ID: '" + value + "' is longer than 16 characters");
        return true;
    }

    // What the window's seconds box admits: up to four digits, blanks around them.
    bool seconds(const std::string& value) {
        const std::string digits = commands::fingerprint::TrimBlanks(value);
        if (digits.size() > kMaxSecondsDigits || (!digits.empty() && !AllDigits(digits)))
            return bad(CommandName(run_.command) + ": '" + value + "' is not 0 to 4 digits");
        run_.seconds = digits;
        return true;
    }

    bool trailerAccess() {
        if (run_.conditions) {
            if (accessGiven_) return bad("write-trailer takes --access or --conditions, not both");
            run_.access = commands::mifare::AccessBitsText(*run_.conditions);
        }
        using commands::mifare::AccessBitsNotice;
        const AccessBitsNotice notice = commands::mifare::NoticeFor(run_.access);
        if (notice == AccessBitsNotice::None || run_.force) return true;
        return bad("write-trailer: access bits " + run_.access +
                   (notice == AccessBitsNotice::Invalid
                        ? " would make the sector unusable for good"
                        : " would let no key change them ever again") +
                   " (see access-bits); give --force to write them all the same");
    }

    bool accessBits(const std::vector<std::string>& a) {
        if (a.empty() == !run_.conditions)
            return bad("access-bits takes TEXT to read or --conditions to encode, one of them");
        if (a.empty()) return true;
        std::string text;
        if (!readerText(a[0], kKeyTextLength, "TEXT", text)) return false;
        if (commands::mifare::ReadAccessBitsText(text).verdict ==
            commands::mifare::AccessTextVerdict::NotEightHexDigits)
            return bad("access-bits: '" + a[0] + "' is not 8 hexadecimal characters");
        run_.accessText = text;
        return true;
    }

    const std::vector<std::string>& args_;
    const Subcommand* subcommand_ = nullptr;
    Invocation run_;
    std::string error_;
    bool keyGiven_ = false;     // --key-hex
    bool accessGiven_ = false;  // --access
};

std::string OptionsHelp() {
    return "Options every subcommand takes:\n"
           "  --port COMn       the port (COM3, or 3)\n"
           "  --settings S      line settings such as 19200,e,8,1, or their index 0 to 13\n"
           "                    (default 19200,e,8,1)\n"
           "  --id N            the reader's ID, 1 to 99; without it the reader is first found\n"
           "                    with the scan's probe to ID 00 (one reader on the line)\n"
           "  --type T          reader type: " +
           TypeNames(AnyType) +
           "\n"
           "                    (default PX10); it decides the first character of every command\n"
           "  --json            one JSON object per line on standard output\n"
           "  --trace           every frame sent and received, on standard error\n"
           "  -h, --help        this help\n";
}

const char kExitHelp[] =
    "Exit status: 0 success, 1 the reader failed or was not found, 2 wrong usage,\n"
    "3 the port would not open: why, and what to do, on standard error (with --json in the\n"
    "outcome's \"detail\").\n";

}  // namespace

bool RunsOnAPage(Command command) {
    return command == Command::Reboot || command == Command::FactoryDefault ||
           IsMifareCommand(command) || IsDisplayCommand(command) || IsFingerprintCommand(command);
}

int Invocation::lineSettings() const {
    return settingsIndex.value_or(tblink::kDefaultLineSettingsIndex);
}

Parsed ParseArguments(const std::vector<std::string>& args) { return Parser(args).run(); }

std::string CommandName(Command command) {
    const Subcommand* entry = SubcommandOf(command);
    return entry ? entry->name : "help";
}

std::string Usage(Command command) {
    std::ostringstream out;
    const Subcommand* entry = SubcommandOf(command);
    if (!entry) {
        out << "Usage: tagbench-cli SUBCOMMAND [OPTION]... [ARGUMENT]...\n"
               "The reader commands of Tag Bench from a shell, with the same frames and waits as\n"
               "the window. Progress goes to standard error when it is a terminal.\n";
        for (const Subcommand& each : kSubcommands) {
            if (each.section) out << "\n" << each.section << ":\n";
            std::string head = std::string(each.name) + " " + each.arguments;
            out << "  " << head;
            if (head.size() < 28) {
                out << std::string(28 - head.size(), ' ');
            } else {
                out << "\n" << std::string(30, ' ');
            }
            out << each.summary << "\n";
        }
        out << "\n  help SUBCOMMAND             that subcommand's options\n\n"
            << OptionsHelp() << "\n"
            << kExitHelp;
        return out.str();
    }
    out << "Usage: tagbench-cli " << entry->name << " [OPTION]..."
        << (entry->argumentCount ? std::string(" ") + entry->arguments : std::string()) << "\n"
        << "Tag Bench from a shell: " << entry->summary << ".\n"
        << entry->details;
    if (entry->command == Command::SetLine || entry->command == Command::Census ||
        entry->command == Command::Scan) {
        out << "Line settings (index text):";
        for (int i = 0; i < tblink::kLineSettingsCount; ++i)
            out << (i % 5 == 0 ? "\n  " : "  ") << i << " " << tblink::kLineSettingsTexts[i];
        out << "\n";
    }
    if (IsMifareCommand(command)) out << "Reader types (--type): " << TypeNames(HasMifare) << ".\n";
    if (IsDisplayCommand(command))
        out << "Reader types (--type): " << TypeNames(HasDisplay) << ".\n";
    if (IsFingerprintCommand(command))
        out << "Reader types (--type): " << TypeNames(HasFingerprint) << ".\n";
    if (command == Command::FactoryDefault) out << "--type is required.\n";
    if (entry->needsPort) out << "--port is required.\n";
    out << "\n" << OptionsHelp() << "\n" << kExitHelp;
    return out.str();
}

std::optional<int> ParseNumber(std::string_view text, int low, int high) {
    if (!AllDigits(text) || text.size() > 9) return std::nullopt;
    const int value = std::atoi(std::string(text).c_str());
    if (value < low || value > high) return std::nullopt;
    return value;
}

std::optional<int> ParsePort(std::string_view text) {
    std::string upper = Lower(text);
    if (upper.compare(0, 3, "com") == 0) upper = upper.substr(3);
    if (upper.empty() || upper[0] == '0') return std::nullopt;
    return ParseNumber(upper, 1, 9999);
}

std::optional<int> ParseLineSettings(std::string_view text) {
    if (AllDigits(text)) return ParseNumber(text, 0, tblink::kLineSettingsCount - 1);
    const std::string lower = Lower(text);
    for (int i = 0; i < tblink::kLineSettingsCount; ++i)
        if (lower == tblink::kLineSettingsTexts[i]) return i;
    return std::nullopt;
}

std::optional<std::string> ParseReaderId(std::string_view text) {
    if (text.size() > 2) return std::nullopt;
    const auto id = ParseNumber(text, 1, 99);
    if (!id) return std::nullopt;
    return commands::TwoDigits(*id);
}

std::optional<std::vector<int>> ParseIdList(std::string_view text) {
    std::vector<int> ids;
    for (std::string_view part : Split(text, ',')) {
        const auto range = Split(part, '-');
        if (range.size() > 2) return std::nullopt;
        const auto first = ParseNumber(range.front(), 1, 99);
        const auto last = ParseNumber(range.back(), 1, 99);
        if (!first || !last || *last < *first) return std::nullopt;
        for (int id = *first; id <= *last; ++id) ids.push_back(id);
    }
    std::sort(ids.begin(), ids.end());
    ids.erase(std::unique(ids.begin(), ids.end()), ids.end());
    return ids;
}

std::optional<int> ItemNamed(const char* const* items, int count, std::string_view text) {
    const std::string wanted = Lower(text);
    if (wanted.empty()) return std::nullopt;
    for (int i = 0; i < count; ++i)
        if (Lower(items[i]) == wanted) return i;
    if (AllDigits(wanted)) {
        for (int i = 0; i < count; ++i) {
            const std::string_view item = items[i];
            const std::size_t space = item.rfind(' ');
            if (space != std::string_view::npos && item.substr(space + 1) == wanted) return i;
        }
        return std::nullopt;
    }
    std::optional<int> match;
    for (int i = 0; i < count; ++i) {
        if (Lower(items[i]).compare(0, wanted.size(), wanted) != 0) continue;
        if (match) return std::nullopt;  // the start of more than one item
        match = i;
    }
    return match;
}

std::optional<commands::InterfaceSettings> ParseInterface(const std::vector<std::string>& words) {
    if (words.size() != 3) return std::nullopt;
    const auto mode = ItemNamed(commands::kModeItems, words[0]);
    const auto wiegand = ItemNamed(commands::kWiegandItems, words[1]);
    const auto rs485 = ItemNamed(commands::kRs485Items, words[2]);
    if (!mode || !wiegand || !rs485) return std::nullopt;
    return commands::InterfaceSettings{*mode, *wiegand, *rs485};
}

std::optional<commands::mifare::KeySlot> ParseKeySlot(std::string_view text) {
    const std::string lower = Lower(text);
    if (lower == "a") return commands::mifare::KeySlot::A;
    if (lower == "b") return commands::mifare::KeySlot::B;
    return std::nullopt;
}

std::optional<commands::mifare::SectorConditions> ParseConditions(std::string_view text) {
    const auto parts = Split(text, ',');
    if (parts.size() != 4) return std::nullopt;
    commands::mifare::SectorConditions conditions{};
    for (std::size_t part = 0; part < 4; ++part) {
        const std::string_view bits = parts[part];
        if (bits.size() != 3 || bits.find_first_not_of("01") != std::string_view::npos)
            return std::nullopt;
        conditions[part] =
            commands::mifare::MakeCondition(bits[0] - '0', bits[1] - '0', bits[2] - '0');
    }
    return conditions;
}

std::optional<commands::display::ClockValue> ParseClock(std::string_view text) {
    if (text.size() != 19 || (text[10] != ' ' && text[10] != 'T')) return std::nullopt;
    const QString whole = QString::fromLatin1(text.data(), static_cast<int>(text.size()));
    const QDate date = QDate::fromString(whole.left(10), "yyyy-MM-dd");
    const QTime time = QTime::fromString(whole.mid(11), "HH:mm:ss");
    if (!date.isValid() || !time.isValid()) return std::nullopt;
    return commands::display::ClockValue{date.year(), date.month(),  date.day(),
                                         time.hour(), time.minute(), time.second()};
}

std::optional<int> ParseCodePage(std::string_view text) {
    const std::string lower = Lower(text);
    for (int page = 0; page < static_cast<int>(kCodePageNames.size()); ++page)
        if (lower == kCodePageNames[page]) return page;
    return std::nullopt;
}

std::string CodePageText(int codePage) {
    return codePage >= 0 && codePage < static_cast<int>(kCodePageNames.size())
               ? kCodePageNames[codePage]
               : kCodePageNames[kCodePage1252];
}

}  // namespace cli
