// tagbench-docgen OUTDIR: the manual pages of the three programs and the bash completion of
// tagbench-cli, made at build time from the programs' own help so that they never drift:
// tagbench-cli's from its subcommand table, tagbench's and tagbench-sim's from their --help.
#include <algorithm>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "SimProgram.h"
#include "app/Program.h"
#include "cli/Options.h"
#include "cli/Registry.h"
#include "link/LineSettingsList.h"
#include "tagbench/Version.h"

namespace {

constexpr const char* kDate = TAGBENCH_RELEASE_DATE;

std::vector<std::string> Lines(std::string_view text) {
    std::vector<std::string> lines;
    std::string line;
    std::istringstream in{std::string(text)};
    while (std::getline(in, line)) lines.push_back(line);
    return lines;
}

// Text as roff reads it literally: backslashes and hyphens escaped, and a line never starting
// with a control character.
std::string Roff(std::string_view text) {
    std::string out;
    for (const char c : text) {
        if (c == '\\')
            out += "\\e";
        else if (c == '-')
            out += "\\-";
        else
            out += c;
    }
    if (!out.empty() && (out[0] == '.' || out[0] == '\'')) out.insert(0, "\\&");
    return out;
}

std::string Trim(std::string_view text) {
    const auto begin = text.find_first_not_of(' ');
    if (begin == std::string_view::npos) return {};
    const auto end = text.find_last_not_of(' ');
    return std::string(text.substr(begin, end - begin + 1));
}

std::size_t Indent(std::string_view line) {
    const auto first = line.find_first_not_of(' ');
    return first == std::string_view::npos ? line.size() : first;
}

// Free text: plain lines are filled, indented lines (tables, examples) kept as they stand.
void Text(std::ostream& out, std::string_view text) {
    bool kept = false;
    for (const std::string& line : Lines(text)) {
        const bool indented = !line.empty() && line[0] == ' ';
        if (indented != kept) out << (indented ? ".nf\n" : ".fi\n");
        kept = indented;
        out << (line.empty() ? ".PP" : Roff(line)) << "\n";
    }
    if (kept) out << ".fi\n";
}

void Header(std::ostream& out, const std::string& program, const std::string& summary) {
    std::string upper = program;
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    out << ".TH " << upper << " 1 \"" << kDate << "\" \"" << program << " " << tagbench::kVersion
        << "\" \"User Commands\"\n.SH NAME\n"
        << Roff(program) << " \\- " << Roff(summary) << "\n";
}

// A --help text as a manual page: "Usage:" the synopsis, the lines after it the description,
// a line "Heading:" a section, "  TERM  text" an item whose text starts at the second column
// and goes on in the lines indented as far; an item's deeper lines are kept as they stand.
void HelpPage(std::ostream& out, const std::string& program, const std::string& summary,
              const std::string& help, const std::string& seeAlso) {
    Header(out, program, summary);
    const std::vector<std::string> lines = Lines(help);
    std::size_t i = 0;
    out << ".SH SYNOPSIS\n.B " << program << "\n"
        << Roff(Trim(lines.at(0).substr(lines[0].find(program) + program.size()))) << "\n";
    out << ".SH DESCRIPTION\n";
    std::size_t textColumn = 0;
    bool kept = false;
    const auto endKept = [&] {
        if (kept) out << ".fi\n";
        kept = false;
    };
    for (i = 1; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        const std::size_t indent = Indent(line);
        if (line.empty()) {
            endKept();
            textColumn = 0;
            continue;
        }
        if (indent == 0 && line.back() == ':') {
            endKept();
            std::string heading = line.substr(0, line.size() - 1);
            for (char& c : heading)
                c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
            out << ".SH " << Roff(heading) << "\n";
            continue;
        }
        if (indent == 0 && line.rfind("Exit status:", 0) == 0) {
            endKept();
            out << ".SH EXIT STATUS\n" << Roff(Trim(line.substr(12))) << "\n";
            continue;
        }
        if (indent == 0) {
            endKept();
            out << Roff(line) << "\n";
            continue;
        }
        if (indent == 2 || (indent <= 6 && line[indent] == '-')) {
            // An item: its term, then its text after two or more spaces, if on the same line.
            endKept();
            const std::size_t gap = line.find("  ", indent);
            const std::string term = Trim(line.substr(0, gap));
            out << ".TP\n.B " << Roff(term) << "\n";
            textColumn = 0;
            if (gap != std::string::npos) {
                textColumn = line.find_first_not_of(' ', gap);
                out << Roff(Trim(line.substr(gap))) << "\n";
            }
            continue;
        }
        if (textColumn == 0) textColumn = indent;  // an item's text on the line below its term
        if (indent > textColumn) {
            if (!kept) out << ".nf\n";
            kept = true;
            out << Roff(line.substr(textColumn)) << "\n";
        } else {
            endKept();
            out << Roff(Trim(line)) << "\n";
        }
    }
    endKept();
    out << ".SH SEE ALSO\n" << seeAlso << "\n";
}

void OptionItems(std::ostream& out, const std::vector<cli::Option>& options) {
    for (const cli::Option& option : options) {
        out << ".TP\n.B ";
        if (option.shortName) out << "\\-" << option.shortName << ", ";
        out << Roff("--" + option.name);
        if (!option.value.empty()) out << " \\fI" << Roff(option.value) << "\\fR";
        out << "\n";
        Text(out, option.help);
    }
}

void CliPage(std::ostream& out) {
    Header(out, "tagbench-cli", "the reader commands of Tag Bench from a shell");
    out << ".SH SYNOPSIS\n.B tagbench-cli\n\\fISUBCOMMAND\\fR [\\fIOPTION\\fR]... "
           "[\\fIARGUMENT\\fR]...\n.br\n.B tagbench-cli\n\\fISUBCOMMAND\\fR \\-\\-help\n"
           ".SH DESCRIPTION\n";
    Text(out, cli::ProgramIntro());
    out << ".SH SUBCOMMANDS\n";
    for (const cli::Subcommand& entry : cli::Subcommands()) {
        if (entry.section) out << ".SS " << Roff(entry.section) << "\n";
        out << ".TP\n.B " << Roff(entry.name);
        if (!entry.synopsis.empty()) out << " \\fI" << Roff(entry.synopsis) << "\\fR";
        out << "\n" << Roff(entry.summary) << ".\n";
        out << ".RS\n";
        if (!entry.help.empty()) {
            out << ".PP\n";
            Text(out, entry.help);
        }
        if (!entry.options.empty()) OptionItems(out, entry.options);
        const std::string after = entry.helpAfter + cli::UsageNotes(entry);
        if (!after.empty()) {
            out << ".PP\n";
            Text(out, after);
        }
        out << ".RE\n";
    }
    out << ".SH OPTIONS\nEvery subcommand takes these options.\n";
    OptionItems(out, cli::CommonOptions());
    out << ".TP\n.B \\-\\-version\nthe program's version (alone).\n";
    out << ".SH EXIT STATUS\n";
    Text(out, cli::ExitStatusHelp());
    out << ".SH ENVIRONMENT\n.TP\n.B TAGBENCH_PORTS\n"
           "extra COM ports, such as \"COM5=/dev/pts/7,COM20=rfc2217://door:4001\", as in "
           "the window.\n"
           ".SH FILES\nThe port map of the window's settings (see \\fBtagbench\\fR(1)): a COM "
           "number names the same device here as in the window.\n"
           ".SH SEE ALSO\n\\fBtagbench\\fR(1), \\fBtagbench-sim\\fR(1)\n";
}

std::string Words(const std::vector<std::string>& words) {
    std::string out;
    for (const std::string& word : words) out += (out.empty() ? "" : " ") + word;
    return out;
}

bool NamesFile(const std::string& value) {
    return value.find("FILE") != std::string::npos || value.find(".csv") != std::string::npos;
}

// bash: subcommands, their options, reader types, line settings, files where a file goes, and
// the COM names that `tagbench-cli ports` lists.
void BashCompletion(std::ostream& out) {
    std::vector<std::string> names;
    for (const cli::Subcommand& entry : cli::Subcommands()) names.push_back(entry.name);
    names.push_back("help");
    std::vector<std::string> settings;
    for (const char* text : tblink::kLineSettingsTexts) settings.push_back(text);
    std::string types = cli::TypeNames(std::nullopt);
    for (char& c : types)
        if (c == ',') c = ' ';

    std::vector<std::string> valued, files;
    for (const cli::Option& option : cli::CommonOptions())
        if (!option.value.empty()) valued.push_back("--" + option.name);
    out << "# bash completion for tagbench-cli, made from its subcommand table.\n"
           "_tagbench_cli() {\n"
           "    local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD-1]}\n"
           "    local subcommand=${COMP_WORDS[1]}\n"
           "    if [ \"$COMP_CWORD\" -eq 1 ]; then\n"
           "        COMPREPLY=($(compgen -W '"
        << Words(names)
        << " --help --version' -- \"$cur\"))\n"
           "        return\n"
           "    fi\n"
           "    case $prev in\n"
           "        --port|-p)\n"
           "            COMPREPLY=($(compgen -W \"$(tagbench-cli ports 2>/dev/null | "
           "awk 'NR > 1 {print $1}')\" -- \"$cur\"))\n"
           "            return;;\n"
           "        --type|-t)\n"
           "            COMPREPLY=($(compgen -W '"
        << types
        << "' -- \"$cur\"))\n"
           "            return;;\n"
           "        --settings|-s)\n"
           "            COMPREPLY=($(compgen -W '"
        << Words(settings)
        << "' -- \"$cur\"))\n"
           "            return;;\n";
    for (const cli::Subcommand& entry : cli::Subcommands())
        for (const cli::Option& option : entry.options)
            if (!option.value.empty()) {
                (NamesFile(option.value) ? files : valued).push_back("--" + option.name);
            }
    if (!files.empty()) {
        std::string pattern;
        for (const std::string& name : files) pattern += (pattern.empty() ? "" : "|") + name;
        out << "        " << pattern << ")\n"
            << "            COMPREPLY=($(compgen -f -- \"$cur\"))\n"
            << "            return;;\n";
    }
    std::string pattern;
    for (const std::string& name : valued)
        if (pattern.find(name + "|") == std::string::npos) pattern += name + "|";
    pattern.pop_back();
    out << "        " << pattern << ")\n            return;;\n    esac\n"
        << "    case $subcommand in\n";
    for (const cli::Subcommand& entry : cli::Subcommands()) {
        std::string options;
        for (const cli::Option& option : cli::CommonOptions())
            if (std::find(entry.ignores.begin(), entry.ignores.end(), option.name) ==
                entry.ignores.end())
                options += " --" + option.name;
        for (const cli::Option& option : entry.options) options += " --" + option.name;
        out << "        " << entry.name << ")\n";
        if (NamesFile(entry.synopsis))
            out << "            [[ $cur != -* ]] && COMPREPLY=($(compgen -f -- \"$cur\")) && "
                   "return\n";
        out << "            COMPREPLY=($(compgen -W '" << options.substr(1)
            << "' -- \"$cur\"));;\n";
    }
    out << "        help)\n            COMPREPLY=($(compgen -W '" << Words(names)
        << "' -- \"$cur\"));;\n    esac\n}\ncomplete -F _tagbench_cli tagbench-cli\n";
}

bool Write(const std::string& path, void (*write)(std::ostream&)) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    write(file);
    file.close();
    if (!file) std::cerr << "tagbench-docgen: cannot write " << path << "\n";
    return static_cast<bool>(file);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "Usage: tagbench-docgen OUTDIR\n";
        return 2;
    }
    const std::string dir = argv[1];
    const bool written =
        Write(dir + "/tagbench.1",
              [](std::ostream& out) {
                  HelpPage(out, "tagbench", "configure and test access-control card readers",
                           app::ProgramHelp(), "\\fBtagbench-cli\\fR(1), \\fBtagbench-sim\\fR(1)");
              }) &&
        Write(dir + "/tagbench-sim.1",
              [](std::ostream& out) {
                  HelpPage(out, "tagbench-sim", "simulated card readers on pseudo-terminals",
                           tbsim::ProgramUsage(), "\\fBtagbench\\fR(1), \\fBtagbench-cli\\fR(1)");
              }) &&
        Write(dir + "/tagbench-cli.1", CliPage) &&
        Write(dir + "/tagbench-cli.bash", BashCompletion);
    return written ? 0 : 1;
}
