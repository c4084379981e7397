// The 14 line settings the window offers, in list order; the index is what the settings store
// keeps. The scan walks only the first 12: readers at 230400 are found by Link alone.
#pragma once

#include <array>
#include <string>

namespace tblink {

constexpr int kLineSettingsCount = 14;
constexpr int kScannedLineSettingsCount = 12;
constexpr int kDefaultLineSettingsIndex = 5;

constexpr std::array<const char*, kLineSettingsCount> kLineSettingsTexts = {
    "4800,n,8,1",   "4800,e,8,1",   "9600,n,8,1",   "9600,e,8,1",   "19200,n,8,1",
    "19200,e,8,1",  "38400,n,8,1",  "38400,e,8,1",  "57600,n,8,1",  "57600,e,8,1",
    "115200,n,8,1", "115200,e,8,1", "230400,n,8,1", "230400,e,8,1",
};

inline bool IsLineSettingsIndex(int index) { return index >= 0 && index < kLineSettingsCount; }

}  // namespace tblink
