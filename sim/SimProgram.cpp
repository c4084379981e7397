#include "SimProgram.h"

#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <climits>
#include <cstdlib>
#include <memory>
#include <ostream>
#include <thread>

#include "tagbench/Version.h"

namespace tbsim {

namespace {

const ReaderConfig kDefaultReader{};
constexpr long long kMaxRestartMs = 600000;

// The speeds a reader can be set to.
bool KnownBaud(int baud) {
    for (int known : {4800, 9600, 19200, 38400, 57600, 115200, 230400}) {
        if (baud == known) return true;
    }
    return false;
}

bool Printable(const std::string& text) {
    for (char c : text) {
        if (c < 0x20 || c > 0x7E) return false;
    }
    return true;
}

std::vector<std::string> SplitColons(const std::string& text) {
    std::vector<std::string> parts(1);
    for (char c : text) {
        if (c == ':') {
            parts.emplace_back();
        } else {
            parts.back() += c;
        }
    }
    return parts;
}

bool ParseNumber(const std::string& text, long long limit, long long& value) {
    if (text.empty() || text.size() > 9) return false;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
    }
    value = std::atoll(text.c_str());
    return value <= limit;
}

std::optional<ReaderConfig> ParseReaderText(const std::string& text, std::string& error) {
    const auto parts = SplitColons(text);
    if (parts.size() > 4) {
        error = "--reader takes TYPE[:ID[:SERIAL[:LINESETTINGS]]], got \"" + text + "\"";
        return std::nullopt;
    }
    const auto kind = ReaderKindFromName(parts[0]);
    if (!kind) {
        error = "unknown reader type \"" + parts[0] +
                "\" (PX10, PX40, PX30M, PX40M, PX50, PX50M, PX60, PX60M)";
        return std::nullopt;
    }
    ReaderConfig config;
    config.kind = *kind;
    config.version = DefaultVersion(*kind);
    if (parts.size() > 1 && !parts[1].empty()) {
        long long id = 0;
        if (parts[1].size() > 2 || !ParseNumber(parts[1], 99, id) || id < 1) {
            error = "reader ID \"" + parts[1] + "\" is not 1 to 99";
            return std::nullopt;
        }
        config.id = static_cast<int>(id);
    }
    if (parts.size() > 2 && !parts[2].empty()) {
        if (parts[2].size() != 8 || !Printable(parts[2])) {
            error = "serial number \"" + parts[2] + "\" is not 8 printable characters";
            return std::nullopt;
        }
        config.serial = parts[2];
    }
    if (parts.size() > 3 && !parts[3].empty()) {
        const auto format = ParseLineSettings(parts[3]);
        if (!format || !KnownBaud(format->baud)) {
            error = "line settings \"" + parts[3] + "\" are not like 19200,e,8,1 (4800 to 230400)";
            return std::nullopt;
        }
        config.lineSettings = parts[3];
    }
    return config;
}

// A card as --card gives it: 8 or 16 hexadecimal digits, then optionally ":" and keys.
bool ParseCardText(const std::string& text, ReaderConfig& config, std::string& error) {
    const auto colon = text.find(':');
    std::string card = text.substr(0, colon);
    const std::string keys = colon == std::string::npos ? std::string() : text.substr(colon + 1);
    bool hex = card.size() == 8 || card.size() == 16;
    for (char& c : card) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        hex = hex && std::isxdigit(static_cast<unsigned char>(c));
    }
    if (!hex) {
        error = "card \"" + text + "\" is not 8 or 16 hexadecimal digits";
        return false;
    }
    if (colon != std::string::npos && (keys.empty() || keys.size() > 32 || !Printable(keys))) {
        error = "keys \"" + keys + "\" are not 1 to 32 printable characters";
        return false;
    }
    config.cardInField = card;
    if (colon != std::string::npos) config.keysInField = keys;
    return true;
}

// A MIFARE card as --mifare and the console give it: "1K" or "4K", then optionally a UID.
std::optional<MifareCard> ParseMifareText(const std::string& size, const std::string& uid,
                                          std::string& error) {
    auto card = MifareCardFromText(size, uid.empty() ? kDefaultMifareUid : uid);
    if (!card)
        error = "MIFARE card \"" + size + (uid.empty() ? "" : " " + uid) +
                "\" is not 1K or 4K with a UID of 8 hexadecimal digits";
    return card;
}

struct FaultName {
    const char* name;
    Fault fault;
    enum { None, Millis, Length, OptionalLength } value;
};

