// System utility: the two free command tests, reboot, and the factory default that brings a
// reader back to its delivery settings (ID 01, Wiegand 26, 19200,e,8,1).
#pragma once

#include <functional>
#include <string>

#include "commands/ReaderTypes.h"
#include "commands/Session.h"

namespace commands {

// The command test: one exchange of prefix + the typed text after a kept-alive pause. Refused,
// with nothing sent, when the text would not fit in a frame.
bool CommandTest(const Session& session, const std::string& typed);
// The second command test: the session's prefix is the start character alone and the typed
// text carries its own address; a plain pause before the one exchange.
bool CommandTestAddressed(const Session& session, const std::string& typed);

// The reply's data field (characters 6 up to the checksum) of the last exchange.
std::string ReplyDataField(const Session& session);

// "HR" once, after a plain pause, without the reader check.
bool Reboot(const Session& session);

struct FactoryDefaultHooks {
    // The reader has taken ID 01: every later command, a second attempt's too, goes to 01.
    std::function<void(const std::string& newId)> readdressed;
    // The sequence is about to start: the window puts the type's controls back.
    std::function<void()> sequenceStarting;
};

// Up to two attempts of: the reader check, "C" + serial + "01", then the type's sequence.
// `session` is addressed to the reader's current ID.
bool FactoryDefault(const Session& session, const FactoryDefaultPlan& plan,
                    const FactoryDefaultHooks& hooks);

}  // namespace commands
