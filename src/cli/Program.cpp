#include "cli/Program.h"

#include <QDateTime>
#include <QFile>
#include <QSaveFile>
#include <QString>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <map>
#include <ostream>
#include <sstream>
#include <variant>

#include "cli/AccessWords.h"
#include "cli/Json.h"
#include "cli/Operations.h"
#include "cli/Options.h"
#include "cli/PageCommands.h"
#include "cli/Plan.h"
#include "commands/config/CardReading.h"
#include "commands/config/Identity.h"
#include "commands/config/Keypad.h"
#include "commands/config/ListItems.h"
#include "commands/fingerprint/StandAlone.h"
#include "commands/fingerprint/TemplateFile.h"
#include "commands/mifare/CardGeometry.h"
#include "commands/mifare/MifareCommands.h"
#include "link/LineSettingsList.h"
#include "link/PortList.h"
#include "link/ReplyFields.h"
#include "pictures/PictureIcon.h"
#include "platform/CodePage.h"
#include "platform/PortDiagnosis.h"

namespace cli {
namespace {

using text::Msg;
namespace fp = commands::fingerprint;

std::string ComName(int port) { return "COM" + std::to_string(port); }

std::string LineSettingsText(int index) { return tblink::kLineSettingsTexts[index]; }

// Empty texts are null in JSON.
std::optional<std::string> NonEmpty(const std::string& text) {
    return text.empty() ? std::nullopt : std::optional<std::string>(text);
}

std::string TrimEnd(std::string text) {
    while (!text.empty() && text.back() == ' ') text.pop_back();
    return text;
}

// Columns padded to their widest cell, two spaces apart; the last column is not padded.
void PrintTable(std::ostream& out, const std::vector<std::vector<std::string>>& rows) {
    std::vector<std::size_t> widths;
    for (const auto& row : rows)
        for (std::size_t c = 0; c < row.size(); ++c) {
            if (widths.size() <= c) widths.push_back(0);
            widths[c] = std::max(widths[c], row[c].size());
        }
    for (const auto& row : rows) {
        std::string line;
        for (std::size_t c = 0; c < row.size(); ++c) {
            line += row[c];
            if (c + 1 < row.size()) line += std::string(widths[c] - row[c].size() + 2, ' ');
        }
        out << TrimEnd(line) << '\n';
    }
}

template <std::size_t N>
std::string ItemText(const std::array<const char*, N>& items, int index) {
    return index >= 0 && index < static_cast<int>(N) ? items[index] : std::to_string(index);
}

// A setting by name, as `info` and the gets print it.
struct Setting {
    const char* key;    // JSON member
    const char* label;  // text line
    std::string text;
    std::optional<int> number;  // JSON number, when the setting is one
};

std::vector<Setting> Settings(const commands::ReadOutValues& v) {
    using namespace commands;
    std::vector<Setting> s;
    const auto item = [&](const char* key, const char* label, const std::optional<int>& value,
                          auto items) {
        if (value) s.push_back({key, label, ItemText(items, *value), std::nullopt});
    };
    const auto number = [&](const char* key, const char* label, const std::optional<int>& value,
                            bool twoDigits) {
        if (value)
            s.push_back(
                {key, label, twoDigits ? TwoDigits(*value) : std::to_string(*value), value});
    };
    item("interface", "interface", v.mode, kModeItems);
    item("wiegand", "wiegand", v.wiegand, kWiegandItems);
    item("rs485", "rs485", v.rs485, kRs485Items);
    item("cardType", "card type", v.cardType, kCardTypeItems);
    number("keyNumber", "key number", v.keyNumber, true);
    item("keyParity", "key parity", v.keyParity, kKeyParityItems);
    number("keyStatusNumber", "key status number", v.keyStatusNumber, true);
    number("keyDelaySeconds", "key delay (s)", v.keyDelaySeconds, true);
    number("idSector", "card ID sector", v.idSector, true);
    number("idBlock", "card ID block", v.idBlock, false);
    number("idByte", "card ID byte", v.idByte, false);
    if (v.idKeyB)
        s.push_back({"idKey", "card ID key", English(*v.idKeyB ? Msg::KeyB : Msg::KeyA), {}});
    item("idKeyError", "key error signal", v.idKeyError, kKeyErrorItems);
    return s;
}

class Program {
public:
    Program(const Invocation& run, std::ostream& out, std::ostream& err, const Environment& env)
        : run_(run), out_(out), err_(err), env_(env) {}

