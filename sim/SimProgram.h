// The tagbench-sim program as functions: its options, and a run that serves the lines until asked
// to stop. main() only adds the signal handling, so the options can be tested without a process.
#pragma once

#include <atomic>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "SimLine.h"
#include "SimReader.h"

namespace tbsim {

struct ProgramLine {
    std::vector<ReaderConfig> readers;  // empty: one default reader
    FaultPlan fault;
    std::string link;  // a symbolic link to the device path, removed on exit; empty: none
};

struct ProgramOptions {
    std::vector<ProgramLine> lines{1};
    bool quiet = false;
    bool pacing = true;
    bool interactive = false;  // take card, keys, data, display, mifare and remove lines
    bool help = false;
};

struct ParsedOptions {
    std::optional<ProgramOptions> options;
    std::string error;  // set when options is empty
};

// Options without the program name.
ParsedOptions ParseProgramOptions(const std::vector<std::string>& args);
// "NAME[:MS_OR_LENGTH[:TIMES]]", e.g. "late:400", "line-gone:5", "silence::1".
std::optional<FaultPlan> ParseFaultText(const std::string& text, std::string& error);
std::string ProgramUsage();

// One line typed at an interactive tagbench-sim: "card HEX[:KEYS]", "keys KEYS" or
// "data TEXT", presented once (for the next card poll) to every reader given; "mifare 1K|4K
// [UID]" puts a new MIFARE card in the field of every MIFARE reader given, "remove" takes it
// away. False, with the reason in `error`, for a line of another form, when a reader's queue is
// full, or for a MIFARE line without a MIFARE reader.
bool ApplyConsoleLine(const std::string& line, const std::vector<SimReader*>& readers,
                      std::string& error);

// Starts the lines, prints each device path on `out` (one a line, flushed, first line first),
// then serves until `stop` turns true. Returns the exit code: 0, 1 when a line or link cannot be
// made, 2 for bad options.
int RunProgram(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
               const std::atomic<bool>& stop);

}  // namespace tbsim