constexpr FaultName kFaultNames[] = {
    {"silence", Fault::Silence, FaultName::None},
    {"late", Fault::LateReply, FaultName::Millis},
    {"trickle", Fault::Trickle, FaultName::Millis},
    {"wrong-checksum", Fault::WrongChecksum, FaultName::None},
    {"stray-byte", Fault::StrayByte, FaultName::None},
    {"wrong-length", Fault::WrongLength, FaultName::None},
    {"garbage", Fault::Garbage, FaultName::None},
    {"overlong", Fault::OverlongReply, FaultName::Length},
    {"line-gone", Fault::LineGone, FaultName::OptionalLength},
    {"altered-data", Fault::AlteredData, FaultName::None},
};

}  // namespace

std::optional<FaultPlan> ParseFaultText(const std::string& text, std::string& error) {
    const auto parts = SplitColons(text);
    const FaultName* found = nullptr;
    for (const auto& name : kFaultNames) {
        if (parts[0] == name.name) found = &name;
    }
    if (found == nullptr || parts.size() > 3) {
        error = "unknown fault \"" + text + "\" (see --help)";
        return std::nullopt;
    }
    FaultPlan plan;
    plan.fault = found->fault;
    const std::string value = parts.size() > 1 ? parts[1] : std::string();
    long long number = 0;
    if (found->value == FaultName::None) {
        if (!value.empty()) {
            error = "fault " + parts[0] + " takes no value";
            return std::nullopt;
        }
    } else if (value.empty() && found->value != FaultName::OptionalLength) {
        error = "fault " + parts[0] + " needs a value";
        return std::nullopt;
    } else if (!value.empty()) {
        if (!ParseNumber(value, 10000000, number)) {
            error = "fault value \"" + value + "\" is not a number";
            return std::nullopt;
        }
        if (found->value == FaultName::Millis) {
            plan.delay = std::chrono::milliseconds{number};
        } else {
            plan.length = static_cast<std::size_t>(number);
        }
    }
    if (parts.size() > 2) {
        if (!ParseNumber(parts[2], INT_MAX, number) || number < 1) {
            error = "fault count \"" + parts[2] + "\" is not a positive number";
            return std::nullopt;
        }
        plan.times = static_cast<int>(number);
    }
    return plan;
}

ParsedOptions ParseProgramOptions(const std::vector<std::string>& args) {
    ParsedOptions result;
    ProgramOptions options;
    auto fail = [&result](std::string error) {
        result.error = std::move(error);
        return result;
    };
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string option = args[i];
        std::optional<std::string> value;
        if (const auto eq = option.find('=');
            option.rfind("--", 0) == 0 && eq != std::string::npos) {
            value = option.substr(eq + 1);
            option.resize(eq);
        }
        const bool takesValue = option == "--reader" || option == "--fault" ||
                                option == "--version" || option == "--link" || option == "--card" ||
                                option == "--keys" || option == "--poll-data" ||
                                option == "--mifare" || option == "--restart";
        if (takesValue && !value) {
            if (i + 1 == args.size()) return fail(option + " needs a value");
            value = args[++i];
        } else if (!takesValue && value) {
            return fail(option + " takes no value");
        }
        ProgramLine& line = options.lines.back();
        if (option == "--reader") {
            std::string error;
            auto config = ParseReaderText(*value, error);
            if (!config) return fail(error);
            line.readers.push_back(*config);
        } else if (option == "--version") {
            if (line.readers.empty()) return fail("--version belongs after a --reader");
            if (value->empty() || value->size() > 64 || !Printable(*value)) {
                return fail("version \"" + *value + "\" is not 1 to 64 printable characters");
            }
            line.readers.back().version = *value;
        } else if (option == "--card") {
            if (line.readers.empty()) return fail("--card belongs after a --reader");
            std::string error;
            if (!ParseCardText(*value, line.readers.back(), error)) return fail(error);
        } else if (option == "--keys") {
            if (line.readers.empty()) return fail("--keys belongs after a --reader");
            if (value->empty() || value->size() > 32 || !Printable(*value)) {
                return fail("keys \"" + *value + "\" are not 1 to 32 printable characters");
            }
            line.readers.back().keysInField = *value;
        } else if (option == "--poll-data") {
            if (line.readers.empty()) return fail("--poll-data belongs after a --reader");
            if (value->size() > 64 || !Printable(*value)) {
                return fail("poll data \"" + *value + "\" are not 0 to 64 printable characters");
            }
            line.readers.back().pollDataOverride = *value;
        } else if (option == "--mifare") {
            if (line.readers.empty()) return fail("--mifare belongs after a --reader");
            if (!HasMifare(line.readers.back().kind))
                return fail("--mifare needs a MIFARE reader (PX30M, PX40M, PX50M, PX60M)");
            const auto colon = value->find(':');
            std::string error;
            auto card =
                ParseMifareText(value->substr(0, colon),
                                colon == std::string::npos ? "" : value->substr(colon + 1), error);
            if (!card) return fail(error);
            line.readers.back().mifare.card = std::move(card);
        } else if (option == "--restart") {
            if (line.readers.empty() || !HasFingerprint(line.readers.back().kind))
                return fail("--restart belongs after a fingerprint --reader (PX60, PX60M)");
            long long ms = 0;
            if (!ParseNumber(*value, kMaxRestartMs, ms))
                return fail("restart time \"" + *value + "\" is not 0 to 600000 milliseconds");
            line.readers.back().fingerprint.restartTime = std::chrono::milliseconds{ms};
        } else if (option == "--fault") {
            if (line.fault.fault != Fault::None) return fail("one --fault per line");
            std::string error;
            auto plan = ParseFaultText(*value, error);
            if (!plan) return fail(error);
            line.fault = *plan;
        } else if (option == "--link") {
            if (!line.link.empty()) return fail("one --link per line");
            if (value->empty()) return fail("--link needs a path");
            line.link = *value;
        } else if (option == "--new-line") {
            options.lines.emplace_back();
        } else if (option == "--interactive") {
            options.interactive = true;
        } else if (option == "--no-pacing") {
            options.pacing = false;
        } else if (option == "--quiet" || option == "-q") {
            options.quiet = true;
        } else if (option == "--help" || option == "-h") {
            options.help = true;
        } else {
            return fail("unknown option \"" + args[i] + "\"");
        }
    }
    for (auto& line : options.lines) {
        if (line.readers.empty()) line.readers.push_back(kDefaultReader);
    }
    result.options = std::move(options);
    return result;
}