    int operator()() {
        if (run_.help) {
            out_ << Usage(run_.helpTopic.value_or(run_.command));
            return kExitOk;
        }
        ports_ = env_.ports ? env_.ports() : platform::PortMap();
        Progress progress(err_, env_.progress && !run_.json);
        Context context(ports_, progress, run_.trace ? &err_ : nullptr);
        context_ = &context;
        const int status = dispatch();
        progress.clear();
        return status;
    }

private:
    int dispatch() {
        switch (run_.command) {
            case Command::Help:
                return kExitOk;
            case Command::Ports:
                return ports();
            case Command::Scan:
                return scan();
            case Command::Census:
                return census();
            case Command::Info:
                return info();
            case Command::SetId:
                return command({Msg::SetIdOk, Msg::SetIdError}, [&](const commands::Session& s) {
                    return commands::SetReaderId(s, run_.newId);
                });
            case Command::SetLine:
                return command({Msg::SetReaderBaudRateOk, Msg::SetReaderBaudRateError},
                               [&](const commands::Session& s) {
                                   return commands::SetLineSettings(s, run_.lineSettingsIndex);
                               });
            case Command::SetInterface:
                return command({Msg::SetReaderInterfaceOk, Msg::SetReaderInterfaceError},
                               [&](const commands::Session& s) {
                                   return commands::SetInterface(s, run_.interface);
                               });
            case Command::GetInterface:
                return getInterface();
            case Command::SetCardType:
                return command({Msg::SetCardTypeOk, Msg::SetCardTypeError},
                               [&](const commands::Session& s) {
                                   return commands::SetCardType(s, run_.cardType);
                               });
            case Command::SetReadMode:
                return command({Msg::SetCardReadModeOk, Msg::SetCardReadModeError},
                               [&](const commands::Session& s) {
                                   return commands::SetCardReadMode(s, run_.readMode);
                               });
            case Command::SetKeyParity:
                return command({Msg::SetKeyParityOk, Msg::SetKeyParityError},
                               [&](const commands::Session& s) {
                                   return commands::SetKeyParity(s, run_.keyParity);
                               });
            case Command::SetKeyNumber:
                return command(
                    {Msg::SetKeyNumberOk, Msg::SetKeyNumberError}, [&](const commands::Session& s) {
                        return commands::SetKeyNumber(s, commands::TwoDigits(run_.keyNumber));
                    });
            case Command::SetKeyStatus:
                return command({Msg::SetKeyStatusCodeOk, Msg::SetKeyStatusCodeError},
                               [&](const commands::Session& s) {
                                   return commands::SetKeyStatus(
                                       s, commands::TwoDigits(run_.keyStatusNumber),
                                       commands::TwoDigits(run_.keyDelaySeconds));
                               });
            case Command::GetKeyParity:
            case Command::GetKeyNumber:
            case Command::GetKeyStatus:
                return getKeypad();
            case Command::Send:
                return send();
            case Command::ReadCards:
                return readCards();
            case Command::Apply:
                return apply();
            case Command::AccessBits:
                return accessBits();
            default:
                if (RunsOnAPage(run_.command)) return pageCommand();
                break;
        }
        return kExitUsage;
    }

    Target target() const {
        return {run_.port.value_or(0), run_.lineSettings(), run_.readerType(), run_.id};
    }

    // The outcome that ends a subcommand: its message line, or its JSON object.
    int report(const Outcome& outcome, JsonObject extra = {}) {
        if (run_.json) {
            JsonObject json;
            json.add("kind", "outcome").add("command", CommandName(run_.command));
            json.add("ok", outcome.ok()).add("exit", outcome.exit);
            json.add("message", NonEmpty(outcome.message));
            json.add("reason", NonEmpty(outcome.reason));
            if (!outcome.detail.empty()) json.add("detail", outcome.detail);
            out_ << json.add(extra).text() << std::endl;
        } else {
            // Why a port would not open, and what to do, is for the person at the terminal.
            const bool aside = outcome.exit == kExitPortClosed && !outcome.detail.empty();
            std::string line = outcome.message;
            if (!outcome.detail.empty() && !aside)
                line += line.empty() ? outcome.detail : " (" + outcome.detail + ")";
            if (!line.empty()) out_ << line << std::endl;
            if (aside) err_ << "tagbench-cli: " << outcome.detail << std::endl;
        }
        return outcome.exit;
    }

    int usage(const std::string& message) {
        err_ << "tagbench-cli: " << message << std::endl;
        return kExitUsage;
    }

