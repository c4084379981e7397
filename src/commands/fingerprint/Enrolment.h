// Fingerprint commands of a fingerprint reader (PX60, PX60-M): the facility code given to added
// fingerprints, enrolment and deletion of a slot, the slot's fingerprint ID, and the sensor's
// scan mode. Two attempts each, after a plain 50 ms pause, each opened by the reader check; any
// verified reply to the command counts as success.
//
// The fingerprint subsystem's header: Enrolment.h (this), Templates.h (a slot's template in
// three parts), StandAlone.h (the stand-alone door controller), Restart.h (the wait while the
// reader restarts after "R6"), TemplateFile.h (a template carried in a small text file).
#pragma once

#include <optional>
#include <string>

#include "commands/Session.h"

namespace commands::fingerprint {

// A finger number names a slot: the six digits of its panel, "000000" to "009500".
constexpr int kMaxFingerNumber = 9500;
// A fingerprint ID: 8 bytes, 16 hexadecimal characters.
constexpr int kFingerprintIdLength = 16;

// "K" + the five digits of the facility code panel, as they stand.
bool SetFacilityCode(const Session& session, const std::string& facilityCode);
// "M" + finger number: the reader enrols the finger put on it into the slot.
bool AddFingerprint(const Session& session, const std::string& fingerNumber);
// "N" + finger number.
bool DeleteFingerprint(const Session& session, const std::string& fingerNumber);

// "O" + finger number. The reply carries the ID at characters 7 to 22 in the reader's byte
// order; the result is that text in the window's order (ReverseHexBytes). A reply too short to
// hold all 16 characters fails the attempt rather than hand on its checksum and CR as part of
// an ID. The characters are not checked further.
std::optional<std::string> GetFingerprintId(const Session& session,
                                            const std::string& fingerNumber);
// "O" + finger number + "0" + ReverseHexBytes of `id` (trimmed of blanks and control characters
// at its ends). The ID is sent unchecked: a short one goes out short, unpadded.
bool SetFingerprintId(const Session& session, const std::string& fingerNumber,
                      const std::string& id);
// What SetFingerprintId sends after the prefix.
std::string SetFingerprintIdCommand(const std::string& fingerNumber, const std::string& id);

// "r" + the scan mode's item index (0 "Alway Scan" to 3 "Sensor Scan, Reset").
bool SetScanMode(const Session& session, int mode);

// `text` without the blanks and control characters (bytes up to 0x20) at its ends: how texts
// typed for the reader are taken. In every code page the window uses those bytes are never part
// of a wider character.
std::string TrimBlanks(const std::string& text);

}  // namespace commands::fingerprint
