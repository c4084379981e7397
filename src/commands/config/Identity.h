// Identity, line and output: reader ID, line settings and output interface. Each command makes
// two attempts after kept-alive pauses; each attempt opens with the reader check.
#pragma once

#include <optional>
#include <string>

#include "commands/ReaderSettings.h"
#include "commands/Session.h"

namespace commands {

// How many items each output list has; an index outside them is not a valid reply.
constexpr int kModeCount = 2;
constexpr int kWiegandCount = 3;
constexpr int kRs485Count = 4;
constexpr int kCardTypeCount = 3;

// "C" + the serial number from the reader check + the new ID's two digits as shown.
bool SetReaderId(const Session& session, const std::string& newId);

// The line-settings index as the reader takes it: one upper-case hex digit, "0".."D".
char LineSettingsDigit(int index);
bool SetLineSettings(const Session& session, int index);

// "A" + the three list indexes.
bool SetInterface(const Session& session, const InterfaceSettings& settings);
// The interface as the reader reports it (reply characters 6, 7, 8); nullopt when both attempts
// failed or a field is not a digit naming an item of its list.
std::optional<InterfaceSettings> GetInterface(const Session& session);

}  // namespace commands