    JsonObject readerJson(const ReaderRow& row, bool withType) const {
        JsonObject json;
        json.add("kind", "reader").add("port", ComName(row.port));
        json.add("settings", LineSettingsText(row.settingsIndex));
        if (withType) json.add("type", commands::Info(run_.readerType()).name);
        json.add("id", row.id).add("serial", FromReader(row.serial));
        json.add("version",
                 row.version ? std::optional<std::string>(FromReader(*row.version)) : std::nullopt);
        for (const Setting& setting : Settings(row.values)) {
            if (setting.number)
                json.add(setting.key, *setting.number);
            else
                json.add(setting.key, setting.text);
        }
        json.add("ok", row.outcome.ok()).add("message", row.outcome.message);
        return json;
    }

    // The readers found by scan and census, as a table or one object each.
    void printReaders(const std::vector<ReaderRow>& readers) {
        if (run_.json) {
            for (const ReaderRow& row : readers) out_ << readerJson(row, false).text() << '\n';
            out_.flush();
            return;
        }
        if (readers.empty()) return;
        std::vector<std::vector<std::string>> table = {
            {"PORT", "SETTINGS", "ID", "SERIAL", "VERSION"}};
        for (const ReaderRow& row : readers) {
            table.push_back({ComName(row.port), LineSettingsText(row.settingsIndex), row.id,
                             FromReader(row.serial),
                             row.version ? TrimEnd(FromReader(*row.version)) : "__.__-__"});
        }
        PrintTable(out_, table);
    }

    // Readers were listed: a reader whose read-out failed makes the whole run fail.
    int reportReaders(const std::vector<ReaderRow>& readers) {
        const auto failed = std::find_if(readers.begin(), readers.end(),
                                         [](const ReaderRow& r) { return !r.outcome.ok(); });
        if (failed != readers.end()) return report(failed->outcome);
        if (!run_.json) return kExitOk;
        JsonObject extra;
        extra.add("readers", static_cast<int>(readers.size()));
        return report(readers.front().outcome, extra);
    }

    int ports() {
        std::vector<int> numbers;
        for (const std::string& item : tblink::FillPortBox(ports_.names(), 0).items)
            if (const auto number = tblink::PortNumberFromBoxText(item)) numbers.push_back(*number);
        if (run_.port) {
            if (std::find(numbers.begin(), numbers.end(), *run_.port) == numbers.end()) {
                platform::PortDiagnosis unmapped;
                unmapped.problem = platform::PortProblem::NotMapped;
                unmapped.device = ComName(*run_.port);
                return report({kExitFailed, "", "port", platform::DescribePortProblem(unmapped)});
            }
            numbers = {*run_.port};
        }
        std::vector<std::vector<std::string>> table = {{"PORT", "DEVICE", "DESCRIPTION"}};
        for (const platform::PortDescription& port : ports_.describe(numbers)) {
            if (run_.json) {
                JsonObject json;
                json.add("kind", "port")
                    .add("port", ComName(port.number))
                    .add("number", port.number);
                json.add("device", port.devicePath).add("description", port.description);
                json.add("exists", port.exists);
                out_ << json.text() << '\n';
            } else {
                table.push_back({ComName(port.number),
                                 port.devicePath.empty() ? "-" : port.devicePath,
                                 port.description});
            }
        }
        if (!run_.json) PrintTable(out_, table);
        out_.flush();
        return kExitOk;
    }

    std::vector<int> walkPorts() const {
        if (!run_.ports.empty()) return run_.ports;
        std::vector<int> numbers;
        for (const std::string& item : tblink::FillPortBox(ports_.names(), 0).items)
            if (const auto number = tblink::PortNumberFromBoxText(item)) numbers.push_back(*number);
        return numbers;
    }

    int scan() {
        ScanPlan plan;
        plan.ports = walkPorts();
        plan.quickPort = run_.port;
        plan.settingsIndex = run_.lineSettings();
        plan.type = run_.readerType();
        plan.lock = run_.lock;
        plan.parallel = run_.parallel;
        plan.all = run_.all;
        const ScanResult result = Scan(*context_, plan);
        context_->progress.clear();
        printReaders(result.readers);
        if (!result.readers.empty()) return reportReaders(result.readers);
        if (result.anyPortOpened) return report(NotFoundOutcome());
        // Not one port opened: say why where it is one port.
        std::vector<int> tried = plan.ports;
        if (plan.quickPort && std::find(tried.begin(), tried.end(), *plan.quickPort) == tried.end())
            tried.push_back(*plan.quickPort);
        if (tried.size() == 1) return report(PortClosed(tried.front(), result.openFailure));
        return report({kExitPortClosed, English(Msg::ReaderNotFind), "port",
                       tried.empty() ? "no port to scan" : "none of the ports would open"});
    }

    static Outcome NotFoundOutcome() {
        return {kExitFailed, English(Msg::ReaderNotFind), "not-found", {}};
    }

