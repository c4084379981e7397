// Fingerprint readers, the PX60 and PX60M: fingers, their IDs and templates, and the
// stand-alone door controller.
#include <QString>
#include <cstdio>
#include <ostream>

#include "actions/Limits.h"
#include "actions/Requests.h"
#include "actions/TemplateFiles.h"
#include "cli/Output.h"
#include "cli/Registry.h"
#include "cli/Runner.h"
#include "commands/Session.h"
#include "commands/fingerprint/Enrolment.h"
#include "commands/fingerprint/StandAlone.h"
#include "commands/fingerprint/TemplateFile.h"
#include "link/LineSettingsList.h"
#include "platform/CodePage.h"

namespace cli {
namespace {

using A = actions::ActionId;
using text::Msg;
namespace fp = commands::fingerprint;

const TypeRule kFingerprint{commands::FunctionPage::Fingerprint, "fingerprint functions", true};

// The scan modes, in the order of the window's list.
constexpr std::array<const char*, 4> kScanModeNames = {"always", "always-reset", "sensor",
                                                       "sensor-reset"};

actions::TypedText AsTyped(const std::string& text) {
    return {QString::fromUtf8(text.c_str()), kCodePage1252};
}

bool Finger(Reading& reading, const Arguments& a) {
    return reading.integer(a[0], "finger number", reading.run.fingerNumber);
}

// What the window's seconds box admits: digits, blanks around them.
bool Seconds(Reading& reading, const Arguments& a) {
    const std::string digits = fp::TrimBlanks(a[0]);
    if (!digits.empty() && !AllDigits(digits))
        return reading.bad(reading.run.name() + ": '" + a[0] + "' is not 0 to 4 digits");
    reading.run.seconds = digits;
    return true;
}

// put-template's file, its parts in the reader's bytes; false, with the usage error said, when
// it cannot be read or is not a template file.
bool ReadTemplate(Runner& r, Values& values) {
    const std::string& path = r.run.templatePath;
    const actions::TemplateFileLoad read =
        actions::LoadTemplateFile(QString::fromLocal8Bit(path.c_str()), r.run.codePage);
    if (read.problem.msg == Msg::TemplateFileUnreadable) {
        r.usage("put-template: cannot read '" + path + "'");
        return false;
    }
    if (!read.file) {
        r.usage("put-template: " + path + ": " + read.problem.in(text::kEnglish).toStdString());
        return false;
    }
    values.templateParts = read.file->parts;
    return true;
}

// Reader bytes as the window's edit boxes show them, so that what is printed can be typed back.
std::string Shown(const std::string& bytes, int codePage) {
    return platform::BytesAsText(bytes, codePage).toStdString();
}

JsonObject PrintFingerId(Runner& r, Outcome& outcome, Values& values) {
    if (!outcome.ok()) return {};
    const std::string finger = actions::FingerNumberText(r.run.fingerNumber);
    if (r.run.json) {
        JsonObject json;
        json.add("kind", "finger")
            .add("finger", finger)
            .add("id", Shown(*values.fingerId, kCodePage1252));
        r.out << json.text() << '\n';
        return {};
    }
    PrintSettings(r.out, {},
                  {{"finger", finger}, {"fingerprint ID", Shown(*values.fingerId, kCodePage1252)}});
    return {};
}

// get-template: the parts printed, or with --out written to a template file as the window saves
// one; a file that cannot be written fails the run.
JsonObject PrintTemplate(Runner& r, Outcome& outcome, Values& values) {
    if (!outcome.ok()) return {};
    const Invocation& run = r.run;
    const std::string finger = actions::FingerNumberText(run.fingerNumber);
    fp::TemplateFile file{finger, {}};
    std::vector<std::string> shown;
    for (std::size_t part = 0; part < values.got.parts.size(); ++part) {
        file.parts[part] = values.got.parts[part].value_or("");
        shown.push_back(Shown(file.parts[part], run.codePage));
    }
    JsonObject extra;
    if (!run.outPath.empty()) {
        if (const auto why =
                actions::SaveTemplateFile(QString::fromLocal8Bit(run.outPath.c_str()), file))
            outcome = {kExitFailed, English(Msg::SaveTemplateError) + " " + English(*why), "file",
                       "cannot write " + run.outPath};
        extra.add("file", run.outPath);
        return extra;
    }
    if (run.json) {
        JsonObject json;
        json.add("kind", "template").add("finger", finger);
        json.addStrings("parts", shown);
        r.out << json.text() << '\n';
    } else {
        PrintSettings(
            r.out, {},
            {{"finger", finger}, {"part 1", shown[0]}, {"part 2", shown[1]}, {"part 3", shown[2]}});
    }
    return extra;
}

// What a stand-alone default leaves in the reader, as the window shows it afterwards.
JsonObject PrintStandAloneDefaults(Runner& r, Outcome& outcome, Values&) {
    if (!outcome.ok()) return {};
    const std::string id = commands::TwoDigits(fp::kDefaultReaderId);
    const std::string settings = LineSettingsText(tblink::kDefaultLineSettingsIndex);
    char facility[8];
    std::snprintf(facility, sizeof facility, "%05d", fp::kDefaultFacilityCode);
    JsonObject extra;
    if (r.run.json) {
        extra.add("id", id).add("settings", settings).add("facilityCode", fp::kDefaultFacilityCode);
        extra.add("doorTime", fp::kDefaultDoorTime).add("alarmTime", fp::kDefaultAlarmTime);
        return extra;
    }
    PrintSettings(r.out, {},
                  {{"id", id},
                   {"line settings", settings},
                   {"facility code", facility},
                   {"door time", fp::kDefaultDoorTime},
                   {"alarm time", fp::kDefaultAlarmTime}});
    return extra;
}

Subcommand Page(const char* name, const char* synopsis, int count, const char* summary,
                const char* help, A action,
                std::function<actions::Request(const Invocation&, Values&)> request,
                std::function<bool(Reading&, const Arguments&)> arguments = {}) {
    Subcommand entry = Entry(name, synopsis, count, summary, help);
    entry.types = kFingerprint;
    entry.actions = {action};
    entry.request = std::move(request);
    entry.arguments = std::move(arguments);
    return entry;
}

}  // namespace

std::vector<Subcommand> FingerprintSubcommands() {
    std::vector<Subcommand> page;
    const auto codePage = [](const char* what) {
        return Option{"code-page", "CP",
                      std::string(what) + " in 1252, gbk or big5 (default 1252)"};
    };

    page.push_back(Page(
        "facility-code", "N", 1, "the facility code of fingerprints added from now on, 0 to 65535",
        "", A::FacilityCode,
        [](const Invocation& run, Values&) { return actions::FacilityCode(run.facilityCode); },
        [](Reading& reading, const Arguments& a) {
            return reading.integer(a[0], "facility-code:", reading.run.facilityCode);
        }));
    page.back().section = "Fingerprint (PX60, PX60M)";

    page.push_back(Page(
        "add-finger", "N", 1, "enrol a finger into slot N, 0 to 9500",
        "The reader takes the finger put on it; the command only starts the enrolment.\n",
        A::AddFinger,
        [](const Invocation& run, Values&) { return actions::AddFinger(run.fingerNumber); },
        Finger));
    page.push_back(Page(
        "delete-finger", "N", 1, "delete the fingerprint of slot N", "", A::DeleteFinger,
        [](const Invocation& run, Values&) { return actions::DeleteFinger(run.fingerNumber); },
        Finger));

    page.push_back(Page(
        "get-finger-id", "N", 1, "read the fingerprint ID of slot N",
        "Prints the ID's 16 hexadecimal characters in the window's order; the "
        "reader sends its\n8 bytes the other way round.\n",
        A::GetFingerId,
        [](const Invocation& run, Values& values) {
            return actions::GetFingerId(run.fingerNumber, values.fingerId);
        },
        Finger));
    page.back().print = PrintFingerId;

    page.push_back(Page(
        "set-finger-id", "N ID", 2, "give slot N a fingerprint ID of 16 hexadecimal characters",
        "ID is exactly 16 hexadecimal characters, anything else is refused; it goes out with "
        "its\nbytes turned round for the reader.\n",
        A::SetFingerId,
        [](const Invocation& run, Values&) {
            return actions::SetFingerId(run.fingerNumber, AsTyped(run.fingerId));
        },
        [](Reading& reading, const Arguments& a) {
            reading.run.fingerId = a[1];
            return Finger(reading, a) &&
                   reading.hex(a[1], actions::kFingerprintIdBytes, "set-finger-id: ID");
        }));

    page.push_back(Page(
        "scan-mode", "MODE", 1,
        "how the sensor scans: always, always-reset, sensor or sensor-reset",
        "MODE by name or as the window's item 0 to 3 (Alway Scan, Alway Scan, Reset, Sensor "
        "Scan,\nSensor Scan, Reset).\n",
        A::ScanMode, [](const Invocation& run, Values&) { return actions::ScanMode(run.scanMode); },
        [](Reading& reading, const Arguments& a) {
            if (AllDigits(a[0])) return reading.integer(a[0], "scan-mode:", reading.run.scanMode);
            return reading.item(kScanModeNames, a[0], reading.run.scanMode, "scan-mode");
        }));

    page.push_back(Page(
        "get-template", "N", 1, "read the template of slot N: three parts",
        "Prints the three parts, or with --out writes them to a template file as "
        "the window's\nSave template... does, for put-template to give another "
        "reader.\n",
        A::GetTemplate,
        [](const Invocation& run, Values& values) {
            return actions::GetTemplate(run.fingerNumber, values.got);
        },
        Finger));
    page.back().options = {
        {"out", "FILE", "write the template file FILE instead of printing the parts"},
        codePage("the parts are read")};
    page.back().print = PrintTemplate;

    page.push_back(Page(
        "put-template", "N FILE", 2, "write the template of a template file into slot N",
        "FILE is a template file as get-template --out and the window's Save template... "
        "write\nit. N says which slot; the finger number in FILE is not used. Each part goes out "
        "trimmed\nof blanks at its ends; a file that is not a template file is refused, nothing "
        "sent.\n",
        A::PutTemplate,
        [](const Invocation& run, Values& values) {
            return actions::PutTemplate(run.fingerNumber, values.templateParts, values.templatePut);
        },
        [](Reading& reading, const Arguments& a) {
            reading.run.templatePath = a[1];
            return Finger(reading, a);
        }));
    page.back().options = {codePage("the parts go out")};
    page.back().prepare = ReadTemplate;

    page.push_back(Page("stand-alone", "", 0, "make the reader a stand-alone door controller", "",
                        A::StandAlone,
                        [](const Invocation&, Values&) { return actions::StandAlone(); }));
    page.push_back(Page(
        "door-time", "SECONDS", 1, "the stand-alone door time, 0 to 4 digits",
        "SECONDS goes out as typed, no zeros added: 12 sends R112, 0005 sends R10005; an "
        "empty\nSECONDS (\"\") sends R1 alone.\n",
        A::DoorTime,
        [](const Invocation& run, Values&) { return actions::DoorTime(AsTyped(run.seconds)); },
        Seconds));
    page.push_back(Page(
        "alarm-time", "SECONDS", 1, "the stand-alone alarm time, 0 to 4 digits",
        "SECONDS goes out as typed, no zeros added, as for door-time.\n", A::AlarmTime,
        [](const Invocation& run, Values&) { return actions::AlarmTime(AsTyped(run.seconds)); },
        Seconds));
    page.push_back(Page("add-card", "", 0, "the next card shown becomes the add card", "",
                        A::AddCard, [](const Invocation&, Values&) { return actions::AddCard(); }));
    page.push_back(Page("duress-card", "", 0, "the next card shown becomes the duress card", "",
                        A::DuressCard,
                        [](const Invocation&, Values&) { return actions::DuressCard(); }));
    page.push_back(Page("clear-card", "", 0, "the next card shown becomes the clear card", "",
                        A::ClearCard,
                        [](const Invocation&, Values&) { return actions::ClearCard(); }));
    page.push_back(Page(
        "stand-alone-default", "", 0, "back to the stand-alone defaults: ID 01, 19200,e,8,1",
        "Sends the stand-alone default sequence, every command to --id. The reader restarts in\n"
        "the middle and is polled until it answers (up to about four minutes; a dot a poll on a\n"
        "terminal). Afterwards it answers at ID 01 and 19200,e,8,1, with facility code 00000,\n"
        "door time 0005 and alarm time 0030.\n",
        A::StandAloneDefault,
        [](const Invocation&, Values&) { return actions::StandAloneDefault(); }));
    page.back().print = PrintStandAloneDefaults;
    return page;
}

}  // namespace cli
