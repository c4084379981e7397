// One table of reader actions, between commands/ and the two front ends. Each reader function
// that a button of the window and a subcommand of tagbench-cli both run is one action here: its
// stable name, its messages (catalogue ids), the rules its inputs follow, and (in Requests.h)
// its commands/ call. The window reads controls, builds the action's request, performs it and
// writes controls; tagbench-cli parses arguments, builds the same request, performs it and
// prints. Neither front end names a message of a reader function or checks an input itself.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "text/Catalogue.h"

namespace actions {

enum class ActionId {
    // Identity, line, output, card type, read mode
    SetId,
    SetLine,
    SetInterface,
    GetInterface,
    SetCardType,
    SetReadMode,
    // Keypad
    SetKeyParity,
    GetKeyParity,
    SetKeyNumber,
    GetKeyNumber,
    SetKeyStatus,
    GetKeyStatus,
    // System utility
    CommandTest,
    CommandTestAddressed,
    Reboot,
    FactoryDefault,
    // MIFARE
    SetIdLocation,
    StoreKey,
    WriteTrailer,
    ReadBlock,
    WriteBlock,
    // Display
    DisplayLanguage,
    DisplayPassword,
    DisplayScreenMode,
    DisplayClock,
    SmallMessage,
    ScreenMessage,
    ClearScreenMessage,
    Title,
    ClearTitle,
    TitleMode,
    TitleIcon,
    // Fingerprint
    FacilityCode,
    AddFinger,
    DeleteFinger,
    GetFingerId,
    SetFingerId,
    ScanMode,
    GetTemplate,
    PutTemplate,
    StandAlone,
    DoorTime,
    AlarmTime,
    AddCard,
    DuressCard,
    ClearCard,
    StandAloneDefault,
};

// What the message panel shows while it runs and when it ends.
struct Messages {
    text::Msg start;
    std::optional<text::Msg> ok;  // none: success shows no message of its own
    text::Msg error;
};

// What one input admits: what the window's controls let a user give, so the command line and a
// plan are held to the same.
struct InputRule {
    enum class Kind {
        Number,      // an integer from min to max (a scroll bar's range)
        ListIndex,   // an item of a fixed list, 0 to max
        ReaderText,  // a text sent to the reader: at most max bytes in the window's code page,
                     // no CR, LF or TAB (they would end or split the frame)
    };
    const char* name;  // as the command line, plans and profiles name it: "new-id", "sector"
    Kind kind;
    int min = 0;
    int max = 0;
};

struct ActionInfo {
    ActionId id;
    const char* name;  // the command line's subcommand, and the name plans and profiles use
    std::vector<const char*> buttons;  // the window's buttons that run it
    Messages messages;
    std::vector<InputRule> inputs;
    bool needsLink = true;   // the window refuses it (red lamp, low tone) while no reader is linked
    bool addressed = true;   // false: the command text carries its own address after the start
    bool flashBusy = false;  // long sequences: the busy lamp flashes while the port is open

    const InputRule* input(std::string_view inputName) const;
};

// Every action, in the order of ActionId.
const std::vector<ActionInfo>& Table();
const ActionInfo& Describe(ActionId id);
// By its name; null when no action has it.
const ActionInfo* Find(std::string_view name);

}  // namespace actions
