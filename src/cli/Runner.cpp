#include "cli/Runner.h"

#include <ostream>

#include "cli/Output.h"
#include "cli/Registry.h"

namespace cli {

Target Runner::target() const {
    return {run.port.value_or(0), run.lineSettings(), run.readerType(), run.id};
}

int Runner::report(const Outcome& outcome, JsonObject extra) {
    if (run.json) {
        JsonObject json;
        json.add("kind", "outcome").add("command", run.name());
        json.add("ok", outcome.ok()).add("exit", outcome.exit);
        json.add("message", NonEmpty(outcome.message));
        json.add("reason", NonEmpty(outcome.reason));
        if (!outcome.detail.empty()) json.add("detail", outcome.detail);
        out << json.add(extra).text() << std::endl;
    } else {
        // Why a port would not open, and what to do, is for the person at the terminal.
        const bool aside = outcome.exit == kExitPortClosed && !outcome.detail.empty();
        std::string line = outcome.message;
        if (!outcome.detail.empty() && !aside)
            line += line.empty() ? outcome.detail : " (" + outcome.detail + ")";
        if (!line.empty()) out << line << std::endl;
        if (aside) err << "tagbench-cli: " << outcome.detail << std::endl;
    }
    return outcome.exit;
}

int Runner::usage(const std::string& message) {
    err << "tagbench-cli: " << message << std::endl;
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
