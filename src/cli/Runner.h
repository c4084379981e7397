// One subcommand's run: its values, the lines, where it prints, and what every page does alike
// (the outcome line or object, a usage error, one reader action from its request to its outcome).
#pragma once

#include <iosfwd>
#include <optional>
#include <string>

#include "cli/Json.h"
#include "cli/Operations.h"
#include "cli/Options.h"
#include "commands/config/Keypad.h"
#include "commands/config/ReadOut.h"
#include "commands/display/SystemParameters.h"
#include "commands/fingerprint/Templates.h"

namespace cli {

struct Subcommand;

// What an action subcommand takes from a file and learns from the reader, for printing.
struct Values {
    commands::display::ClockValue clock;     // display-clock's, read once before anything is sent
    std::optional<std::string> block;        // read-block, write-block: the block's 32 characters
    std::optional<std::string> newId;        // factory-default: the ID the reader took
    bool iconUnreadable = false;             // title-icon: the file could not be read
    std::optional<std::string> fingerId;     // get-finger-id, in the window's order
    commands::fingerprint::TemplateGet got;  // get-template
    // put-template: the file's parts in the reader's code page, and what came of them.
    commands::fingerprint::TemplateParts templateParts;
    commands::fingerprint::TemplatePut templatePut = commands::fingerprint::TemplatePut::Written;
    // The gets.
    commands::ReadOutValues read;
    std::optional<commands::InterfaceSettings> interface;
    std::optional<commands::KeyStatus> keyStatus;
    // Where the reader was reached, and the link that reached it.
    Target where;
    const tblink::ReaderLink* link = nullptr;
};

// The object that ends every --json run: the same members whatever the subcommand, null where
// a text is empty ("detail" on success).
JsonObject OutcomeJson(const std::string& command, const Outcome& outcome);

struct Runner {
    const Subcommand& entry;
    const Invocation& run;
    std::ostream& out;
    std::ostream& err;
    Context& context;
    const platform::PortMap& ports;

    Target target() const;
    // The outcome that ends a subcommand: its message line, or its JSON object.
    int report(const Outcome& outcome, JsonObject extra = {});
    int usage(const std::string& message);
    // The entry's reader action: its request performed, an input that breaks its rule a usage
    // error, then what it prints and its outcome.
    int perform();
};

}  // namespace cli
