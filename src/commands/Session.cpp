#include "commands/Session.h"

#include <cstdio>

namespace commands {
namespace {

constexpr int kPausePumpedMs = 100;
constexpr int kPausePlainMs = 50;

}  // namespace

bool Session::Send(const std::string& command) const {
    return link.Transact(prefix + command) == 1;
}

bool Session::SendTimed(const std::string& command, int silenceLimitMs) const {
    return link.TransactTimed(prefix + command, silenceLimitMs) == 1;
}

bool Session::SendBare(const std::string& text, int silenceLimitMs) const {
    return link.TransactTimed(text, silenceLimitMs) == 1;
}

bool Attempts(tblink::Pacer& pacer, int count, AttemptPause pause,
              const std::function<bool()>& attempt) {
    for (int i = 0; i < count; ++i) {
        if (pause == AttemptPause::KeptAlive100ms)
            pacer.PauseKeptAlive(kPausePumpedMs);
        else
            pacer.PausePlain(kPausePlainMs);
        if (attempt()) return true;
    }
    return false;
}

std::optional<std::string> ReaderCheck(const Session& session) {
    return ReaderCheck(session, tblink::ReaderLink::kDefaultSilenceLimitMs);
}

std::optional<std::string> ReaderCheck(const Session& session, int silenceLimitMs) {
    if (!session.SendTimed("B", silenceLimitMs) || session.ReplyLength() != kSerialReplyLength)
        return std::nullopt;
    return session.link.ReplyField(6, 8);
}

bool CheckedCommand(const Session& session, const std::string& command) {
    return ReaderCheck(session) && session.Send(command);
}

std::string TwoDigits(int value) {
    char text[16];
    std::snprintf(text, sizeof text, "%02d", value);
    return text;
}

}  // namespace commands
