// A fingerprint reader restarts after "R6" and answers nothing for a while. The factory default
// and the stand-alone default both send "R6" and then wait for the reader the same way.
#pragma once

#include "commands/Session.h"

namespace commands::fingerprint {

constexpr int kRestartPolls = 300;
constexpr int kRestartPollPauseMs = 400;

// Up to 300 polls, each: a message pump, then prefix + "B"; any verified reply, of whatever
// length, ends the wait. An unanswered poll is followed by 400 ms kept alive and a progress
// tick, waited out (50 ms), so the user hears that the window is still waiting. True when the
// reader answered.
bool AwaitRestart(const Session& session);

}  // namespace commands::fingerprint
