// The requests of the subcommands that are one button each on the window's MIFARE, display,
// fingerprint and common pages: the command line's values in place of the controls.
#pragma once

#include <optional>
#include <string>

#include "actions/Procedure.h"
#include "cli/Options.h"
#include "commands/display/SystemParameters.h"
#include "commands/fingerprint/Templates.h"

namespace cli {

// What a page command takes from a file, and what it learnt, for printing.
struct PageValues {
    std::optional<std::string> block;        // read-block, write-block: the block's 32 characters
    std::optional<std::string> newId;        // factory-default: the ID the reader took
    bool iconUnreadable = false;             // title-icon: the file could not be read
    std::optional<std::string> fingerId;     // get-finger-id, in the window's order
    commands::fingerprint::TemplateGet got;  // get-template
    // put-template: the file's parts in the reader's code page, and what came of them.
    commands::fingerprint::TemplateParts templateParts;
    commands::fingerprint::TemplatePut templatePut = commands::fingerprint::TemplatePut::Written;
};

// `clock` is what display-clock sends, read once before anything is sent, as the window reads it
// at the click. `values` must outlive the request.
actions::Request PageRequest(const Invocation& run, const commands::display::ClockValue& clock,
                             PageValues& values);

}  // namespace cli