    int census() {
        const CensusResult result = Census(*context_, target(), run_.ids);
        context_->progress.clear();
        if (result.portClosed) return report(*result.portClosed);
        printReaders(result.readers);
        if (result.readers.empty()) return report(NotFoundOutcome());
        return reportReaders(result.readers);
    }

    void printSettings(const std::vector<Setting>& settings,
                       const std::vector<std::pair<std::string, std::string>>& head) {
        std::vector<std::vector<std::string>> table;
        for (const auto& [label, value] : head) table.push_back({label, value});
        for (const Setting& setting : settings) table.push_back({setting.label, setting.text});
        PrintTable(out_, table);
    }

    int info() {
        const InfoResult result = Info(*context_, target());
        if (result.reader) {
            const ReaderRow& row = *result.reader;
            if (run_.json) {
                out_ << readerJson(row, true).text() << '\n';
            } else {
                printSettings(
                    Settings(row.values),
                    {{"port", ComName(row.port)},
                     {"line settings", LineSettingsText(row.settingsIndex)},
                     {"type", commands::Info(run_.readerType()).name},
                     {"id", row.id},
                     {"serial", FromReader(row.serial)},
                     {"version", row.version ? TrimEnd(FromReader(*row.version)) : "__.__-__"}});
            }
        }
        return report(result.outcome);
    }

    int command(const CommandTexts& texts, const Action& action) {
        Connection connection(*context_);
        Target where = target();
        return report(RunCommand(connection, where, texts, action));
    }

    // A get: the values it read, then its outcome.
    int got(const Outcome& outcome, const commands::ReadOutValues& values) {
        const auto settings = Settings(values);
        if (outcome.ok()) {
            if (run_.json) {
                JsonObject json;
                json.add("kind", "settings");
                for (const Setting& setting : settings) {
                    if (setting.number)
                        json.add(setting.key, *setting.number);
                    else
                        json.add(setting.key, setting.text);
                }
                out_ << json.text() << '\n';
            } else {
                printSettings(settings, {});
            }
        }
        return report(outcome);
    }

    int getInterface() {
        commands::ReadOutValues values;
        Connection connection(*context_);
        Target where = target();
        const Outcome outcome =
            RunCommand(connection, where, {Msg::GetReaderInterfaceOk, Msg::GetReaderInterfaceError},
                       [&](const commands::Session& s) {
                           const auto read = commands::GetInterface(s);
                           if (!read) return false;
                           values.mode = read->mode;
                           values.wiegand = read->wiegand;
                           values.rs485 = read->rs485;
                           return true;
                       });
        return got(outcome, values);
    }

    int getKeypad() {
        commands::ReadOutValues values;
        Connection connection(*context_);
        Target where = target();
        Outcome outcome;
        if (run_.command == Command::GetKeyParity) {
            outcome = RunCommand(connection, where, {Msg::GetKeyParityOk, Msg::GetKeyParityError},
                                 [&](const commands::Session& s) {
                                     values.keyParity = commands::GetKeyParity(s);
                                     return values.keyParity.has_value();
                                 });
        } else if (run_.command == Command::GetKeyNumber) {
            outcome = RunCommand(connection, where, {Msg::GetKeyNumberOk, Msg::GetKeyNumberError},
                                 [&](const commands::Session& s) {
                                     values.keyNumber = commands::GetKeyNumber(s);
                                     return values.keyNumber.has_value();
                                 });
        } else {
            outcome =
                RunCommand(connection, where, {Msg::GetKeyStatusCodeOk, Msg::GetKeyStatusCodeError},
                           [&](const commands::Session& s) {
                               const auto status = commands::GetKeyStatus(s);
                               if (!status) return false;
                               values.keyStatusNumber = status->keyNumber;
                               values.keyDelaySeconds = status->delaySeconds;
                               return true;
                           });
        }
        return got(outcome, values);
    }

    int send() {
        // The text is already in the bytes of its code page.
        const std::string& bytes = run_.text;
        if (bytes.size() > MaxSendLength(run_.raw)) {
            err_ << "tagbench-cli: send: the text is " << bytes.size()
                 << " bytes long; a command takes at most " << MaxSendLength(run_.raw) << std::endl;
            return report(
                {kExitUsage, English(Msg::CommandTestError), "too-long", "nothing was sent"});
        }
        std::string reply;
        const Outcome outcome = SendText(*context_, target(), bytes, run_.raw, reply);
        const std::string shown = FromReader(reply, run_.codePage);
        JsonObject extra;
        if (run_.json) {
            extra.add("reply", outcome.ok() ? std::optional<std::string>(shown) : std::nullopt);
        } else if (outcome.ok()) {
            out_ << "reply  " << shown << '\n';
        }
        return report(outcome, extra);
    }

