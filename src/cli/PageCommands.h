// The subcommands that are one button each on the window's MIFARE, display, fingerprint and
// common pages:
// the button's messages and the commands/ function it calls, with the command line's values in
// place of the controls.
#pragma once

#include <optional>
#include <string>

#include "cli/Operations.h"
#include "cli/Options.h"
#include "commands/display/SystemParameters.h"
#include "commands/fingerprint/Templates.h"

namespace cli {

// What a page command takes from a file, and what it learnt, for printing.
struct PageValues {
    std::optional<std::string> block;     // read-block, write-block: the block's 32 characters
    std::optional<std::string> newId;     // factory-default: the ID the reader took
    bool iconUnreadable = false;          // title-icon: the file could not be read
    std::optional<std::string> fingerId;  // get-finger-id, in the window's order
    commands::fingerprint::TemplateGet template_;  // get-template
    // put-template: the file's parts in the reader's code page, and what came of them.
    commands::fingerprint::TemplateParts templateParts;
    commands::fingerprint::TemplatePut templatePut = commands::fingerprint::TemplatePut::Written;
};

struct PageCommand {
    CommandTexts texts;
    Action action;
};

// The window's finger number panel: six digits, "000001".
std::string FingerNumberText(int number);

// Nullopt for a subcommand that is none of these. `clock` is what display-clock sends, read
// once before anything is sent, as the window reads it at the click.
std::optional<PageCommand> PageCommandFor(const Invocation& run,
                                          const commands::display::ClockValue& clock,
                                          PageValues& values);

}  // namespace cli
