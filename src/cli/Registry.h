// tagbench-cli's subcommands, one entry each: what the usage texts say of it, the options it
// takes, the reader actions it can run, how its arguments become values and those values its
// request, and what it prints. The usage texts are made from the entries; so may be a manual
// page or a shell's completion. Each page's file under subcommands/ holds that page's entries.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "actions/Action.h"
#include "actions/Procedure.h"
#include "cli/Json.h"
#include "cli/Options.h"
#include "commands/ReaderTypes.h"

namespace cli {

struct Runner;
struct Outcome;
struct Values;
struct Connection;

struct Option {
    std::string name;   // without its dashes: "key-hex"
    std::string value;  // what the help calls its value ("KEY"); empty: a flag
    std::string help;   // its lines, without their indent
    char shortName = 0;
};

// The reader types a subcommand is for: those that show a function page.
struct TypeRule {
    commands::FunctionPage page;
    const char* lacking;  // what a type without the page has none of: "MIFARE functions"
    bool listed;          // the subcommand's help lists the types
};

using Arguments = std::vector<std::string>;

struct Subcommand {
    std::string name;
    std::string synopsis;  // its arguments, as the usage line shows them
    std::string summary;   // one line
    std::string help;      // lines before its options
    std::vector<Option> options;
    std::string helpAfter;          // lines after its options
    const char* section = nullptr;  // the overview's heading above this subcommand
    int argumentCount = 0;
    int optionalArguments = 0;  // how many of the last arguments may be left out
    bool needsPort = true;
    bool needsType = false;  // the help says --type is required; `arguments` refuses without it
    bool listsLineSettings = false;
    std::optional<TypeRule> types;
    std::vector<actions::ActionId> actions;  // the reader actions it can run
    // The options every subcommand takes that this one has no use for: giving one is an error.
    std::vector<std::string> ignores;

    // Its arguments into the values; false with the reading's error set. Empty: nothing to read.
    std::function<bool(Reading&, const Arguments&)> arguments;
    // A subcommand of one reader action: its request from the values; before it (may be empty)
    // what it reads from files, false when a usage error was said; after it (may be empty) what
    // it prints ahead of the outcome, and the outcome's JSON members.
    std::function<actions::Request(const Invocation&, Values&)> request;
    std::function<bool(Runner&, Values&)> prepare;
    // (may be empty) Before the request's first frame, once its inputs keep their rules: an
    // outcome that stops it there.
    std::function<std::optional<Outcome>(Runner&, Connection&)> guard;
    std::function<JsonObject(Runner&, Outcome&, Values&)> print;
    // Any other subcommand runs whole; its exit status.
    std::function<int(Runner&)> run;
};

// Every subcommand, in the order of the overview.
const std::vector<Subcommand>& Subcommands();
const Subcommand* SubcommandNamed(std::string_view name);
// The options every subcommand takes.
const std::vector<Option>& CommonOptions();

// The usage text: of one subcommand, or (null) the overview of all.
std::string Usage(const Subcommand* entry);
// Pieces of the usage texts that the manual page shows too: what the program is, the lines
// after a subcommand's options (line settings, types, what is required), and the exit statuses.
std::string ProgramIntro();
std::string UsageNotes(const Subcommand& entry);
std::string ExitStatusHelp();

// An entry with its usage lines, for a reader command; the rest is set field by field.
Subcommand Entry(std::string name, std::string synopsis, int argumentCount, std::string summary,
                 std::string help = {});

// Each page's entries.
std::vector<Subcommand> BusSubcommands();
std::vector<Subcommand> ConfigSubcommands();
std::vector<Subcommand> UtilitySubcommands();
std::vector<Subcommand> MifareSubcommands();
std::vector<Subcommand> DisplaySubcommands();
std::vector<Subcommand> FingerprintSubcommands();
std::vector<Subcommand> ManyReaderSubcommands();
std::vector<Subcommand> ProfileSubcommands();

}  // namespace cli
