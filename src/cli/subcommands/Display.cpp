// The display of the PX50 and PX50M: its language, password, clock, messages and titles.
#include <QDateTime>
#include <QFile>
#include <QString>
#include <cctype>
#include <cstdio>
#include <ostream>
#include <variant>

#include "actions/Requests.h"
#include "cli/Output.h"
#include "cli/Registry.h"
#include "cli/Runner.h"
#include "commands/display/TitleIcon.h"
#include "pictures/PictureIcon.h"

namespace cli {
namespace {

using A = actions::ActionId;
namespace display = commands::display;

const TypeRule kDisplay{commands::FunctionPage::Display, "display", true};

// The command line's names of the display's list items, in item order.
constexpr std::array<const char*, 3> kDisplayLanguageNames = {"english", "traditional",
                                                              "simplified"};
constexpr std::array<const char*, 2> kScreenModeNames = {"date-time", "time"};
constexpr std::array<const char*, 3> kTitleModeNames = {"none", "text", "text+icon"};

actions::TypedText Text(const Invocation& run) {
    return {QString::fromUtf8(run.text.c_str()), run.codePage};
}

display::TitleLine LineOf(const Invocation& run) {
    return run.titleLine == 1 ? display::TitleLine::First : display::TitleLine::Second;
}

Option CodePage(const char* what) {
    return {"code-page", "CP", std::string(what) + " goes out in 1252, gbk or big5 (default 1252)"};
}

bool TitleLineArgument(Reading& reading, const std::string& text) {
    const auto line = ParseNumber(text, 1, 2);
    if (!line) return reading.bad("title line '" + text + "' is not 1 or 2");
    reading.run.titleLine = *line;
    return true;
}

// A text for the display, as typed: it goes out in the code page of --code-page.
bool TextArgument(Reading& reading, const Arguments& a) {
    reading.run.text = a.back();
    return true;
}

display::ClockValue LocalNow() {
    const QDateTime now = QDateTime::currentDateTime();
    return {now.date().year(), now.date().month(),  now.date().day(),
            now.time().hour(), now.time().minute(), now.time().second()};
}

std::string ClockText(const display::ClockValue& c) {
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", c.year, c.month, c.day,
                  c.hour, c.minute, c.second);
    return text;
}

std::string HourFormatText(display::HourFormat format) {
    return format == display::HourFormat::TwelveHour ? "12H" : "24H";
}

JsonObject PrintClock(Runner& r, Outcome& outcome, Values& values) {
    JsonObject extra;
    extra.add("clock", ClockText(values.clock));
    extra.add("hourFormat", HourFormatText(r.run.hourFormat));
    if (outcome.ok() && !r.run.json)
        PrintSettings(r.out, {},
                      {{"clock", ClockText(values.clock)},
                       {"hour format", HourFormatText(r.run.hourFormat)}});
    return extra;
}

Subcommand Page(const char* name, const char* synopsis, int count, const char* summary,
                const char* help, A action,
                std::function<actions::Request(const Invocation&, Values&)> request) {
    Subcommand entry = Entry(name, synopsis, count, summary, help);
    entry.types = kDisplay;
    entry.actions = {action};
    entry.request = std::move(request);
    return entry;
}

}  // namespace

