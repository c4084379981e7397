#include "cli/Registry.h"

#include <sstream>

#include "link/LineSettingsList.h"

namespace cli {
namespace {

constexpr std::size_t kOptionColumn = 20;   // where an option's help starts
constexpr std::size_t kSummaryColumn = 28;  // where the overview's summaries start, after 2

// "  --key A|B         the key ..." and its further lines under the help.
std::string OptionLines(const std::vector<Option>& options) {
    std::string text;
    for (const Option& option : options) {
        std::string head = "  ";
        if (option.shortName) head += std::string("-") + option.shortName + ", ";
        head += "--" + option.name + (option.value.empty() ? "" : " " + option.value);
        text += head + std::string(kOptionColumn - head.size(), ' ');
        for (const char c : option.help)
            text += c == '\n' ? "\n" + std::string(kOptionColumn, ' ') : std::string(1, c);
        text += '\n';
    }
    return text;
}

std::string OptionsHelp() {
    return "Options every subcommand takes:\n" + OptionLines(CommonOptions());
}

const char kExitHelp[] =
    "Standard output carries the results only; messages, errors and progress go to standard\n"
    "error. Reader bytes that are no printable character show as \\xHH.\n"
    "Exit status: 0 success, 1 the reader failed or was not found, 2 wrong usage,\n"
    "3 the port would not open: why, and what to do, on standard error (with --json in the\n"
    "outcome's \"detail\"), 130 stopped by Ctrl+C before the end.\n";

std::string Overview() {
    std::ostringstream out;
    out << "Usage: tagbench-cli SUBCOMMAND [OPTION]... [ARGUMENT]...\n" << ProgramIntro();
    for (const Subcommand& each : Subcommands()) {
        if (each.section) out << "\n" << each.section << ":\n";
        const std::string head = each.name + " " + each.synopsis;
        out << "  " << head;
        if (head.size() < kSummaryColumn)
            out << std::string(kSummaryColumn - head.size(), ' ');
        else
            out << "\n" << std::string(kSummaryColumn + 2, ' ');
        out << each.summary << "\n";
    }
    out << "\n  help SUBCOMMAND             that subcommand's options\n"
           "  --version                   the program's version\n\n"
        << OptionsHelp() << "\n"
        << kExitHelp;
    return out.str();
}

std::vector<Subcommand> All() {
    std::vector<Subcommand> all;
    for (auto page :
         {BusSubcommands, ConfigSubcommands, UtilitySubcommands, MifareSubcommands,
          DisplaySubcommands, FingerprintSubcommands, ManyReaderSubcommands, ProfileSubcommands})
        for (Subcommand& entry : page()) all.push_back(std::move(entry));
    return all;
}

}  // namespace

Subcommand Entry(std::string name, std::string synopsis, int argumentCount, std::string summary,
                 std::string help) {
    Subcommand entry;
    entry.name = std::move(name);
    entry.synopsis = std::move(synopsis);
    entry.argumentCount = argumentCount;
    entry.summary = std::move(summary);
    entry.help = std::move(help);
    return entry;
}

const std::vector<Subcommand>& Subcommands() {
    static const std::vector<Subcommand> all = All();
    return all;
}

const Subcommand* SubcommandNamed(std::string_view name) {
    for (const Subcommand& entry : Subcommands())
        if (name == entry.name) return &entry;
    return nullptr;
}

const std::vector<Option>& CommonOptions() {
    static const std::vector<Option> options = {
        {"port", "COMn", "the port (COM3, or 3)", 'p'},
        {"settings", "S",
         "line settings such as 19200,e,8,1, or their index 0 to 13\n(default 19200,e,8,1)", 's'},
        {"id", "N",
         "the reader's ID, 1 to 99; without it the reader is first found\nwith the scan's probe "
         "to ID 00 (one reader on the line)",
         'i'},
        {"type", "T",
         "reader type: " + TypeNames(std::nullopt) +
             "\n(default PX10); it decides the first character of every command",
         't'},
        {"json", "", "one JSON object per line on standard output"},
        {"quiet", "", "no messages nor progress on standard error, only errors", 'q'},
        {"trace", "", "every frame sent and received, on standard error"},
        {"help", "", "this help", 'h'},
    };
    return options;
}

std::string ProgramIntro() {
    return "The reader commands of Tag Bench from a shell, with the same frames and waits as\n"
           "the window. Progress goes to standard error when it is a terminal.\n";
}

std::string UsageNotes(const Subcommand& entry) {
    std::ostringstream out;
    if (entry.listsLineSettings) {
        out << "Line settings (index text):";
        for (int i = 0; i < tblink::kLineSettingsCount; ++i)
            out << (i % 5 == 0 ? "\n  " : "  ") << i << " " << tblink::kLineSettingsTexts[i];
        out << "\n";
    }
    if (entry.types && entry.types->listed)
        out << "Reader types (--type): " << TypeNames(entry.types->page) << ".\n";
    if (entry.needsType) out << "--type is required.\n";
    if (entry.needsPort) out << "--port is required.\n";
    return out.str();
}

std::string ExitStatusHelp() { return kExitHelp; }

std::string Usage(const Subcommand* entry) {
    if (!entry) return Overview();
    std::ostringstream out;
    out << "Usage: tagbench-cli " << entry->name << " [OPTION]..."
        << (entry->argumentCount ? " " + entry->synopsis : std::string()) << "\n"
        << "Tag Bench from a shell: " << entry->summary << ".\n"
        << entry->help << OptionLines(entry->options) << entry->helpAfter << UsageNotes(*entry)
        << "\n"
        << OptionsHelp() << "\n"
        << kExitHelp;
    return out.str();
}

}  // namespace cli