std::string ProgramUsage() {
    return R"(Usage: tagbench-sim [OPTION]...
Simulated card readers on pseudo-terminals, for trying Tag Bench without hardware.
Prints the device path of each line, one a line, the first line first, then serves the
readers until interrupted (SIGINT or SIGTERM). Without options: one PX10 reader, ID 01,
serial number 12345678, at 19200,e,8,1.

  --reader TYPE[:ID[:SERIAL[:LINESETTINGS]]]
                      add a reader to the current line (repeatable). TYPE: PX10, PX40,
                      PX30M, PX40M, PX50, PX50M, PX60, PX60M; ID 1 to 99 (default 01);
                      SERIAL 8 characters (default 12345678); LINESETTINGS like
                      19200,e,8,1 with a speed from 4800 to 230400 (default 19200,e,8,1).
                      Example: --reader PX40:07:ABCD1234:9600,n,8,1
  --version TEXT      the version the reader just added reports (16 characters give a
                      24-byte reply, 8 characters a 16-byte one)
  --card HEX[:KEYS]   the reader just added holds a card of 8 or 16 hexadecimal digits and
                      reports it on every card poll, with KEYS typed on its keypad after
                      it if given. Plain poll ("F"): 8 digits give a 17-byte reply, 16 digits
                      a 26-byte one, with keys the card-and-keys form; two-way poll ("I"):
                      the masked code. Example: --card 00A0B0C0  --card 0123456789ABCDEF:1234
  --keys KEYS         the reader just added reports KEYS typed on its keypad on every card
                      poll (alone, or after the --card of the same reader)
  --poll-data TEXT    the reader just added answers every card poll with TEXT as the reply's
                      data field, as it stands (any reply length; a card or keys win)
  --mifare 1K|4K[:UID]
                      the MIFARE reader just added (PX30M, PX40M, PX50M, PX60M) holds a
                      MIFARE Classic 1K or 4K card as delivered: transport key
                      FFFFFFFFFFFF, access bits FF0780, data blocks zero. UID: 8
                      hexadecimal digits (default 5A6B7C8D). Example: --mifare 4K:0A1B2C3D
  --restart MS        the fingerprint reader just added (PX60, PX60M) stays silent for MS
                      milliseconds after answering "R6", while it restarts (default 3000;
                      0: it never goes silent)
  --new-line          the readers that follow go on a new line (another pseudo-terminal)
  --fault NAME[:VALUE[:TIMES]]
                      play a fault on the replies of the current line, on the next TIMES
                      replies (default: all). NAME and VALUE:
                        silence               no reply
                        late:MS               the reply starts MS milliseconds late
                        trickle:MS            a pause of MS milliseconds after every byte
                        wrong-checksum        the checksum does not match
                        stray-byte            an extra byte in front of the reply
                        wrong-length          the data field loses its last character
                        garbage               random bytes instead of the reply
                        overlong:LENGTH       a well-formed reply of LENGTH data characters
                        line-gone[:LENGTH]    the line disappears after LENGTH reply bytes
                        altered-data          the last data character turns into another
  --link PATH         make PATH a symbolic link to the current line's device (removed on
                      exit), so a port map entry can name a fixed path
  --interactive       read lines from standard input, each presented once, to the next card
                      poll of every reader: "card HEX[:KEYS]" (as --card), "keys KEYS"
                      (a keypad entry), "data TEXT" (a reply data field as it stands);
                      and "display", which prints on standard output what every PX50
                      and PX50M reader's display holds: its parameters, texts, title
                      mode and title icon (16 lines of 128 characters, '#' dark);
                      and for every MIFARE reader "mifare 1K|4K [UID]" (a new card as
                      delivered in the field, in place of any other) and "remove" (the
                      card leaves the field)
  --no-pacing         send and take frames as fast as the pseudo-terminal goes instead of
                      at the line speed
  -q, --quiet         print nothing but the device paths
  -h, --help          show this help
      --version       alone: show the program's version