    // A button of the MIFARE, display or common page: its command procedure, then what it read.
    int pageCommand() {
        if (run_.command == Command::TitleIcon) {
            const auto read = pictures::ReadTitlePicture(QFile::decodeName(run_.iconPath.c_str()));
            if (const auto* problem = std::get_if<pictures::IconProblem>(&read))
                return usage("title-icon: " + (*problem == pictures::IconProblem::NotAPicture
                                                   ? "'" + run_.iconPath + "' is not a picture"
                                                   : "cannot read '" + run_.iconPath + "'"));
        }
        const commands::display::ClockValue clock = run_.clockAt.value_or(LocalNow());
        PageValues values;
        if (run_.command == Command::PutTemplate && !readTemplate(values)) return kExitUsage;
        const auto page = PageCommandFor(run_, clock, values);
        if (!page) return kExitUsage;
        // A fingerprint reader's restart wait ticks a dot a poll after this.
        if (run_.command == Command::FactoryDefault || run_.command == Command::StandAloneDefault)
            context_->progress.status(English(Msg::PleaseWaiting));
        Connection connection(*context_);
        Target where = target();
        Outcome outcome = RunCommand(connection, where, page->texts, page->action);
        context_->progress.clear();
        if (values.iconUnreadable) {
            outcome.reason = "file";
            outcome.detail = "cannot read " + run_.iconPath;
        }
        if (outcome.reason == "reply") outcome.detail = CardReplyDetail(connection.link);
        JsonObject extra;
        switch (run_.command) {
            case Command::ReadBlock:
            case Command::WriteBlock:
                if (outcome.ok()) printBlock(*values.block);
                break;
            case Command::FactoryDefault:
                extra = factoryDefaultResult(outcome, where, values);
                break;
            case Command::GetFingerId:
                if (outcome.ok()) printFingerId(*values.fingerId);
                break;
            case Command::GetTemplate:
                if (outcome.ok()) extra = templateGot(outcome, values.template_);
                break;
            case Command::PutTemplate:
                if (values.templatePut != fp::TemplatePut::Written &&
                    values.templatePut != fp::TemplatePut::Failed) {
                    outcome.reason = "template";
                    outcome.detail = values.templatePut == fp::TemplatePut::EmptyPart
                                         ? "a part is empty once trimmed; nothing was sent"
                                         : "a part does not fit in a command; nothing was sent";
                }
                break;
            case Command::StandAloneDefault:
                if (outcome.ok()) extra = standAloneDefaults();
                break;
            case Command::DisplayClock:
                extra.add("clock", ClockText(clock));
                extra.add("hourFormat", HourFormatText(run_.hourFormat));
                if (outcome.ok() && !run_.json)
                    printSettings({}, {{"clock", ClockText(clock)},
                                       {"hour format", HourFormatText(run_.hourFormat)}});
                break;
            default:
                break;
        }
        return report(outcome, extra);
    }

    // put-template's file, its parts in the reader's code page; false, with the usage error
    // said, when it cannot be read or is not a template file.
    bool readTemplate(PageValues& values) {
        QFile file(QString::fromLocal8Bit(run_.templatePath.c_str()));
        if (!file.open(QIODevice::ReadOnly)) {
            usage("put-template: cannot read '" + run_.templatePath + "'");
            return false;
        }
        // One byte more than a template file may have tells a larger file from a whole one.
        const QByteArray bytes = file.read(static_cast<qint64>(fp::kMaxTemplateFileBytes) + 1);
        const fp::TemplateFileRead read =
            fp::ParseTemplateFile(std::string_view(bytes.constData(), bytes.size()));
        if (!read.file) {
            usage("put-template: " + run_.templatePath + ": " +
                  English(TemplateProblemText(read.problem)));
            return false;
        }
        for (std::size_t part = 0; part < values.templateParts.size(); ++part) {
            const std::string& text = read.file->parts[part];
            values.templateParts[part] = platform::EncodeText(
                QString::fromUtf8(text.data(), static_cast<int>(text.size())), run_.codePage);
        }
        return true;
    }

    static Msg TemplateProblemText(fp::TemplateFileProblem problem) {
        switch (problem) {
            case fp::TemplateFileProblem::BadFingerNumber:
                return Msg::TemplateFileBadFingerNo;
            case fp::TemplateFileProblem::BadPart:
                return Msg::TemplateFileBadPart;
            case fp::TemplateFileProblem::PartTooLong:
                return Msg::TemplateFilePartTooLong;
            case fp::TemplateFileProblem::None:
            case fp::TemplateFileProblem::NotTemplateFile:
                break;
        }
        return Msg::TemplateFileNotTemplate;
    }

