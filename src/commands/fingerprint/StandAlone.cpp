#include "commands/fingerprint/StandAlone.h"

#include "commands/fingerprint/Enrolment.h"
#include "commands/fingerprint/Restart.h"

namespace commands::fingerprint {
namespace {

bool Checked(const Session& session, const std::string& command) {
    return Attempts(session.pacer, kUsualAttempts, AttemptPause::Plain50ms,
                    [&] { return CheckedCommand(session, command); });
}

// Wiegand output, Wiegand 26, RS485 32 held ready.
constexpr const char* kDeliveryInterface = "A001";
// In this order, their answers not looked at: "S0", door time 5 s, alarm time 30 s, facility
// code 0, "K" with the reader's fixed 8-byte mask 5C 17 A3 E8 42 9B 06 D1, and "R6", after
// which the reader restarts.
constexpr const char* kUncheckedSettings[] = {
    "S0", "R10005", "R20030", "K00000", "K5C17A3E8429B06D1", "R6"};
// Line settings item 5: 19200,e,8,1.
constexpr const char* kDeliveryLine = "E5";

}  // namespace

bool SetStandAloneMode(const Session& session) { return Checked(session, "R01"); }

bool SetDoorTime(const Session& session, const std::string& seconds) {
    return Checked(session, "R1" + TrimBlanks(seconds));
}

bool SetAlarmTime(const Session& session, const std::string& seconds) {
    return Checked(session, "R2" + TrimBlanks(seconds));
}

bool SetAddCard(const Session& session) { return Checked(session, "R3"); }
bool SetDuressCard(const Session& session) { return Checked(session, "R4"); }
bool SetClearCard(const Session& session) { return Checked(session, "R5"); }

bool StandAloneDefault(const Session& session) {
    return Attempts(session.pacer, kUsualAttempts, AttemptPause::Plain50ms, [&] {
        const auto serial = ReaderCheck(session);
        if (!serial) return false;
        if (!session.Send("C" + *serial + TwoDigits(kDefaultReaderId))) return false;
        if (!session.Send(kDeliveryInterface)) return false;
        for (const char* setting : kUncheckedSettings) session.Send(setting);
        // "E5" goes out whether or not the reader ever answered again.
        AwaitRestart(session);
        return session.Send(kDeliveryLine);
    });
}

}  // namespace commands::fingerprint
