// Reader profiles from a shell: save one reader's settings, show how a reader differs from a
// profile, or apply one, each setting through its own reader action.
#include "cli/ProfileRun.h"

#include <QString>
#include <fstream>
#include <ostream>
#include <sstream>

#include "actions/Profile.h"
#include "cli/DryRun.h"
#include "cli/Output.h"
#include "cli/Registry.h"
#include "cli/Runner.h"

namespace cli {
namespace {

namespace pf = actions::profile;

std::string Words(const actions::Reason& why) { return why.in(text::kEnglish).toStdString(); }

// The reader's read-out at the target, as a profile sees it; none with `outcome` on failure.
std::optional<pf::Reader> ReadReader(const Context& context, Target& target, Outcome& outcome) {
    const InfoResult info = Info(context, target);
    outcome = info.outcome;
    if (!info.reader || !info.outcome.ok()) return std::nullopt;
    target.id = info.reader->id;
    pf::Reader reader;
    reader.type = target.type;
    reader.readOut = info.reader->values;
    reader.identity = pf::Identity{std::stoi(info.reader->id), target.settingsIndex};
    return reader;
}

std::optional<pf::Profile> LoadFor(const std::string& path, commands::ReaderType type,
                                   std::string& error) {
    actions::Reason why;
    auto profile = pf::Load(QString::fromStdString(path), type, why);
    if (!profile) error = path + ": " + Words(why);
    return profile;
}

// The frames a change would send, as the trace writes them: the request run on a line whose
// reader agrees to everything.
std::vector<std::string> FramesOf(const pf::Setting& setting, const Target& target) {
    return DryRunFrames(pf::RequestFor(setting, text::kEnglish), target);
}

void PrintChanges(Runner& r, const std::vector<pf::Change>& changes, const Target* frames) {
    std::vector<std::vector<std::string>> rows{{"setting", "now", "profile"}};
    for (const pf::Change& c : changes) {
        const std::string now = c.now.empty() ? "(not reported)" : c.now;
        if (r.run.json) {
            JsonObject json;
            json.add("kind", "change").add("setting", c.setting.name).add("now", NonEmpty(c.now));
            json.add("profile", c.then);
            if (frames) json.addStrings("frames", FramesOf(c.setting, *frames));
            r.out << json.text() << '\n';
        } else {
            rows.push_back({c.setting.name, now, c.then});
            if (frames)
                for (const std::string& frame : FramesOf(c.setting, *frames))
                    rows.push_back({"", "  sends", frame});
        }
    }
    if (!r.run.json) {
        if (changes.empty())
            r.out << "The reader already has every setting of the profile.\n";
        else
            PrintTable(r.out, rows);
    }
}

int RunProfile(Runner& r) {
    const Invocation& run = r.run;
    Target target = r.target();
    Outcome outcome;
    if (run.profileVerb == "save") {
        const auto reader = ReadReader(r.context, target, outcome);
        if (!reader) return r.report(outcome);
        const pf::Profile profile = pf::FromReader(*reader, false, run.withIdentity);
        if (const auto why = pf::Save(QString::fromStdString(run.profilePath), profile))
            return r.report({kExitFailed, {}, "file", run.profilePath + ": " + Words(*why)});
        outcome.detail = "profile saved to " + run.profilePath;
        return r.report(outcome);
    }
    std::string error;
    const auto profile = LoadFor(run.profilePath, target.type, error);
    if (!profile) return r.usage("profile " + run.profileVerb + ": " + error);
    const auto reader = ReadReader(r.context, target, outcome);
    if (!reader) return r.report(outcome);
    const auto changes = pf::Plan(*profile, *reader, run.withIdentity);
    if (run.profileVerb == "diff" || run.dryRun) {
        PrintChanges(r, changes, run.dryRun ? &target : nullptr);
        return r.report(outcome);
    }
    const ProfileApplied applied = ApplyProfile(r.context, target, *profile, changes);
    if (r.run.json) {
        for (const auto& result : applied.results) {
            JsonObject json;
            json.add("kind", "setting").add("setting", result.name);
            json.add("now", NonEmpty(result.now)).add("profile", result.then);
            json.add("status", pf::StatusName(result.status));
            r.out << json.text() << '\n';
        }
    } else {
        std::vector<std::vector<std::string>> rows{{"setting", "now", "profile", "status"}};
        for (const auto& result : applied.results)
            rows.push_back({result.name, result.now.empty() ? "(not reported)" : result.now,
                            result.then, pf::StatusName(result.status)});
        PrintTable(r.out, rows);
    }
    return r.report(applied.outcome);
}

}  // namespace

std::vector<std::string> DryRunFrames(const actions::Request& request, const Target& target) {
    DryLine line(target.id.value_or("00"));
    tblink::ReaderLink link(
        line.channel(), [](int) { return std::string("dry-run"); }, line);
    CliPacer pacer(nullptr, {}, [&line](int ms) { line.wait(ms); });
    if (!request.refusal().empty() || !request.run() ||
        !link.OpenPort(target.port, tblink::kLineSettingsTexts[target.settingsIndex]))
        return {};
    const char start = commands::Info(target.type).startCharacter;
    const commands::Session session{
        link, pacer,
        request.info().addressed ? start + target.id.value_or("00") : std::string(1, start)};
    request.run()(session);
    link.ClosePort();
    return line.frames();
}

ProfileApplied ApplyProfile(const Context& context, Target& target, const pf::Profile& profile,
                            const std::vector<pf::Change>& changes) {
    ProfileApplied applied;
    Connection c(context);
    Outcome last;
    applied.results = pf::Apply(
        profile, changes,
        [&](const actions::Request& request, const pf::Setting& setting) {
            // A new ID only where no reader answers it, as set-id gives one.
            const auto taken =
                setting.name == "set-id"
                    ? NewIdTaken(c, target, commands::TwoDigits(std::stoi(setting.value)))
                    : std::nullopt;
            last = taken ? *taken : Perform(c, target, request);
            if (last.ok() && setting.name == "set-id")
                target.id = commands::TwoDigits(std::stoi(setting.value));
            if (last.ok() && setting.name == "set-line")
                target.settingsIndex = *ParseLineSettings(setting.value);
            actions::Outcome ended;
            ended.ending = last.ok() ? actions::Ending::Done : actions::Ending::Failed;
            return ended;
        },
        // A dry run's stand-in reports nothing to read back.
        context.lines.standIn ? std::function<std::optional<pf::Reader>()>()
                              : [&]() -> std::optional<pf::Reader> {
            Outcome read;
            return ReadReader(context, target, read);
        });
    std::string changed, failed;
    for (const auto& result : applied.results) {
        std::string& list = result.status == pf::Status::Changed  ? changed
                            : result.status == pf::Status::Failed ? failed
                                                                  : applied.unchangedOrUnsent;
        list += (list.empty() ? "" : " ") + result.name;
    }
    applied.changed = changed;
    if (failed.empty()) {
        applied.outcome = {
            kExitOk, {}, {}, changed.empty() ? "nothing changed" : "changed: " + changed};
    } else {
        applied.outcome = last.ok() ? Outcome{kExitFailed, {}, "differs", {}} : last;
        applied.outcome.detail =
            "failed: " + failed +
            (changed.empty() ? "; nothing was changed" : "; already changed: " + changed);
    }
    return applied;
}

std::optional<Outcome> ApplyProfileRow(const Context& context, Target& target,
                                       const std::string& path,
                                       std::vector<std::string>& messages) {
    std::string error;
    const auto profile = LoadFor(path, target.type, error);
    if (!profile) return Outcome{kExitFailed, {}, "profile", error};
    Outcome outcome;
    // A dry run's stand-in reports nothing: every setting of the profile shows its frames.
    const auto reader = context.lines.standIn
                            ? std::optional<pf::Reader>(pf::Reader{target.type, {}, {}, {}})
                            : ReadReader(context, target, outcome);
    if (!reader) return outcome;
    const ProfileApplied applied =
        ApplyProfile(context, target, *profile, pf::Plan(*profile, *reader, false));
    messages.push_back("profile " + applied.outcome.detail);
    if (!applied.outcome.ok()) return applied.outcome;
    return std::nullopt;
}

std::vector<Subcommand> ProfileSubcommands() {
    Subcommand profile = Entry(
        "profile", "save|diff|apply FILE", 2, "save a reader's settings, or apply them to another",
        "save FILE   reads the reader out and writes its profile (no serial number); what\n"
        "            the reader cannot report (titles, keys...) only the window can add\n"
        "diff FILE   lists the settings where the reader differs from FILE; sends no setting\n"
        "apply FILE  sets each differing setting with its own command, reads the reader back\n"
        "            and lists every setting as changed, unchanged, failed or not sent; the\n"
        "            first failure stops it, and says what was already changed\n"
        "The profile's reader type must be --type. docs/profile.md describes the file.\n");
    profile.options = {
        {"dry-run", "", "apply: only list the changes and the frames each would send"},
        {"with-identity", "",
         "save: include the ID and line settings; apply: change them\nwhen the profile has them"},
    };
    profile.section = "Reader profiles";
    profile.arguments = [](Reading& reading, const Arguments& a) {
        reading.run.profileVerb = a[0];
        reading.run.profilePath = a[1];
        if (a[0] != "save" && a[0] != "diff" && a[0] != "apply")
            return reading.bad("profile: '" + a[0] + "' is not save, diff or apply");
        if (reading.run.dryRun && a[0] != "apply")
            return reading.bad("profile: --dry-run is for apply");
        return true;
    };
    profile.run = RunProfile;
    return {profile};
}

}  // namespace cli