std::vector<Subcommand> DisplaySubcommands() {
    std::vector<Subcommand> page;
    const char* const textHelp = "TEXT";

    Subcommand language = Page("display-language", "LANGUAGE", 1,
                               "the display's language: english, traditional or simplified", "",
                               A::DisplayLanguage, [](const Invocation& run, Values&) {
                                   return actions::DisplayLanguage(run.displayLanguage);
                               });
    language.section = "Display (PX50, PX50M)";
    language.arguments = [](Reading& reading, const Arguments& a) {
        int index = 0;
        if (!reading.item(kDisplayLanguageNames, a[0], index, "display-language")) return false;
        reading.run.displayLanguage = static_cast<display::DisplayLanguage>(index);
        return true;
    };
    page.push_back(language);

    Subcommand password =
        Page("display-password", "PASSWORD", 1, "the display's password, 0 to 4 bytes",
             "An empty PASSWORD (\"\") is sent as it stands.\n", A::DisplayPassword,
             [](const Invocation& run, Values&) { return actions::DisplayPassword(Text(run)); });
    password.options = {CodePage("PASSWORD")};
    password.arguments = TextArgument;
    page.push_back(password);

    Subcommand mode = Page(
        "display-screen-mode", "MODE", 1, "what the display's clock shows: date-time or time", "",
        A::DisplayScreenMode,
        [](const Invocation& run, Values&) { return actions::DisplayScreenMode(run.screenMode); });
    mode.arguments = [](Reading& reading, const Arguments& a) {
        int index = 0;
        if (!reading.item(kScreenModeNames, a[0], index, "display-screen-mode")) return false;
        reading.run.screenMode = static_cast<display::ScreenMode>(index);
        return true;
    };
    page.push_back(mode);

    Subcommand clock = Page("display-clock", "", 0, "set the display's clock and hour format",
                            "Sends the clock, then the hour format.\n", A::DisplayClock,
                            [](const Invocation& run, Values& values) {
                                return actions::DisplayClock(values.clock, run.hourFormat);
                            });
    clock.options = {
        {"at", "TIME", "\"YYYY-MM-DD HH:MM:SS\" (default: this computer's local time now)"},
        {"hour-format", "F", "12 or 24 (default 12)"},
    };
    // The time of the run is read once, before anything is sent, as the window reads it at the
    // click.
    clock.prepare = [](Runner& r, Values& values) {
        values.clock = r.run.clockAt.value_or(LocalNow());
        return true;
    };
    clock.print = PrintClock;
    page.push_back(clock);

    Subcommand small =
        Page("small-message", "TEXT", 1, "the display's small message, up to 64 bytes",
             "TEXT is padded with spaces to 64 bytes; a longer one is refused.\n", A::SmallMessage,
             [](const Invocation& run, Values&) { return actions::SmallMessage(Text(run)); });
    small.options = {CodePage(textHelp)};
    small.arguments = TextArgument;
    page.push_back(small);

    Subcommand screen = Page(
        "screen-message", "TEXT", 1, "the display's screen message, up to 128 bytes",
        "TEXT is padded with spaces to 128 bytes; a longer one is refused.\n", A::ScreenMessage,
        [](const Invocation& run, Values&) { return actions::ScreenMessage(Text(run)); });
    screen.options = {CodePage(textHelp)};
    screen.arguments = TextArgument;
    page.push_back(screen);

    page.push_back(Page("clear-screen-message", "", 0, "blank the screen message",
                        "Sends 128 spaces to ID 00, whatever --id is; its messages are those of "
                        "the titles.\n",
                        A::ClearScreenMessage,
                        [](const Invocation&, Values&) { return actions::ClearScreenMessage(); }));

    Subcommand title =
        Page("title", "1|2 TEXT", 2, "a title line, up to 16 bytes, and the text-title mode",
             "TEXT is padded with spaces to 16 bytes; a longer one is refused. The display then "
             "shows\ntitles as text (title-mode text).\n",
             A::Title,
             [](const Invocation& run, Values&) { return actions::Title(LineOf(run), Text(run)); });
    title.options = {CodePage(textHelp)};
    title.arguments = [](Reading& reading, const Arguments& a) {
        return TitleLineArgument(reading, a[0]) && TextArgument(reading, a);
    };
    page.push_back(title);

    Subcommand clear =
        Page("clear-title", "1|2", 1, "blank a title line", "The title mode stays as it is.\n",
             A::ClearTitle,
             [](const Invocation& run, Values&) { return actions::ClearTitle(LineOf(run)); });
    clear.arguments = [](Reading& reading, const Arguments& a) {
        return TitleLineArgument(reading, a[0]);
    };
    page.push_back(clear);

    Subcommand titleMode =
        Page("title-mode", "MODE", 1, "the title mode: none, text or text+icon", "", A::TitleMode,
             [](const Invocation& run, Values&) {
                 return actions::TitleMode(static_cast<display::TitleMode>(run.titleMode));
             });
    titleMode.arguments = [](Reading& reading, const Arguments& a) {
        return reading.item(kTitleModeNames, a[0], reading.run.titleMode, "title-mode");
    };
    page.push_back(titleMode);

    Subcommand icon = Page(
        "title-icon", "FILE", 1, "the title icon from a 128 x 16 .ico file or a picture",
        "An .ico file is read byte for byte from offset 70, as the display takes it. Any other\n"
        "FILE is a picture (PNG, BMP, GIF, JPEG), scaled to 128 x 16 and made dark where it is\n"
        "darker than middle grey, as the window does.\n",
        A::TitleIcon, [](const Invocation& run, Values& values) {
            // Read afresh for each attempt, as the window reads the file it chose.
            return actions::TitleIcon([&run, &values]() -> std::optional<display::IconBitmap> {
                const auto read =
                    pictures::ReadTitlePicture(QFile::decodeName(run.iconPath.c_str()));
                const auto* bitmap = std::get_if<display::IconBitmap>(&read);
                values.iconUnreadable = !bitmap;
                if (!bitmap) return std::nullopt;
                return *bitmap;
            });
        });
    icon.arguments = [](Reading& reading, const Arguments& a) {
        reading.run.iconPath = a[0];
        return true;
    };
    icon.prepare = [](Runner& r, Values&) {
        const auto read = pictures::ReadTitlePicture(QFile::decodeName(r.run.iconPath.c_str()));
        const auto* problem = std::get_if<pictures::IconProblem>(&read);
        if (!problem) return true;
        r.usage("title-icon: " + (*problem == pictures::IconProblem::NotAPicture
                                      ? "'" + r.run.iconPath + "' is not a picture"
                                      : "cannot read '" + r.run.iconPath + "'"));
        return false;
    };
    icon.print = [](Runner& r, Outcome& outcome, Values& values) {
        if (values.iconUnreadable) {
            outcome.reason = "file";
            outcome.detail = "cannot read " + r.run.iconPath;
        }
        return JsonObject();
    };
    page.push_back(icon);
    return page;
}

}  // namespace cli
