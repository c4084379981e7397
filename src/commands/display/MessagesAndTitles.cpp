#include "commands/display/MessagesAndTitles.h"

namespace commands::display {
namespace {

bool TwoAttempts(const Session& session, const std::function<bool()>& attempt) {
    return Attempts(session.pacer, kUsualAttempts, AttemptPause::Plain50ms, attempt);
}

// The title list changed just before: the window gets to show it before each pause.
bool PumpedAttempts(const Session& session, const std::function<bool()>& attempt) {
    for (int i = 0; i < kUsualAttempts; ++i) {
        session.pacer.Pump();
        if (Attempts(session.pacer, 1, AttemptPause::Plain50ms, attempt)) return true;
    }
    return false;
}

// The reader check, then one text command with its own silence limit.
bool CheckedTimed(const Session& session, const std::string& command, int limitMs) {
    return ReaderCheck(session) && session.SendTimed(command, limitMs);
}

const char* TitleLetters(TitleLine line) { return line == TitleLine::First ? "L1" : "L3"; }

}  // namespace

std::string SmallMessageCommand(const std::string& text, TextCodePage page) {
    return "H" + FitToWidth(text, kSmallMessageBytes, page);
}

std::string ScreenMessageCommand(const std::string& text, TextCodePage page) {
    return "L4" + FitToWidth(text, kScreenMessageBytes, page);
}

std::string TitleCommand(TitleLine line, const std::string& text, TextCodePage page) {
    return TitleLetters(line) + FitToWidth(text, kTitleBytes, page);
}

std::string ClearTitleCommand(TitleLine line) {
    return TitleLetters(line) + std::string(kTitleBytes, ' ');
}

std::string TitleModeCommand(TitleMode mode) {
    return "L" + std::to_string(static_cast<int>(mode));
}

std::string ClearScreenMessageText() { return "J00L4" + std::string(kScreenMessageBytes, ' '); }

bool SetSmallMessage(const Session& session, const std::string& text, TextCodePage page) {
    const std::string command = SmallMessageCommand(text, page);
    return TwoAttempts(session, [&] { return CheckedTimed(session, command, kTextLimitMs); });
}

bool SetScreenMessage(const Session& session, const std::string& text, TextCodePage page) {
    const std::string command = ScreenMessageCommand(text, page);
    return TwoAttempts(session,
                       [&] { return CheckedTimed(session, command, kScreenMessageLimitMs); });
}

bool ClearScreenMessage(const Session& session) {
    const std::string text = ClearScreenMessageText();
    return TwoAttempts(session, [&] {
        return ReaderCheck(session) && session.SendBare(text, kScreenMessageLimitMs);
    });
}

bool SetTitleMode(const Session& session, TitleMode mode) {
    const std::string command = TitleModeCommand(mode);
    return TwoAttempts(session, [&] { return CheckedCommand(session, command); });
}

bool SetTitle(const Session& session, TitleLine line, const std::string& text, TextCodePage page) {
    const std::string title = TitleCommand(line, text, page);
    const std::string mode = TitleModeCommand(TitleMode::TextTitle);
    return PumpedAttempts(
        session, [&] { return CheckedTimed(session, title, kTextLimitMs) && session.Send(mode); });
}

bool ClearTitle(const Session& session, TitleLine line) {
    const std::string command = ClearTitleCommand(line);
    return TwoAttempts(session, [&] { return CheckedTimed(session, command, kTextLimitMs); });
}

IconOutcome SetTitleIcon(const Session& session, const IconSource& readIcon) {
    const std::string mode = TitleModeCommand(TitleMode::TextAndIconTitle);
    bool unreadable = false;
    const bool sent = PumpedAttempts(session, [&] {
        if (!ReaderCheck(session)) return false;
        const auto icon = readIcon();
        if (!icon) {
            // Ends the attempts: the title mode is not sent for an icon that never went out.
            unreadable = true;
            return true;
        }
        for (const std::string& part : IconCommands(*icon)) {
            session.SendBare(part, kTextLimitMs);
            session.pacer.PausePlain(kIconPartPauseMs);
        }
        return session.Send(mode);
    });
    if (unreadable) return IconOutcome::Unreadable;
    return sent ? IconOutcome::Sent : IconOutcome::Failed;
}

}  // namespace commands::display