    void printFingerId(const std::string& id) {
        const std::string finger = FingerNumberText(run_.fingerNumber);
        if (run_.json) {
            JsonObject json;
            json.add("kind", "finger").add("finger", finger).add("id", FromReader(id));
            out_ << json.text() << '\n';
            return;
        }
        printSettings({}, {{"finger", finger}, {"fingerprint ID", FromReader(id)}});
    }

    // get-template: the parts printed, or with --out written to a template file as the window
    // saves one; a file that cannot be written fails the run.
    JsonObject templateGot(Outcome& outcome, const fp::TemplateGet& got) {
        const std::string finger = FingerNumberText(run_.fingerNumber);
        fp::TemplateFile file{finger, {}};
        for (std::size_t part = 0; part < got.parts.size(); ++part)
            file.parts[part] = FromReader(got.parts[part].value_or(""), run_.codePage);
        JsonObject extra;
        if (!run_.outPath.empty()) {
            const fp::TemplateFileProblem problem = fp::CheckTemplateFile(file);
            const std::string text =
                problem == fp::TemplateFileProblem::None ? fp::FormatTemplateFile(file) : "";
            QSaveFile out(QString::fromLocal8Bit(run_.outPath.c_str()));
            const bool saved = problem == fp::TemplateFileProblem::None &&
                               out.open(QIODevice::WriteOnly) &&
                               out.write(text.data(), static_cast<qint64>(text.size())) ==
                                   static_cast<qint64>(text.size()) &&
                               out.commit();
            if (!saved) {
                const Msg why = problem == fp::TemplateFileProblem::None
                                    ? Msg::TemplateFileUnwritable
                                    : TemplateProblemText(problem);
                outcome = {kExitFailed, English(Msg::SaveTemplateError) + " " + English(why),
                           "file", "cannot write " + run_.outPath};
            }
            extra.add("file", run_.outPath);
            return extra;
        }
        if (run_.json) {
            JsonObject json;
            json.add("kind", "template").add("finger", finger);
            json.addStrings("parts", {file.parts.begin(), file.parts.end()});
            out_ << json.text() << '\n';
        } else {
            printSettings({}, {{"finger", finger},
                               {"part 1", file.parts[0]},
                               {"part 2", file.parts[1]},
                               {"part 3", file.parts[2]}});
        }
        return extra;
    }

    // What a stand-alone default leaves in the reader, as the window shows it afterwards.
    JsonObject standAloneDefaults() {
        const std::string id = commands::TwoDigits(fp::kDefaultReaderId);
        const std::string settings = LineSettingsText(tblink::kDefaultLineSettingsIndex);
        char facility[8];
        std::snprintf(facility, sizeof facility, "%05d", fp::kDefaultFacilityCode);
        JsonObject extra;
        if (run_.json) {
            extra.add("id", id).add("settings", settings).add("facilityCode", facility);
            extra.add("doorTime", fp::kDefaultDoorTime).add("alarmTime", fp::kDefaultAlarmTime);
            return extra;
        }
        printSettings({}, {{"id", id},
                           {"line settings", settings},
                           {"facility code", facility},
                           {"door time", fp::kDefaultDoorTime},
                           {"alarm time", fp::kDefaultAlarmTime}});
        return extra;
    }

    // The card commands' replies carry a status: "00" done, else why not (a wrong key, no
    // card, conditions that forbid it).
    std::string CardReplyDetail(const tblink::ReaderLink& link) const {
        switch (run_.command) {
            case Command::StoreKey:
            case Command::WriteTrailer:
            case Command::ReadBlock:
            case Command::WriteBlock:
                break;
            default:
                return "a reply the command does not take";
        }
        const int length = link.ReplyLength();
        if (length != commands::mifare::kStatusReplyLength &&
            length != commands::mifare::kBlockReplyLength)
            return "a reply the command does not take";
        const std::string status = tblink::ReplyField(link.ReplyText(), 6, 2);
        if (status != "00") return "the reader answered status " + status;
        return run_.command == Command::WriteBlock ? "the block read back differs from DATA"
                                                   : "a reply the command does not take";
    }

    void printBlock(const std::string& data) {
        const auto cardBlock = commands::mifare::CardBlock(run_.sector, run_.block);
        const std::string card = commands::mifare::HexByteText(cardBlock.value_or(0));
        if (run_.json) {
            JsonObject json;
            json.add("kind", "block").add("sector", run_.sector).add("block", run_.block);
            json.add("cardBlock", card).add("data", data);
            out_ << json.text() << '\n';
            return;
        }
        printSettings({}, {{"sector", commands::TwoDigits(run_.sector)},
                           {"block", std::to_string(run_.block)},
                           {"card block", card},
                           {"data", data}});
    }

