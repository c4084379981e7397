#include "cli/Options.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <set>

#include "actions/Limits.h"
#include "cli/Registry.h"
#include "commands/config/ListItems.h"
#include "link/Discovery.h"
#include "link/LineSettingsList.h"
#include "platform/LineSettings.h"
#include "platform/NetworkAddress.h"

namespace cli {
namespace {

bool Takes(const std::vector<Option>& options, const std::string& name, const Option*& found) {
    for (const Option& option : options)
        if (option.name == name) found = &option;
    return found != nullptr;
}

// The long name of "-p": among the options every subcommand takes, then the subcommand's own.
std::string LongName(const Subcommand* entry, char letter) {
    for (const auto* options : {&CommonOptions(), entry ? &entry->options : nullptr})
        if (options)
            for (const Option& option : *options)
                if (option.shortName == letter) return option.name;
    return {};
}

// A probe's reply is 16 characters; a reader answers at once, but the command's own bytes, the
// reader's turn and the link's 20 ms wait slices need some room.
constexpr int kSilenceMarginMs = 20;
constexpr int kSilenceMostMs = 60000;

class Parser {
public:
    explicit Parser(const std::vector<std::string>& args) : args_(args) {}

    Parsed run() {
        for (const std::string& arg : args_)
            if (arg == "--")
                break;
            else if (arg == "--json")
                json_ = true;
        if (args_.empty()) return fail("no subcommand given (see tagbench-cli --help)");
        const std::string& first = args_[0];
        if (first == "-h" || first == "--help" || first == "help") return help();
        const Subcommand* entry = SubcommandNamed(first);
        if (!entry) return fail("unknown subcommand '" + first + "' (see tagbench-cli --help)");
        entry_ = entry;
        run_.subcommand = entry;
        Arguments arguments;
        bool optionsEnd = false;
        for (std::size_t i = 1; i < args_.size(); ++i) {
            const std::string& arg = args_[i];
            if (!optionsEnd && arg == "--") {
                optionsEnd = true;
            } else if (!optionsEnd && arg.size() > 2 && arg.compare(0, 2, "--") == 0) {
                if (!option(arg, i)) return fail(reading_.error);
            } else if (!optionsEnd && arg.size() > 1 && arg[0] == '-' &&
                       !std::isdigit(static_cast<unsigned char>(arg[1]))) {
                // "-p COM3" is "--port COM3"
                const std::string name = arg.size() == 2 ? LongName(entry, arg[1]) : "";
                if (name.empty()) return fail("unknown option '" + arg + "'");
                if (!option("--" + name, i)) return fail(reading_.error);
            } else {
                arguments.push_back(arg);
            }
        }
        if (run_.help) return {run_, {}};
        const int given = static_cast<int>(arguments.size());
        if (given > entry->argumentCount ||
            given < entry->argumentCount - entry->optionalArguments) {
            return fail(
                entry->name + " takes " +
                (entry->argumentCount == 0 ? std::string("no arguments") : entry->synopsis) +
                (arguments.empty() ? "" : " (got: " + Join(arguments) + ")"));
        }
        if (entry->needsPort && !run_.port && run_.portPath.empty())
            return fail(entry->name + " needs --port");
        if (given_.count("silence") && !silenceKept()) return fail(reading_.error);
        if (entry->types && !typeShows(*entry->types)) return fail(reading_.error);
        if (entry->arguments && !entry->arguments(reading_, arguments)) return fail(reading_.error);
        return {run_, {}};
    }

private:
    static std::string Join(const std::vector<std::string>& words) {
        std::string joined;
        for (const auto& word : words) joined += (joined.empty() ? "" : " ") + word;
        return joined;
    }

    Parsed fail(const std::string& message) {
        return {std::nullopt, message, json_, entry_ ? entry_->name : "help"};
    }
    bool bad(const std::string& message) { return reading_.bad(message); }

    Parsed help() {
        run_.help = true;
        if (args_.size() > 1 && args_[0] == "help") {
            run_.helpTopic = SubcommandNamed(args_[1]);
            if (!run_.helpTopic)
                return fail("unknown subcommand '" + args_[1] + "' (see tagbench-cli --help)");
        }
        return {run_, {}};
    }

    bool typeShows(const TypeRule& rule) {
        const auto& info = commands::Info(run_.readerType());
        if (info.Shows(rule.page)) return true;
        return bad(std::string(info.name) + " has no " + rule.lacking + " (--type " +
                   TypeNames(rule.page) + ")");
    }

