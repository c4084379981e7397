// The display's idle screen: the small message, the screen message, two title texts, the title
// mode and the title icon. Two attempts, each after a plain 50 ms pause and opened by the reader
// check; the commands that change the window's title list pump its messages before the pause,
// so the list shows its new item while they run. Any verified reply counts as success, except
// to the icon data, whose replies are ignored.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "commands/Session.h"
#include "commands/display/DisplayText.h"
#include "commands/display/TitleIcon.h"

namespace commands::display {

// Silence limits of the text commands; the rest use the usual 300 ms.
constexpr int kTextLimitMs = 500;            // small message, titles, icon data
constexpr int kScreenMessageLimitMs = 1500;  // screen message and its clearing
// The pause after each icon data command.
constexpr int kIconPartPauseMs = 200;

enum class TitleLine { First, Second };  // "L1", "L3"
// The items of the window's title list, in order.
enum class TitleMode { NoTitle = 0, TextTitle = 1, TextAndIconTitle = 2 };

// Command texts. Those taking a text get its bytes in the window's code page and fit them to
// the display's width (DisplayText.h); all but the clearing of the screen message go after
// the prefix.
std::string SmallMessageCommand(const std::string& text, TextCodePage page);   // "H" + 64 bytes
std::string ScreenMessageCommand(const std::string& text, TextCodePage page);  // "L4" + 128
std::string TitleCommand(TitleLine line, const std::string& text, TextCodePage page);  // + 16
std::string ClearTitleCommand(TitleLine line);  // "L1" or "L3" + 16 spaces
std::string TitleModeCommand(TitleMode mode);   // "L" + d
// "J00L4" + 128 spaces: the whole text, to ID "00", the same whatever the reader's ID.
std::string ClearScreenMessageText();

bool SetSmallMessage(const Session& session, const std::string& text, TextCodePage page);
bool SetScreenMessage(const Session& session, const std::string& text, TextCodePage page);
bool ClearScreenMessage(const Session& session);
bool SetTitleMode(const Session& session, TitleMode mode);
// The title text, then the text-title mode; both must succeed. The window shows "Text Title"
// in its list before calling.
bool SetTitle(const Session& session, TitleLine line, const std::string& text, TextCodePage page);
// Blanks a title; the title mode stays.
bool ClearTitle(const Session& session, TitleLine line);

// Reads the icon afresh for each attempt (the window previews it as it reads); nullopt when the
// file cannot be opened.
using IconSource = std::function<std::optional<IconBitmap>()>;
enum class IconOutcome {
    Sent,        // the icon data went out and the display took the text-and-icon mode
    Failed,      // no attempt got through the reader check and the title mode
    Unreadable,  // the icon could not be read: nothing more was sent
};
// After the reader check: the eight icon data commands, each followed by a 200 ms pause, their
// results ignored; then the text-and-icon title mode, which decides the outcome. The window
// shows "Text & Icon Title" in its list before calling.
IconOutcome SetTitleIcon(const Session& session, const IconSource& readIcon);

}  // namespace commands::display
