#include "commands/display/SystemParameters.h"

#include <cstdio>

namespace commands::display {
namespace {

bool TwoAttempts(const Session& session, const std::function<bool()>& attempt) {
    return Attempts(session.pacer, kUsualAttempts, AttemptPause::Plain50ms, attempt);
}

bool Set(const Session& session, const std::string& command) {
    return TwoAttempts(session, [&] { return CheckedCommand(session, command); });
}

std::string Digit(int value) { return std::to_string(value); }

}  // namespace

std::string LanguageCommand(DisplayLanguage language) {
    return "N" + Digit(static_cast<int>(language));
}

std::string PasswordCommand(const std::string& password) { return "O" + password; }

std::string ScreenModeCommand(ScreenMode mode) { return "K3" + Digit(static_cast<int>(mode)); }

std::string ClockCommand(const ClockValue& clock) {
    char digits[64];
    std::snprintf(digits, sizeof digits, "%04d%02d%02d%02d%02d%02d", clock.year, clock.month,
                  clock.day, clock.hour, clock.minute, clock.second);
    return std::string("T") + digits;
}

std::string HourFormatCommand(HourFormat format) { return "T" + Digit(static_cast<int>(format)); }

bool SetDisplayLanguage(const Session& session, DisplayLanguage language) {
    return Set(session, LanguageCommand(language));
}

bool SetDisplayPassword(const Session& session, const std::string& password) {
    return Set(session, PasswordCommand(password));
}

bool SetScreenMode(const Session& session, ScreenMode mode) {
    return Set(session, ScreenModeCommand(mode));
}

bool SetClock(const Session& session, const ClockValue& clock, HourFormat format) {
    const std::string clockCommand = ClockCommand(clock);
    const std::string formatCommand = HourFormatCommand(format);
    return TwoAttempts(session, [&] {
        return CheckedCommand(session, clockCommand) && session.Send(formatCommand);
    });
}

}  // namespace commands::display