    bool option(const std::string& arg, std::size_t& i) {
        const std::size_t equals = arg.find('=');
        const std::string name = arg.substr(2, equals == std::string::npos ? equals : equals - 2);
        const Option* found = nullptr;
        const bool common = Takes(CommonOptions(), name, found);
        if (!common && !Takes(entry_->options, name, found)) {
            for (const Subcommand& other : Subcommands())
                if (Takes(other.options, name, found))
                    return bad(entry_->name + " does not take --" + name);
            return bad("unknown option '--" + name + "'");
        }
        // An option that would change nothing is a mistake to point out, not to pass over.
        if (common && std::find(entry_->ignores.begin(), entry_->ignores.end(), name) !=
                          entry_->ignores.end())
            return bad(entry_->name + " does not take --" + name);
        if (!given_.insert(name).second) return bad("--" + name + " is given twice");
        std::string value;
        if (!found->value.empty()) {
            if (equals != std::string::npos) {
                value = arg.substr(equals + 1);
            } else if (i + 1 < args_.size()) {
                value = args_[++i];
            } else {
                return bad("--" + name + " needs a value");
            }
        } else if (equals != std::string::npos) {
            return bad("--" + name + " takes no value");
        }
        return set(name, value);
    }

    bool set(const std::string& name, const std::string& value) {
        if (name == "port") return port(value);
        if (name == "settings") {
            run_.settingsIndex = ParseLineSettings(value);
            return run_.settingsIndex ? true
                                      : bad("--settings: '" + value +
                                            "' is not one of the 14 line settings (such as "
                                            "19200,e,8,1) nor their index 0 to 13");
        }
        if (name == "id") {
            run_.id = ParseReaderId(value);
            return run_.id ? true : bad("--id: '" + value + "' is not a reader ID 1 to 99");
        }
        if (name == "type") {
            run_.anyType = value == "any" || value == "ANY";
            if (run_.anyType && entry_->name != "scan") return bad("--type any is for scan only");
            run_.type = commands::ReaderTypeNamed(run_.anyType ? "PX10" : value);
            return run_.type
                       ? true
                       : bad("--type: '" + value + "' is not one of " + TypeNames(std::nullopt));
        }
        if (name == "json") return run_.json = true;
        if (name == "trace") return run_.trace = true;
        if (name == "quiet") return run_.quiet = true;
        if (name == "timestamps") return run_.timestamps = true;
        if (name == "silence") {
            const auto ms = ParseNumber(value, 1, kSilenceMostMs);
            if (!ms) return bad("--silence: '" + value + "' is not a number of milliseconds");
            run_.silenceMs = *ms;
            return true;
        }
        if (name == "help") return run_.help = true;
        if (name == "ports") {
            std::string bad_;
            const auto ports = ParsePortList(value, bad_);
            if (!ports) return bad("--ports: '" + bad_ + "' is not a port such as COM3");
            run_.ports = *ports;
            return true;
        }
        if (name == "lock") return run_.lock = true;
        if (name == "parallel") return run_.parallel = true;
        if (name == "all") return run_.all = true;
        if (name == "ids") {
            const auto ids = ParseIdList(value);
            if (!ids) return bad("--ids: '" + value + "' is not a list of IDs such as 1-20,50");
            run_.ids = *ids;
            return true;
        }
        if (name == "two-way") return run_.twoWay = true;
        if (name == "invalid") return run_.invalid = true;
        if (name == "count") {
            run_.count = ParseNumber(value, 1, 1000000);
            return run_.count ? true : bad("--count: '" + value + "' is not a number from 1");
        }
        if (name == "timeout") return timeout(value);
        if (name == "raw") return run_.raw = true;
        if (name == "out") {
            run_.outPath = value;
            return value.empty() ? bad("--out needs a file name") : true;
        }
        if (name == "results") {
            run_.resultsPath = value;
            return value.empty() ? bad("--results needs a file name") : true;
        }
        if (name == "delimiter") {
            run_.delimiter = value == "," ? ',' : value == ";" ? ';' : value == "tab" ? '\t' : 0;
            return run_.delimiter ? true : bad("--delimiter: '" + value + "' is not , ; or tab");
        }
        if (name == "ignore-column") {
            std::string column;
            for (std::size_t at = 0; at <= value.size(); ++at) {
                if (at < value.size() && value[at] != ',') {
                    column += value[at];
                } else if (!column.empty()) {
                    run_.ignoredColumns.push_back(column);
                    column.clear();
                }
            }
            return run_.ignoredColumns.empty() ? bad("--ignore-column needs a column name") : true;
        }
        if (name == "dry-run") return run_.dryRun = true;
        if (name == "with-identity") return run_.withIdentity = true;
        return setReaderOption(name, value);
    }

