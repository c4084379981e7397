#include "cli/Runner.h"

#include <ostream>

#include "cli/Output.h"
#include "cli/Registry.h"

namespace cli {

Target Runner::target() const {
    return {run.port.value_or(0), run.lineSettings(), run.readerType(), run.id};
}

JsonObject OutcomeJson(const std::string& command, const Outcome& outcome) {
    JsonObject json;
    json.add("kind", "outcome").add("command", command);
    json.add("ok", outcome.ok()).add("exit", outcome.exit);
    json.add("message", NonEmpty(outcome.message));
    json.add("reason", NonEmpty(outcome.reason));
    return json.add("detail", NonEmpty(outcome.detail));
}

int Runner::report(const Outcome& outcome, JsonObject extra) {
    out.flush();
    if (run.json) {
        out << OutcomeJson(run.name(), outcome).add(extra).text() << std::endl;
    } else if (!outcome.ok() || !run.quiet) {
        // A message, not a result: standard output keeps only what a script reads.
        const bool aside = outcome.exit == kExitPortClosed && !outcome.detail.empty();
        std::string line = outcome.message;
        if (!outcome.detail.empty() && !aside)
            line += line.empty() ? outcome.detail : " (" + outcome.detail + ")";
        if (!line.empty()) err << line << std::endl;
        // Why a port would not open, and what to do, is for the person at the terminal.
        if (aside) err << "tagbench-cli: " << outcome.detail << std::endl;
    }
    return outcome.exit;
}

int Runner::usage(const std::string& message) {
    err << "tagbench-cli: " << message << std::endl;
    if (run.json)
        out << OutcomeJson(run.name(), {kExitUsage, {}, "usage", message}).text() << std::endl;
    return kExitUsage;
}

int Runner::perform() {
    Values values;
    if (entry.prepare && !entry.prepare(*this, values)) return kExitUsage;
    Connection connection(context);
    values.where = target();
    values.link = &connection.link;
    const actions::Request request = entry.request(run, values);
    if (entry.guard && request.refusal().empty()) {
        if (const auto stop = entry.guard(*this, connection)) return report(*stop);
    }
    std::string refusal;
    Outcome outcome = Perform(connection, values.where, request, &refusal);
    if (!refusal.empty()) return usage(entry.name + ": " + refusal);
    JsonObject extra;
    if (entry.print) extra = entry.print(*this, outcome, values);
    return report(outcome, extra);
}

}  // namespace cli
