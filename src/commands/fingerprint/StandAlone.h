// The stand-alone door controller of a fingerprint reader: the mode switch, the door and alarm
// times, the add, duress and clear cards, and the stand-alone default sequence. Two attempts
// each, after a plain 50 ms pause, each opened by the reader check; any verified reply to a
// command counts as its success.
#pragma once

#include <string>

#include "commands/Session.h"

namespace commands::fingerprint {

// "R01": the reader becomes a stand-alone door controller.
bool SetStandAloneMode(const Session& session);
// "R1" / "R2" + the seconds as typed, trimmed of blanks at the ends: "  12" goes out as "12",
// an empty box as nothing at all. No zeros are added.
bool SetDoorTime(const Session& session, const std::string& seconds);
bool SetAlarmTime(const Session& session, const std::string& seconds);
// "R3", "R4", "R5": the reader takes the next card shown as its add, duress or clear card.
bool SetAddCard(const Session& session);
bool SetDuressCard(const Session& session);
bool SetClearCard(const Session& session);

// The stand-alone defaults the sequence gives the reader, and the window shows afterwards.
constexpr int kDefaultReaderId = 1;
constexpr int kDefaultFacilityCode = 0;
constexpr const char* kDefaultDoorTime = "0005";
constexpr const char* kDefaultAlarmTime = "0030";

// One attempt: the reader check (whose serial number it keeps); "C" + serial + "01" and "A001",
// both required; "S0", "R10005", "R20030", "K00000", "K5C17A3E8429B06D1" and "R6", their answers
// not looked at; the wait while the reader restarts (Restart.h), at once after "R6"; then
// "E5", whose success is the sequence's. Every command goes to the session's prefix: the
// reader's new ID 01 is not used, nor the new line settings.
bool StandAloneDefault(const Session& session);

}  // namespace commands::fingerprint