    // The options of the MIFARE and display subcommands.
    bool setReaderOption(const std::string& name, const std::string& value) {
        if (name == "code-page") {
            const auto page = ParseCodePage(value);
            if (!page) return bad("--code-page: '" + value + "' is not 1252, gbk or big5");
            run_.codePage = *page;
            return true;
        }
        if (name == "key") {
            const auto slot = ParseKeySlot(value);
            if (!slot) return bad("--key: '" + value + "' is not A or B");
            run_.keySlot = *slot;
            return true;
        }
        if (name == "key-error") {
            const auto item = ItemNamed(commands::kKeyErrorItems, value);
            if (!item)
                return bad("--key-error: '" + value + "' is not none, led, beep or beep+led");
            run_.keyError = *item;
            return true;
        }
        if (name == "key-hex") {
            reading_.keyGiven = true;
            return hex(name, value, actions::kKeyBytes, run_.key);
        }
        if (name == "eeprom") return run_.eeprom = true;
        if (name == "old-key") return hex(name, value, actions::kKeyBytes, run_.oldKey);
        if (name == "key-a") return hex(name, value, actions::kKeyBytes, run_.keyA);
        if (name == "key-b") return hex(name, value, actions::kKeyBytes, run_.keyB);
        if (name == "access") {
            reading_.accessGiven = true;
            return hex(name, value, actions::kAccessBitsBytes, run_.access);
        }
        if (name == "force") return run_.force = true;
        if (name == "conditions") {
            run_.conditions = ParseConditions(value);
            return run_.conditions ? true
                                   : bad("--conditions: '" + value +
                                         "' is not four conditions C1C2C3 such as 000,000,000,001");
        }
        if (name == "at") {
            run_.clockAt = ParseClock(value);
            return run_.clockAt ? true
                                : bad("--at: '" + value +
                                      "' is not a date and time such as \"2026-12-07 15:04:05\"");
        }
        if (name == "hour-format") {
            const auto format = ParseHourFormat(value);
            if (!format) return bad("--hour-format: '" + value + "' is not 12 or 24");
            run_.hourFormat = *format;
            return true;
        }
        return bad("unknown option '--" + name + "'");
    }

    // Every line setting the probes go out at leaves a reply time to arrive.
    bool silenceKept() {
        std::vector<int> settings = {run_.lineSettings()};
        if (entry_->name == "scan" && !run_.lock)
            for (int i = 0; i < tblink::kScannedLineSettingsCount; ++i) settings.push_back(i);
        const int slowest = *std::max_element(settings.begin(), settings.end(), [](int a, int b) {
            return SilenceFloorMs(a) < SilenceFloorMs(b);
        });
        const int floor = SilenceFloorMs(slowest);
        if (run_.silenceMs >= floor) return true;
        return bad(
            "--silence " + std::to_string(run_.silenceMs) + ": a reply at " +
            tblink::kLineSettingsTexts[slowest] + " needs at least " + std::to_string(floor) +
            " ms" +
            (settings.size() > 1 ? " (the walk tries it; --lock tries only --settings)" : ""));
    }

    // A key or access bits in upper case, as the window's edit boxes hold them.
    bool hex(const std::string& name, const std::string& value, int digits, std::string& text) {
        if (!reading_.hex(value, static_cast<std::size_t>(digits), "--" + name + ":")) return false;
        text = Upper(value);
        return true;
    }

    // A COM number, or a device path or network port URL that gets one from the port map.
    bool port(const std::string& value) {
        run_.port = ParsePort(value);
        run_.portPath.clear();
        if (run_.port) return true;
        if (platform::IsUrl(value)) {
            if (platform::ParseNetworkAddress(value)) return run_.portPath = value, true;
            return bad("--port: '" + value + "' is not rfc2217://HOST:PORT nor socket://HOST:PORT");
        }
        if (!value.empty() && value[0] == '/') return run_.portPath = value, true;
        return bad("--port: '" + value +
                   "' is not a port such as COM3, 3, /dev/ttyUSB0 or rfc2217://HOST:PORT");
    }

    bool timeout(const std::string& value) {
        char* end = nullptr;
        const double seconds = std::strtod(value.c_str(), &end);
        if (value.empty() || end != value.c_str() + value.size() || !(seconds > 0) || seconds > 1e6)
            return bad("--timeout: '" + value + "' is not a number of seconds above 0");
        run_.timeoutSeconds = seconds;
        return true;
    }

    const std::vector<std::string>& args_;
    bool json_ = false;
    std::set<std::string> given_;
    const Subcommand* entry_ = nullptr;
    Invocation run_;
    Reading reading_{run_, {}};
};

}  // namespace

Parsed ParseArguments(const std::vector<std::string>& args) { return Parser(args).run(); }

int SilenceFloorMs(int lineSettingsIndex) {
    const auto line = platform::ParseLineSettings(tblink::kLineSettingsTexts[lineSettingsIndex]);
    const int baud = line.baud.value_or(1);
    const int replyBits = tblink::kProbeReplyLength * platform::BitsPerCharacter(line);
    return (replyBits * 1000 + baud - 1) / baud + kSilenceMarginMs;
}

}  // namespace cli
