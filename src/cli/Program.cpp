#include "cli/Program.h"

#include <ostream>

#include "cli/Registry.h"
#include "cli/Runner.h"
#include "platform/Clock.h"
#include "tagbench/Version.h"

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
        return kExitUsage;
    }
    const Invocation& run = *parsed.invocation;
    if (run.help) {
        out << Usage(run.helpTopic ? run.helpTopic : run.subcommand);
        return kExitOk;
    }
    const platform::PortMap ports = environment.ports ? environment.ports() : platform::PortMap();
    Progress progress(err, environment.progress && !run.json);
    Context context(ports, progress, run.trace ? &err : nullptr, environment.lines);
    Runner runner{*run.subcommand, run, out, err, context, ports};
    const int status = run.subcommand->run ? run.subcommand->run(runner) : runner.perform();
    progress.clear();
    return status;
}

}  // namespace cli
