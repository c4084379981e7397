// Keypad settings: one attempt of each set and get (after the reader check).
#pragma once

#include <optional>
#include <string>

#include "commands/config/ReadOut.h"

namespace tblink {
class ReaderLink;
}

namespace commands {

bool SetKeyParity(tblink::ReaderLink& link, const std::string& prefix, int parity);
std::optional<int> GetKeyParity(tblink::ReaderLink& link, const std::string& prefix);

// The numbers travel as the two-digit texts of their panels.
bool SetKeyNumber(tblink::ReaderLink& link, const std::string& prefix, const std::string& number);
std::optional<int> GetKeyNumber(tblink::ReaderLink& link, const std::string& prefix);

bool SetKeyStatus(tblink::ReaderLink& link, const std::string& prefix, const std::string& number,
                  const std::string& delay);
std::optional<KeyStatus> GetKeyStatus(tblink::ReaderLink& link, const std::string& prefix);

}  // namespace commands
