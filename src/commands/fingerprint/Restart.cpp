#include "commands/fingerprint/Restart.h"

namespace commands::fingerprint {

bool AwaitRestart(const Session& session) {
    for (int poll = 0; poll < kRestartPolls; ++poll) {
        session.pacer.Pump();
        if (session.Send("B")) return true;
        session.pacer.PauseKeptAlive(kRestartPollPauseMs);
        session.pacer.Tick();
        // The restarting reader is polled every silence limit + 400 ms + the tone's 50 ms.
        session.pacer.PausePlain(tblink::kTickMs);
    }
    return false;
}

}  // namespace commands::fingerprint