    // Where the reader answers now: at ID 01 and 19200,e,8,1 after a whole factory default; at
    // ID 01 and its old settings when only the sequence failed.
    JsonObject factoryDefaultResult(const Outcome& outcome, const Target& where,
                                    const PageValues& values) {
        const std::optional<std::string> id = values.newId ? values.newId : where.id;
        std::optional<std::string> settings;
        const commands::DeliveryValues& delivered =
            commands::Info(run_.readerType()).factoryDefault.delivery;
        if (outcome.ok()) settings = LineSettingsText(delivered.lineSettingsIndex);
        JsonObject extra;
        extra.add("id", id).add("settings", settings);
        if (run_.json) return extra;
        if (outcome.ok()) {
            printSettings({}, {{"id", *id}, {"line settings", *settings}});
        } else if (values.newId) {
            out_ << "The reader took ID " << *values.newId << " before the sequence failed.\n";
        }
        return {};
    }

    static commands::display::ClockValue LocalNow() {
        const QDateTime now = QDateTime::currentDateTime();
        return {now.date().year(), now.date().month(),  now.date().day(),
                now.time().hour(), now.time().minute(), now.time().second()};
    }

    static std::string ClockText(const commands::display::ClockValue& c) {
        char text[32];
        std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", c.year, c.month, c.day,
                      c.hour, c.minute, c.second);
        return text;
    }

    static std::string HourFormatText(commands::display::HourFormat format) {
        return format == commands::display::HourFormat::TwelveHour ? "12H" : "24H";
    }

    // access-bits: no reader, the two tables of the access conditions.
    int accessBits() {
        using commands::mifare::AccessTextVerdict;
        std::string text;
        commands::mifare::SectorConditions conditions{};
        std::uint8_t userByte = commands::mifare::kEditorUserByte;
        if (run_.accessText) {
            text = *run_.accessText;
            const auto read = commands::mifare::ReadAccessBitsText(text);
            if (read.verdict != AccessTextVerdict::Valid) {
                JsonObject json;
                json.add("kind", "access-bits").add("text", text).add("valid", false);
                if (run_.json)
                    out_ << json.text() << '\n';
                else
                    out_ << "access bits  " << text << '\n';
                return report({kExitFailed, English(Msg::AccessBitsInvalid), "invalid",
                               "the inverted copies of the bits disagree"});
            }
            conditions = read.conditions;
            userByte = read.userByte;
        } else {
            conditions = *run_.conditions;
            text = commands::mifare::AccessBitsText(conditions);
        }
        const bool locked = commands::mifare::AccessBitsLockedForGood(conditions);
        const std::string user = commands::mifare::HexByteText(userByte);
        const auto parts = DescribeConditions(conditions);
        if (run_.json) {
            JsonObject json;
            json.add("kind", "access-bits").add("text", text).add("valid", true);
            json.add("userByte", user).add("lockedForGood", locked);
            for (const PartRights& part : parts) {
                JsonObject rights;
                rights.add("condition", part.bits);
                for (const Right& right : part.rights) rights.add(right.key, KeysWord(right.keys));
                json.add(part.part == "trailer" ? "trailer" : "block" + part.part.substr(6),
                         rights);
            }
            out_ << json.text() << '\n';
        } else {
            std::vector<std::pair<std::string, std::string>> rows = {{"access bits", text},
                                                                     {"user byte", user}};
            for (const PartRights& part : parts)
                rows.push_back({part.part, part.bits + "  " + RightsText(part)});
            printSettings({}, rows);
        }
        return report({kExitOk, locked ? English(Msg::AccessBitsLockedForGood) : "", {}, {}});
    }

    int readCards() {
        CatchInterrupt();
        int shown = 0;
        const auto start = std::chrono::steady_clock::now();
        const auto end = [&] {
            if (run_.count && shown >= *run_.count) return true;
            if (!run_.timeoutSeconds) return false;
            const std::chrono::duration<double> passed = std::chrono::steady_clock::now() - start;
            return passed.count() >= *run_.timeoutSeconds;
        };
        const Outcome outcome =
            ReadCards(*context_, target(),
                      run_.twoWay ? commands::CardLoop::TwoWay : commands::CardLoop::Plain,
                      run_.invalid, end, [&](const std::string& message, bool keys) {
                          ++shown;
                          if (run_.json)
                              out_ << CardJson(message, keys).text() << std::endl;
                          else
                              out_ << message << std::endl;
                      });
        JsonObject extra;
        extra.add("cards", shown);
        return report(outcome, extra);
    }

