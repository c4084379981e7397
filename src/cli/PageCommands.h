// The subcommands that are one button each on the window's MIFARE, display and common pages:
// the button's messages and the commands/ function it calls, with the command line's values in
// place of the controls.
#pragma once

#include <optional>
#include <string>

#include "cli/Operations.h"
#include "cli/Options.h"
#include "commands/display/SystemParameters.h"

namespace cli {

// What a page command learnt, for printing.
struct PageValues {
    std::optional<std::string> block;  // read-block, write-block: the block's 32 characters
    std::optional<std::string> newId;  // factory-default: the ID the reader took
    bool iconUnreadable = false;       // title-icon: the file could not be read
};

struct PageCommand {
    CommandTexts texts;
    Action action;
};

// Nullopt for a subcommand that is none of these. `clock` is what display-clock sends, read
// once before anything is sent, as the window reads it at the click.
std::optional<PageCommand> PageCommandFor(const Invocation& run,
                                          const commands::display::ClockValue& clock,
                                          PageValues& values);

}  // namespace cli