Exit status: 0 when stopped by a signal, 1 when a line or link could not be made,
2 for bad options.
)";
}

bool ApplyConsoleLine(const std::string& line, const std::vector<SimReader*>& readers,
                      std::string& error) {
    std::string text = line;
    while (!text.empty() && (text.back() == '\r' || text.back() == ' ')) text.pop_back();
    const auto space = text.find(' ');
    const std::string word = text.substr(0, space);
    const std::string value = space == std::string::npos ? std::string() : text.substr(space + 1);
    if (word == "mifare" || word == "remove") {
        std::vector<SimReader*> mifareReaders;
        for (SimReader* reader : readers) {
            if (HasMifare(reader->config().kind)) mifareReaders.push_back(reader);
        }
        if (mifareReaders.empty()) {
            error = "no MIFARE reader to hold a MIFARE card";
            return false;
        }
        std::optional<MifareCard> card;
        if (word == "mifare") {
            const auto gap = value.find(' ');
            card = ParseMifareText(value.substr(0, gap),
                                   gap == std::string::npos ? "" : value.substr(gap + 1), error);
            if (!card) return false;
        } else if (!value.empty()) {
            error = "\"remove\" takes nothing after it";
            return false;
        }
        for (SimReader* reader : mifareReaders) {
            if (card) {
                reader->presentMifareCard(*card);
            } else {
                reader->removeMifareCard();
            }
        }
        return true;
    }
    PollReply reply;
    if (word == "card") {
        ReaderConfig parsed;
        if (!ParseCardText(value, parsed, error)) return false;
        reply = CardReply(parsed.cardInField, parsed.keysInField);
    } else if (word == "keys" && !value.empty() && value.size() <= 32 && Printable(value)) {
        reply = CardReply({}, value);
    } else if (word == "data" && value.size() <= 64 && Printable(value)) {
        reply = {value, value};
    } else {
        error = "\"" + text +
                "\" is not card HEX[:KEYS], keys KEYS, data TEXT, display, mifare 1K|4K [UID] or "
                "remove";
        return false;
    }
    for (SimReader* reader : readers) {
        if (!reader->present(reply)) {
            error = "a reader has " + std::to_string(SimReader::kMaxPresented) +
                    " entries waiting already";
            return false;
        }
    }
    return true;
}

namespace {

// Replaces a link left behind by an earlier run, but never anything else.
bool MakeLink(const std::string& target, const std::string& link, std::string& error) {
    struct stat info {};
    if (::lstat(link.c_str(), &info) == 0) {
        if (!S_ISLNK(info.st_mode)) {
            error = link + " exists and is not a symbolic link";
            return false;
        }
        ::unlink(link.c_str());
    }
    if (::symlink(target.c_str(), link.c_str()) != 0) {
        error = "cannot create the link " + link;
        return false;
    }
    return true;
}

void RemoveLink(const std::string& target, const std::string& link) {
    char buffer[PATH_MAX] = {};
    const ssize_t length = ::readlink(link.c_str(), buffer, sizeof buffer - 1);
    if (length >= 0 && std::string(buffer, static_cast<std::size_t>(length)) == target) {
        ::unlink(link.c_str());
    }
}

}  // namespace

