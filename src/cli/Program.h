// tagbench-cli: the reader commands of the window from a shell, for batch provisioning, RS-485
// buses and scripts. It runs the window's own functions of commands/ and link/: the same frames,
// waits and messages, with a pacer that sleeps instead of keeping a window alive.
//
//   Registry    the subcommands, one entry each, and the usage texts made from them
//   subcommands/  each page's entries: arguments, requests, runs and printing
//   Options     the command line taken apart into values (usage errors: exit status 2)
//   Runner      one subcommand's run: a reader action, its outcome line or object
//   Output      text tables and JSON members shared by the pages
//   Plan        the provisioning table of `apply`
//   Operations  the reader work as values: scan, census, info, one command, card reading, a row
//   AccessWords   access conditions in words, for access-bits
//   Terminal    the pacer, Ctrl+C, progress on standard error, the frame trace
//   Json        one JSON object a line
//   Program     (here) parses the arguments and runs the subcommand's entry
//
// main() only adds what a process has: the port map of the machine, and whether standard error
// is a terminal.
#pragma once

#include <functional>
#include <iosfwd>
#include <string>
#include <vector>

#include "cli/Operations.h"
#include "platform/PortMap.h"

namespace cli {

struct Environment {
    // The port map, built only by subcommands that use ports.
    std::function<platform::PortMap()> ports;
    bool progress = false;  // standard error is a terminal: show progress there
    Lines lines;            // empty: the machine's ports, in real time
};

// Runs the arguments after the program name; returns the exit status.
int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
        const Environment& environment);

}  // namespace cli
