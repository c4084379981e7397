// The settings read-out, the card poll replies and the config gets: the decoders on a reply
// text, and the same commands run through the link against replies from the input.
#include <cstdint>
#include <string>

#include "FuzzReader.h"
#include "commands/ReaderTypes.h"
#include "commands/config/CardReading.h"
#include "commands/config/Identity.h"
#include "commands/config/Keypad.h"
#include "commands/config/ReadOut.h"
#include "commands/config/SystemUtility.h"

namespace {

using fuzz::Check;

bool Below(const std::optional<int>& value, int count) {
    return !value || (*value >= 0 && *value < count);
}

// Whatever the replies, a list index the read-out hands the window names an item of its list.
void CheckValues(const commands::ReadOutValues& values) {
    Check(Below(values.mode, commands::kModeCount) &&
              Below(values.wiegand, commands::kWiegandCount) &&
              Below(values.rs485, commands::kRs485Count) &&
              Below(values.cardType, commands::kCardTypeCount) &&
              Below(values.keyParity, commands::kKeyParityCount) &&
              Below(values.idKeyError, commands::kKeyErrorCount),
          "read-out list index names an item");
}

void CheckPoll(const commands::PollOutcome& outcome, int replyLength) {
    Check(outcome.data == (replyLength > 9), "the card lamp lights for data alone");
}

const commands::ReadOutPlan& PlanOf(fuzz::Input& in) {
    return commands::ReaderTypes()[static_cast<std::size_t>(in.below(commands::kReaderTypeCount))]
        .readOut;
}

void Decoders(fuzz::Input& in) {
    const commands::ReadOutPlan& plan = PlanOf(in);
    const int replyLength = in.below(64);
    const std::string reply = in.rest();
    commands::ReadOutValues values;
    (void)commands::DecodeOutputReply(reply, replyLength, plan, values);
    (void)commands::DecodeCardIdLocation(reply, values);
    CheckValues(values);
    Check(Below(commands::DecodeKeyParity(reply), commands::kKeyParityCount), "key parity item");
    (void)commands::DecodeKeyNumber(reply);
    (void)commands::DecodeKeyStatus(reply);
    if (const auto id = commands::FoundReaderId(reply))
        Check(*id != "00" && id->size() == 2, "found ID addresses a reader");
    (void)commands::VersionText(reply, replyLength);
    Check(commands::DecimalCardId(reply).size() == 18, "decimal card ID width");
    CheckPoll(commands::DecodePlainPoll(reply, replyLength), replyLength);
    CheckPoll(commands::DecodeTwoWayPoll(reply, replyLength), replyLength);
}

void Commands(int which, fuzz::Input& in) {
    fuzz::Reader reader(in, "H01");
    const commands::Session& session = reader.session;
    switch (which) {
        case 0:
            CheckValues(commands::ReadOut(session, PlanOf(in)));
            break;
        case 1:
            if (const auto got = commands::GetInterface(session))
                Check(Below(got->mode, commands::kModeCount) &&
                          Below(got->wiegand, commands::kWiegandCount) &&
                          Below(got->rs485, commands::kRs485Count),
                      "interface names items");
            break;
        case 2:
            Check(Below(commands::GetKeyParity(session), commands::kKeyParityCount),
                  "key parity item");
            (void)commands::GetKeyNumber(session);
            (void)commands::GetKeyStatus(session);
            break;
        case 3: {
            const bool twoWay = in.flag();
            (void)commands::ReadCards(
                session, twoWay ? commands::CardLoop::TwoWay : commands::CardLoop::Plain,
                [&](const commands::PollOutcome&) {}, [&] { return in.flag(); });
            break;
        }
        case 4:
            (void)commands::CommandTest(session, in.text());
            (void)commands::ReplyDataField(session);
            break;
        case 5: {
            const auto& info = commands::ReaderTypes()[static_cast<std::size_t>(
                in.below(commands::kReaderTypeCount))];
            (void)commands::FactoryDefault(session, info.factoryDefault, {});
            break;
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Input in(data, size);
    const int which = in.below(7);
    if (which == 6)
        Decoders(in);
    else
        Commands(which, in);
    return 0;
}
