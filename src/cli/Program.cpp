#include "cli/Program.h"

#include <ostream>

#include "cli/Registry.h"
#include "cli/Runner.h"
#include "platform/Clock.h"
#include "tagbench/Version.h"
#include "text/Catalogue.h"

namespace cli {

int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
        const Environment& environment) {
    if (args.size() == 1 && args[0] == "--version") {
        out << "tagbench-cli " << tagbench::kVersion << "\n";
        return kExitOk;
    }
    // Before any thread starts, so that every port's thread inherits it.
    platform::KeepTimersPrecise();
    const Parsed parsed = ParseArguments(args);
    if (!parsed.invocation) {
        err << "tagbench-cli: " << parsed.error << std::endl;
        if (parsed.json)
            out << OutcomeJson(parsed.command, {kExitUsage, {}, "usage", parsed.error}).text()
                << std::endl;
        return kExitUsage;
    }
    Invocation run = *parsed.invocation;
    if (run.help) {
        out << Usage(run.helpTopic ? run.helpTopic : run.subcommand);
        return kExitOk;
    }
    platform::PortMap ports = environment.ports ? environment.ports() : platform::PortMap();
    // An entry left out would make its COM number name another device, or none, unseen.
    if (!ports.malformedEntries().empty()) {
        const std::string error = text::Text(text::Msg::PortsItemMalformed, text::kEnglish)
                                      .arg(QString::fromStdString(ports.malformedEntries().front()))
                                      .toStdString();
        err << "tagbench-cli: " << error << std::endl;
        if (run.json)
            out << OutcomeJson(run.subcommand->name, {kExitUsage, {}, "usage", error}).text()
                << std::endl;
        return kExitUsage;
    }
    if (!run.portPath.empty()) run.port = ports.addPort(run.portPath);
    Progress progress(err, environment.progress && !run.json && !run.quiet);
    Context context(ports, progress, run.trace ? &err : nullptr, environment.lines);
    Runner runner{*run.subcommand, run, out, err, context, ports};
    const int status = run.subcommand->run ? run.subcommand->run(runner) : runner.perform();
    progress.clear();
    return status;
}

}  // namespace cli