    // "Card ID : 0010531008(D)  00A0B0C0(H)  KEY:12" and "KEY : 12" taken apart for scripts.
    static JsonObject CardJson(const std::string& message, bool keys) {
        JsonObject json;
        json.add("kind", keys ? "keys" : "card").add("message", message);
        const auto field = [&](const std::string& mark) -> std::optional<std::string> {
            const std::size_t at = message.find(mark);
            if (at == std::string::npos) return std::nullopt;
            const std::size_t from = message.rfind(' ', at);
            return message.substr(from == std::string::npos ? 0 : from + 1,
                                  at - (from == std::string::npos ? 0 : from + 1));
        };
        if (!keys) {
            json.add("decimal", field("(D)"));
            json.add("hex", field("(H)"));
        }
        const std::string keyMark = keys ? "KEY : " : "KEY:";
        const std::size_t at = message.find(keyMark);
        if (at != std::string::npos)
            json.add("keys", message.substr(at + keyMark.size()));
        else
            json.addNull("keys");
        return json;
    }

    int apply() {
        std::ifstream file(run_.planPath, std::ios::binary);
        if (!file) return usage("apply: cannot read '" + run_.planPath + "'");
        std::stringstream text;
        text << file.rdbuf();
        PlanRow defaults;
        defaults.port = run_.port;
        defaults.settingsIndex = run_.settingsIndex;
        defaults.type = run_.type;
        std::string error;
        const auto rows = ParsePlan(text.str(), defaults, error);
        if (!rows) return usage("apply: " + run_.planPath + ": " + error);

        std::ofstream resultsFile;
        if (!run_.resultsPath.empty()) {
            resultsFile.open(run_.resultsPath, std::ios::binary | std::ios::trunc);
            if (!resultsFile) return usage("apply: cannot write '" + run_.resultsPath + "'");
        }
        std::ostream* table = !run_.resultsPath.empty() ? &resultsFile
                              : run_.json               ? nullptr
                                                        : &out_;
        if (table)
            *table << "line,port,type,serial,id,settings,status,messages,reason,detail\n"
                   << std::flush;
        int failed = 0;
        for (const PlanRow& row : *rows) {
            context_->progress.status("line " + std::to_string(row.line) +
                                      (row.port ? "  " + ComName(*row.port) : ""));
            const RowResult result = ApplyRow(*context_, row);
            context_->progress.clear();
            if (result.status != "ok") ++failed;
            const std::string port = row.port ? ComName(*row.port) : "";
            const std::string type = commands::Info(row.type.value_or(run_.readerType())).name;
            std::string messages;
            for (const std::string& message : result.messages)
                messages += (messages.empty() ? "" : "; ") + message;
            if (table) {
                *table << row.line << ',' << CsvField(port) << ',' << type << ','
                       << CsvField(FromReader(result.serial)) << ',' << result.id << ','
                       << CsvField(LineSettingsText(result.settingsIndex)) << ',' << result.status
                       << ',' << CsvField(messages) << ',' << result.outcome.reason << ','
                       << CsvField(result.outcome.detail) << '\n'
                       << std::flush;
            }
            if (run_.json) {
                JsonObject json;
                json.add("kind", "row").add("line", row.line).add("port", port).add("type", type);
                json.add("serial", FromReader(result.serial)).add("id", result.id);
                json.add("settings", LineSettingsText(result.settingsIndex));
                json.add("ok", result.status == "ok").add("status", result.status);
                json.addStrings("messages", result.messages);
                json.add("reason", NonEmpty(result.outcome.reason));
                if (!result.outcome.detail.empty()) json.add("detail", result.outcome.detail);
                out_ << json.text() << std::endl;
            }
        }
        if (!run_.json) return failed ? kExitFailed : kExitOk;
        JsonObject extra;
        extra.add("rows", static_cast<int>(rows->size())).add("failed", failed);
        return report(failed ? Outcome{kExitFailed, "", "",
                                       std::to_string(failed) + " of " +
                                           std::to_string(rows->size()) + " rows failed"}
                             : Outcome{},
                      extra);
    }

    const Invocation& run_;
    std::ostream& out_;
    std::ostream& err_;
    const Environment& env_;
    platform::PortMap ports_;
    Context* context_ = nullptr;
};

}  // namespace

int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
        const Environment& environment) {
    const Parsed parsed = ParseArguments(args);
    if (!parsed.invocation) {
        err << "tagbench-cli: " << parsed.error << std::endl;
        return kExitUsage;
    }
    return Program(*parsed.invocation, out, err, environment)();
}

}  // namespace cli
