// MIFARE access bits: trailer bytes decode to the conditions they were encoded from, a typed
// access-bits text reads as its verdict says, the card-key page's editor keeps its text in step
// with the conditions it shows, and tagbench-cli words every condition.
#include <cstdint>
#include <string>

#include "FuzzInput.h"
#include "cli/AccessWords.h"
#include "commands/mifare/AccessBits.h"

namespace {

using namespace commands::mifare;
using fuzz::Check;

constexpr Keys kKeys[] = {Keys::Never, Keys::A, Keys::B, Keys::AOrB};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Input in(data, size);

    SectorConditions conditions{};
    for (Condition& c : conditions) c = in.below(kConditionCount);
    const std::uint8_t userByte = in.byte();
    Check(DecodeAccessBytes(EncodeAccessBytes(conditions)) == conditions,
          "trailer bytes decode to their conditions");
    const AccessText read = ReadAccessBitsText(AccessBitsText(conditions, userByte));
    Check(read.verdict == AccessTextVerdict::Valid && read.conditions == conditions &&
              read.userByte == userByte,
          "an access-bits text reads back");
    for (const cli::PartRights& part : cli::DescribeConditions(conditions))
        Check(part.bits.size() == 3 && !cli::RightsText(part).empty(), "every part in words");

    const AccessBytes bytes{in.byte(), in.byte(), in.byte()};
    if (const auto decoded = DecodeAccessBytes(bytes))
        Check(EncodeAccessBytes(*decoded) == bytes, "decoded bytes encode back");

    // The editor: picks with the mouse, in any order, keep the text and the rows in step.
    EditorState state = InitialEditorState();
    for (int i = 0; i < 8 && !in.empty(); ++i) {
        const Keys keys = kKeys[in.below(4)];
        if (in.flag())
            (void)PickDataOption(state, in.below(5) - 1, static_cast<DataGroup>(in.below(4)), keys);
        else
            (void)PickTrailerOption(state, static_cast<TrailerGroup>(in.below(6)), keys);
    }
    const AccessText shown = ReadAccessBitsText(EditorAccessBitsText(state));
    Check(shown.verdict == AccessTextVerdict::Valid && shown.conditions == ConditionsShown(state),
          "the editor's text holds what it shows");

    const std::string typed = in.rest();
    const AccessText text = ReadAccessBitsText(typed);
    const AccessBitsNotice notice = NoticeFor(typed);
    const bool refused =
        notice == AccessBitsNotice::Invalid || notice == AccessBitsNotice::Incomplete;
    Check((text.verdict == AccessTextVerdict::Valid) == !refused, "the notice follows the verdict");
    Check((notice == AccessBitsNotice::Incomplete) ==
              (text.verdict == AccessTextVerdict::NotEightHexDigits),
          "incomplete text is told apart from disagreeing copies");
    if (text.verdict == AccessTextVerdict::Valid)
        Check(AccessBitsText(text.conditions, text.userByte) == typed, "a valid text is canonical");
    return 0;
}
