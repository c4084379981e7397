#include "commands/config/CardReading.h"

#include <cstdio>

#include "link/ReplyFields.h"

namespace commands {
namespace {

constexpr int kNoData = 9;  // a reply this long or shorter carries nothing
constexpr int kPumpsBeforePoll = 5;
constexpr int kPumpPauseMs = 10;
constexpr int kAnswerPauseMs = 10;
constexpr int kVerdictPauseMs = 50;
constexpr int kCardTypePauseMs = 100;

// Reply characters a to b (1-based, inclusive); empty when b < a.
std::string Characters(const std::string& reply, int from, int to) {
    return to < from ? std::string() : tblink::ReplyField(reply, from, to - from + 1);
}

bool IsKeypadEntry(const std::string& reply) { return tblink::ReplyField(reply, 7, 1) == "K"; }

PollOutcome Keys(const std::string& reply, int length) {
    PollOutcome outcome{true, PollOutcome::Show::Nothing, {}, false};
    if (length > 10) {
        outcome.show = PollOutcome::Show::Keys;
        outcome.text = "KEY : " + Characters(reply, 8, length - 3);
    }
    return outcome;
}

PollOutcome Card(std::string text) {
    return {true, PollOutcome::Show::CardId, std::move(text), false};
}

// The card in 8 hex digits at `from`, in decimal and as written.
std::string Card8(const std::string& reply, int from) {
    const std::string hex = Characters(reply, from, from + 7);
    return DecimalCardId(hex) + hex + "(H)";
}

}  // namespace

std::string DecimalCardId(const std::string& hex8) {
    char text[32];
    std::snprintf(text, sizeof text, " : %010u(D)  ", tblink::HexToInt32(hex8));
    return text;
}

PollOutcome DecodePlainPoll(const std::string& reply, int length) {
    if (length <= kNoData) return {};
    if (length == 17) return Card(Card8(reply, 7));
    if (IsKeypadEntry(reply)) return Keys(reply, length);
    if (length == 18) return Card(Card8(reply, 8));
    if (length == 26) return Card(" : " + Characters(reply, 8, 23) + "(H)");
    if (length == 25) return Card(" : " + Characters(reply, 7, 22) + "(H)");
    if (length >= 20 && tblink::ReplyField(reply, 16, 1) == "K")
        return Card(Card8(reply, 8) + "  KEY:" + Characters(reply, 17, length - 3));
    if (length >= 20) {
        return Card(DecimalCardId(Characters(reply, 16, 23)) + Characters(reply, 8, 23) +
                    "(H)  KEY:" + Characters(reply, 25, length - 3));
    }
    return {true, PollOutcome::Show::Nothing, {}, false};  // 10 to 16, or 19: the lamp only
}

PollOutcome DecodeTwoWayPoll(const std::string& reply, int length) {
    if (length <= kNoData) return {};
    if (IsKeypadEntry(reply)) return Keys(reply, length);
    const std::string masked = tblink::MaskHex16(Characters(reply, 8, 23));
    std::string text = DecimalCardId(masked.substr(8)) + masked + "(H)";
    if (length > 26) text += "  KEY:" + Characters(reply, 25, length - 3);
    PollOutcome outcome = Card(std::move(text));
    outcome.answer = true;
    return outcome;
}

// After each two-way card the reader waits for two "J" and the verdict.
void AnswerTwoWayCard(const Session& session, bool refuse) {
    session.pacer.PausePlain(kAnswerPauseMs);
    session.Send("J");
    session.pacer.PausePlain(kAnswerPauseMs);
    session.Send("J");
    session.pacer.PausePlain(kVerdictPauseMs);
    session.Send(refuse ? "H2" : "H1");
}

CardLoopEnd ReadCards(const Session& session, CardLoop loop,
                      const std::function<void(const PollOutcome&)>& show,
                      const std::function<bool()>& refuse) {
    const char* poll = loop == CardLoop::Plain ? "F" : "I";
    while (!session.pacer.Stopped()) {
        for (int i = 0; i < kPumpsBeforePoll; ++i) {
            session.pacer.Pump();
            session.pacer.PausePlain(kPumpPauseMs);
        }
        if (!session.Send(poll)) return CardLoopEnd::PollFailed;
        const PollOutcome outcome = loop == CardLoop::Plain
                                        ? DecodePlainPoll(session.Reply(), session.ReplyLength())
                                        : DecodeTwoWayPoll(session.Reply(), session.ReplyLength());
        if (show) show(outcome);
        if (outcome.answer) AnswerTwoWayCard(session, refuse && refuse());
    }
    return CardLoopEnd::Stopped;
}

bool SetCardType(const Session& session, int cardType) {
    return Attempts(session.pacer, kUsualAttempts, AttemptPause::KeptAlive100ms, [&] {
        if (!ReaderCheck(session)) return false;
        session.pacer.PausePlain(kCardTypePauseMs);
        return session.Send("A" + std::to_string(cardType));
    });
}

bool SetCardReadMode(const Session& session, int resetMode) {
    return Attempts(session.pacer, kUsualAttempts, AttemptPause::Plain50ms, [&] {
        return CheckedCommand(session, "W" + std::to_string(resetMode) + "00");
    });
}

}  // namespace commands
