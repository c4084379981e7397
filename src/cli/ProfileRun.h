// Reader profiles on the command line: `profile apply` and the `profile` column of `apply` share
// the applying; `--dry-run` shows the frames a change would send.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "actions/Profile.h"
#include "cli/Operations.h"

namespace cli {

struct ProfileApplied {
    std::vector<actions::profile::Result> results;
    Outcome outcome;  // its detail names what changed, and on failure what was already changed
    std::string changed, unchangedOrUnsent;
};
// Each change through its own action, at the target (which follows a new ID or line settings),
// then the read-out again.
ProfileApplied ApplyProfile(const Context& context, Target& target,
                            const actions::profile::Profile& profile,
                            const std::vector<actions::profile::Change>& changes);
// A plan row's profile, without its identity: none when it applied, else the outcome.
std::optional<Outcome> ApplyProfileRow(const Context& context, Target& target,
                                       const std::string& path, std::vector<std::string>& messages);

// The command texts a request sends to a reader that agrees to everything; nothing leaves the
// program.
std::vector<std::string> DryRunFrames(const actions::Request& request, const Target& target);

}  // namespace cli
