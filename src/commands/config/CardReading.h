// Card reading: decoding the poll replies of plain ("F") and two-way ("I") reading, and the two
// card settings.
#pragma once

#include <functional>
#include <string>

#include "commands/Session.h"

namespace commands {

// What one poll reply means for the window.
struct PollOutcome {
    enum class Show {
        Nothing,  // the message panel stays as it is
        CardId,   // the catalogue's "Card ID", then `text`
        Keys,     // `text` alone ("KEY : ...")
    };
    bool data = false;  // longer than 9 bytes: the card lamp lights, whatever it carries
    Show show = Show::Nothing;
    std::string text;
    bool answer = false;  // two-way: the card must be answered with "J", "J", "H1"/"H2"
};

// " : %010u(D)  ": the decimal form of 8 hex digits.
std::string DecimalCardId(const std::string& hex8);

PollOutcome DecodePlainPoll(const std::string& reply, int replyLength);
PollOutcome DecodeTwoWayPoll(const std::string& reply, int replyLength);

// Plain reading polls with "F"; two-way reading with "I" and answers every card.
enum class CardLoop { Plain, TwoWay };
enum class CardLoopEnd {
    Stopped,     // the user asked the loop to end; it ended after its current poll
    PollFailed,  // a poll got no good reply: the reader is gone
};

// Polls until the pacer says the user stopped it or a poll fails. Before each poll the window
// gets five pumps 10 ms apart. Every decoded reply goes to `show`; a two-way card is then
// answered with "J", "J" and "H2" when `refuse` says so, else "H1" (their replies do not
// matter).
CardLoopEnd ReadCards(const Session& session, CardLoop loop,
                      const std::function<void(const PollOutcome&)>& show,
                      const std::function<bool()>& refuse);

// Set card type: two attempts after kept-alive pauses; after the reader check a further plain
// 100 ms, then "A" + the list index.
bool SetCardType(const Session& session, int cardType);
// Set card read mode: two attempts after plain pauses; "W" + the reset-mode index + "00".
bool SetCardReadMode(const Session& session, int resetMode);

}  // namespace commands
