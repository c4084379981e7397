#include "commands/config/SystemUtility.h"

#include "commands/fingerprint/Restart.h"
#include "link/Frame.h"
#include "link/ReplyFields.h"

namespace commands {
namespace {

constexpr int kTestPauseMs = 100;
constexpr int kTest2PauseMs = 50;
constexpr int kRebootPauseMs = 50;
constexpr int kBeforeReaddressMs = 50;
constexpr int kAfterReaddressMs = 200;
constexpr int kBetweenCommandsMs = 200;
constexpr int kAfterRestartMs = 200;

bool Fits(const Session& session, const std::string& typed) {
    return session.prefix.size() + typed.size() <= tblink::kMaxCommandLength;
}

// The type's commands; true when the last one succeeded and no required one failed.
bool SendSequence(const Session& session, const FactoryDefaultPlan& plan) {
    if (plan.restartFirst) {
        // The sequence goes on whether or not the reader ever answers again.
        session.Send("R6");
        session.pacer.PauseKeptAlive(kAfterRestartMs);
        fingerprint::AwaitRestart(session);
    }
    bool last = false;
    for (std::size_t i = 0; i < plan.commands.size(); ++i) {
        if (plan.spaced && i > 0) session.pacer.PauseKeptAlive(kBetweenCommandsMs);
        last = session.Send(plan.commands[i].text);
        if (!last && plan.commands[i].required) return false;
    }
    return last;
}

}  // namespace

bool CommandTest(const Session& session, const std::string& typed) {
    if (!Fits(session, typed)) return false;
    session.pacer.PauseKeptAlive(kTestPauseMs);
    return session.Send(typed);
}

bool CommandTestAddressed(const Session& session, const std::string& typed) {
    if (!Fits(session, typed)) return false;
    session.pacer.PausePlain(kTest2PauseMs);
    return session.Send(typed);
}

std::string ReplyDataField(const Session& session) {
    const int length = session.ReplyLength();
    return tblink::ReplyField(session.Reply(), 6, length - 8);
}

bool Reboot(const Session& session) {
    session.pacer.PausePlain(kRebootPauseMs);
    return session.Send("HR");
}

bool FactoryDefault(const Session& session, const FactoryDefaultPlan& plan,
                    const FactoryDefaultHooks& hooks) {
    Session current = session;
    const std::string deliveryId = TwoDigits(plan.delivery.id);
    return Attempts(current.pacer, kUsualAttempts, AttemptPause::KeptAlive100ms, [&] {
        const auto serial = ReaderCheck(current);
        if (!serial) return false;
        current.pacer.PausePlain(kBeforeReaddressMs);
        if (!current.Send("C" + *serial + deliveryId)) return false;
        current.pacer.PauseKeptAlive(kAfterReaddressMs);
        current.prefix = current.prefix.substr(0, 1) + deliveryId;
        if (hooks.readdressed) hooks.readdressed(deliveryId);
        if (hooks.sequenceStarting) hooks.sequenceStarting();
        return SendSequence(current, plan);
    });
}

}  // namespace commands
