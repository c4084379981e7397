// Keypad settings: set and get of the key parity, the key number and the key-status code. Two
// attempts each, opened by the reader check. Parity and Set key number pause 100 ms kept alive
// before each attempt; Get key number and both key-status commands 50 ms plain.
#pragma once

#include <optional>
#include <string>

#include "commands/Session.h"
#include "commands/config/ReadOut.h"

namespace commands {

bool SetKeyParity(const Session& session, int parity);
std::optional<int> GetKeyParity(const Session& session);

// The numbers travel as the two-digit texts of their panels.
bool SetKeyNumber(const Session& session, const std::string& number);
std::optional<int> GetKeyNumber(const Session& session);

bool SetKeyStatus(const Session& session, const std::string& number, const std::string& delay);
std::optional<KeyStatus> GetKeyStatus(const Session& session);

}  // namespace commands
