// Card reading: decoding the poll replies of plain ("F") and two-way ("I") reading, and the two
// card settings.
#pragma once

#include <string>

namespace tblink {
class ReaderLink;
}

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

// Set card type: after the reader check, a pause of 100 ms, then "A" + the list index.
bool SetCardType(tblink::ReaderLink& link, const std::string& prefix, int cardType);
// Set card read mode: "W" + the reset-mode index + "00".
bool SetCardReadMode(tblink::ReaderLink& link, const std::string& prefix, int resetMode);

}  // namespace commands
