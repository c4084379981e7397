// The items of the window's fixed lists, in item order. A list index that a command sends or a
// reply carries names the item at that position; the texts are the same English words in every
// language. The window fills its drop-down lists from here and tagbench-cli prints them.
#pragma once

#include <array>

#include "commands/config/Identity.h"
#include "commands/config/ReadOut.h"

namespace commands {

inline constexpr std::array<const char*, kModeCount> kModeItems = {"Wiegand", "RS485"};
inline constexpr std::array<const char*, kWiegandCount> kWiegandItems = {"Wiegand 26", "Wiegand 34",
                                                                         "Wiegand 42"};
inline constexpr std::array<const char*, kRs485Count> kRs485Items = {"RS485 24", "RS485 32",
                                                                     "RS485 40", "RS485 64"};
inline constexpr std::array<const char*, kCardTypeCount> kCardTypeItems = {"EM", "KORVA",
                                                                           "SECURITY"};
inline constexpr std::array<const char*, 2> kResetModeItems = {"Disable", "Enabled"};
inline constexpr std::array<const char*, kKeyParityCount> kKeyParityItems = {"No Parity 4 bits",
                                                                             "With Parity"};
inline constexpr std::array<const char*, kKeyErrorCount> kKeyErrorItems = {"None", "LED", "BEEP",
                                                                           "BEEP+LED"};

}  // namespace commands