int RunProgram(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
               const std::atomic<bool>& stop) {
    // After a --reader, --version is that reader's; alone it is the program's.
    if (args.size() == 1 && args[0] == "--version") {
        out << "tagbench-sim " << tagbench::kVersion << "\n" << std::flush;
        return 0;
    }
    const auto parsed = ParseProgramOptions(args);
    if (!parsed.options) {
        err << "tagbench-sim: " << parsed.error << "\nTry 'tagbench-sim --help'.\n";
        return 2;
    }
    const ProgramOptions& options = *parsed.options;
    if (options.help) {
        out << ProgramUsage() << std::flush;
        return 0;
    }

    std::vector<std::unique_ptr<SimLine>> lines;
    std::vector<std::pair<std::string, std::string>> links;  // target, link
    int status = 0;
    for (const auto& planned : options.lines) {
        auto line = std::make_unique<SimLine>();
        line->setPacing(options.pacing);
        for (const auto& reader : planned.readers) line->addReader(reader);
        line->setFault(planned.fault);
        if (!line->start()) {
            err << "tagbench-sim: no pseudo-terminal to be had\n";
            status = 1;
            break;
        }
        if (!planned.link.empty()) {
            std::string error;
            if (!MakeLink(line->devicePath(), planned.link, error)) {
                err << "tagbench-sim: " << error << "\n";
                status = 1;
                break;
            }
            links.emplace_back(line->devicePath(), planned.link);
        }
        lines.push_back(std::move(line));
    }

    if (status == 0) {
        for (const auto& line : lines) out << line->devicePath() << '\n';
        out << std::flush;
        if (!options.quiet) {
            for (std::size_t i = 0; i < lines.size(); ++i) {
                for (const SimReader* reader : lines[i]->readers()) {
                    const ReaderConfig config = reader->config();
                    err << lines[i]->devicePath() << ": " << ReaderKindName(config.kind) << " ID "
                        << (config.id < 10 ? "0" : "") << config.id << " S/N " << config.serial
                        << " at " << config.lineSettings;
                    // Linux pseudo-terminals drop the parity flag: only the speed tells.
                    const std::size_t comma = config.lineSettings.find(',');
                    if (comma != std::string::npos && comma + 1 < config.lineSettings.size() &&
                        config.lineSettings[comma + 1] != 'n')
                        err << " (a pseudo-terminal keeps no parity: it answers at "
                            << config.lineSettings.substr(0, comma) << " with any parity)";
                    if (!config.cardInField.empty()) err << ", card " << config.cardInField;
                    if (!config.keysInField.empty()) err << ", keys " << config.keysInField;
                    if (config.mifare.card) err << ", " << MifareCardName(*config.mifare.card);
                    err << "\n";
                }
            }
            err << std::flush;
        }
        std::vector<SimReader*> everyReader;
        for (const auto& line : lines) {
            for (SimReader* reader : line->readers()) everyReader.push_back(reader);
        }
        bool console = options.interactive;
        std::string typed;
        while (!stop.load()) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            // Standard input is looked at between naps only, so a signal still ends us at once.
            while (console) {
                pollfd input{STDIN_FILENO, POLLIN, 0};
                if (::poll(&input, 1, 0) <= 0) break;
                char buffer[256];
                const ssize_t got = ::read(STDIN_FILENO, buffer, sizeof buffer);
                if (got <= 0) {
                    console = false;  // end of input: serve on without it
                    break;
                }
                typed.append(buffer, static_cast<std::size_t>(got));
                for (auto end = typed.find('\n'); end != std::string::npos;
                     end = typed.find('\n')) {
                    std::string error;
                    const std::string entry = typed.substr(0, end);
                    typed.erase(0, end + 1);
                    if (IsDisplayConsoleLine(entry)) {
                        out << DisplayConsoleReport(everyReader) << std::flush;
                    } else if (!entry.empty() && !ApplyConsoleLine(entry, everyReader, error)) {
                        err << "tagbench-sim: " << error << "\n";
                    }
                }
                if (typed.size() > 1024) typed.clear();  // no line is that long
            }
            // Taken even when quiet, so a long session does not pile up its log.
            for (const auto& line : lines) {
                for (const auto& command : line->takeReceivedCommands()) {
                    if (!options.quiet) err << line->devicePath() << " <- " << command << '\n';
                }
            }
            if (!options.quiet) err << std::flush;
        }
    }

    for (const auto& [target, link] : links) RemoveLink(target, link);
    for (auto& line : lines) line->stop();
    return status;
}

}  // namespace tbsim
