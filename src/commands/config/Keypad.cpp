#include "commands/config/Keypad.h"

namespace commands {
namespace {

bool Set(const Session& session, AttemptPause pause, const std::string& command) {
    return Attempts(session.pacer, kUsualAttempts, pause,
                    [&] { return CheckedCommand(session, command); });
}

// A get whose reply does not decode counts as a failed attempt.
template <typename Value>
std::optional<Value> Get(const Session& session, AttemptPause pause, const char* command,
                         std::optional<Value> (*decode)(const std::string&)) {
    std::optional<Value> value;
    Attempts(session.pacer, kUsualAttempts, pause, [&] {
        if (CheckedCommand(session, command)) value = decode(session.Reply());
        return value.has_value();
    });
    return value;
}

}  // namespace

bool SetKeyParity(const Session& session, int parity) {
    return Set(session, AttemptPause::KeptAlive100ms, "M" + std::to_string(parity));
}

std::optional<int> GetKeyParity(const Session& session) {
    return Get(session, AttemptPause::KeptAlive100ms, "M", DecodeKeyParity);
}

bool SetKeyNumber(const Session& session, const std::string& number) {
    return Set(session, AttemptPause::KeptAlive100ms, "L" + number);
}

std::optional<int> GetKeyNumber(const Session& session) {
    return Get(session, AttemptPause::Plain50ms, "L", DecodeKeyNumber);
}

bool SetKeyStatus(const Session& session, const std::string& number, const std::string& delay) {
    return Set(session, AttemptPause::Plain50ms, "N" + number + delay);
}

std::optional<KeyStatus> GetKeyStatus(const Session& session) {
    return Get(session, AttemptPause::Plain50ms, "N", DecodeKeyStatus);
}

}  // namespace commands
