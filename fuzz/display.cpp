// Display replies and texts: every display command run through the link against replies from
// the input (any verified reply counts), and the byte-width fitting of the display's texts.
#include <cstdint>
#include <string>

#include "FuzzReader.h"
#include "commands/display/DisplayText.h"
#include "commands/display/MessagesAndTitles.h"
#include "commands/display/SystemParameters.h"

namespace {

using namespace commands::display;
using fuzz::Check;

void Fit(const std::string& text, std::size_t width, TextCodePage page) {
    const std::string fitted = FitToWidth(text, width, page);
    Check(fitted.size() == width, "fitted to the width");
    std::size_t kept = 0;
    while (kept < fitted.size() && kept < text.size() && fitted[kept] == text[kept]) ++kept;
    Check(fitted.find_first_not_of(' ', kept) == std::string::npos, "the rest is spaces");
    // At most the lead byte of a cut character is lost.
    Check(kept + 1 >= std::min(width, text.size()), "nothing but a split character dropped");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Input in(data, size);
    const int which = in.below(6);
    const TextCodePage page = CodePageOfLanguage(in.below(4));
    if (which == 0) {
        const std::size_t width = static_cast<std::size_t>(in.byte());
        Fit(in.rest(), width, page);
        return 0;
    }
    fuzz::Reader reader(in, "S01");
    const commands::Session& session = reader.session;
    switch (which) {
        case 1:
            (void)SetSmallMessage(session, in.text(), page);
            (void)SetScreenMessage(session, in.text(), page);
            (void)ClearScreenMessage(session);
            break;
        case 2:
            (void)SetTitle(session, in.flag() ? TitleLine::Second : TitleLine::First, in.text(),
                           page);
            (void)ClearTitle(session, TitleLine::First);
            (void)SetTitleMode(session, static_cast<TitleMode>(in.below(3)));
            break;
        case 3: {
            const bool readable = in.flag();
            const IconSource source = [&]() -> std::optional<IconBitmap> {
                if (!readable) return std::nullopt;
                return IconFromFileBytes(in.text());
            };
            (void)SetTitleIcon(session, source);
            break;
        }
        case 4: {
            ClockValue clock;
            clock.year = in.number();
            clock.month = in.number();
            clock.day = in.byte();
            clock.hour = in.byte();
            clock.minute = in.byte();
            clock.second = in.byte();
            (void)SetClock(session, clock,
                           in.flag() ? HourFormat::TwelveHour : HourFormat::TwentyFourHour);
            break;
        }
        case 5:
            (void)SetDisplayPassword(session, in.text());
            (void)SetDisplayLanguage(session, static_cast<DisplayLanguage>(in.below(3)));
            (void)SetScreenMode(session, static_cast<ScreenMode>(in.below(2)));
            break;
    }
    return 0;
}
