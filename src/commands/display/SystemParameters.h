// The display's own system parameters: its language, password, screen mode and clock with the
// hour format. Set only, never read back. Two attempts, each after a plain 50 ms pause and opened
// by the reader check; any verified reply to a set command is success.
#pragma once

#include <string>

#include "commands/Session.h"

namespace commands::display {

// The display's language codes follow its own list, not the window's language index:
// Traditional Chinese is 1 here and 2 in the window.
enum class DisplayLanguage { English = 0, TraditionalChinese = 1, SimplifiedChinese = 2 };
enum class ScreenMode { DateAndTime = 0, TimeOnly = 1 };
enum class HourFormat { TwelveHour = 0, TwentyFourHour = 1 };

// Local date and time as the window read it at the click; hour 0 to 23.
struct ClockValue {
    int year = 0;
    int month = 0;
    int day = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;
};

// The command texts after the prefix.
std::string LanguageCommand(DisplayLanguage language);     // "N" + d
std::string PasswordCommand(const std::string& password);  // "O" + the password as it stands
std::string ScreenModeCommand(ScreenMode mode);            // "K3" + d
std::string ClockCommand(const ClockValue& clock);         // "T" + "%04d%02d%02d%02d%02d%02d"
std::string HourFormatCommand(HourFormat format);          // "T" + d

bool SetDisplayLanguage(const Session& session, DisplayLanguage language);
// The password's bytes, 0 to 4 of them, neither trimmed nor padded.
bool SetDisplayPassword(const Session& session, const std::string& password);
bool SetScreenMode(const Session& session, ScreenMode mode);
// The clock, then the hour format once the clock was taken; a second attempt sends the same
// clock value again.
bool SetClock(const Session& session, const ClockValue& clock, HourFormat format);

}  // namespace commands::display
