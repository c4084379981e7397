// The reader's settings: its ID, line settings, output interface, card type, read mode and
// keypad, each a reader action of its own.
#include <ostream>

#include "actions/Requests.h"
#include "cli/Output.h"
#include "cli/Registry.h"
#include "cli/Runner.h"
#include "commands/Session.h"
#include "commands/config/ListItems.h"

namespace cli {
namespace {

using A = actions::ActionId;

const TypeRule kKeypad{commands::FunctionPage::Keypad, "keypad settings", false};

// A get: the values it read, then its outcome.
JsonObject PrintGot(Runner& r, Outcome& outcome, Values& values) {
    if (values.interface) {
        values.read.mode = values.interface->mode;
        values.read.wiegand = values.interface->wiegand;
        values.read.rs485 = values.interface->rs485;
    }
    if (values.keyStatus) {
        values.read.keyStatusNumber = values.keyStatus->keyNumber;
        values.read.keyDelaySeconds = values.keyStatus->delaySeconds;
    }
    const auto settings = Settings(values.read);
    if (outcome.ok()) {
        if (r.run.json) {
            JsonObject json;
            json.add("kind", "settings");
            AddSettings(json, settings);
            r.out << json.text() << '\n';
        } else {
            PrintSettings(r.out, settings, {});
        }
    }
    return {};
}

Subcommand Get(const char* name, const char* summary, A action,
               std::function<actions::Request(const Invocation&, Values&)> request) {
    Subcommand entry = Entry(name, "", 0, summary);
    entry.actions = {action};
    entry.request = std::move(request);
    entry.print = PrintGot;
    return entry;
}

}  // namespace

std::vector<Subcommand> ConfigSubcommands() {
    std::vector<Subcommand> page;

    Subcommand setId =
        Entry("set-id", "NEW_ID", 1, "give the reader a new ID, 1 to 99",
              "First one reader check to NEW_ID on the line (about 350 ms): when a reader "
              "answers\nthere, nothing more is sent and the exit status is 1.\n");
    setId.section = "Settings";
    setId.actions = {A::SetId};
    setId.arguments = [](Reading& reading, const Arguments& a) {
        return reading.integer(a[0], "set-id: new ID", reading.run.newId);
    };
    setId.options = {{"force", "", "skip that check: give NEW_ID even if a reader has it"}};
    setId.request = [](const Invocation& run, Values&) { return actions::SetId(run.newId); };
    setId.guard = [](Runner& r, Connection& c) -> std::optional<Outcome> {
        if (r.run.force) return std::nullopt;
        return NewIdTaken(c, r.target(), commands::TwoDigits(r.run.newId));
    };
    page.push_back(setId);

    Subcommand setLine =
        Entry("set-line", "SETTINGS", 1, "set the reader's line settings",
              "The reader talks at the new settings from then on; find it there with "
              "--settings.\n");
    setLine.listsLineSettings = true;
    setLine.actions = {A::SetLine};
    setLine.arguments = [](Reading& reading, const Arguments& a) {
        const auto index = ParseLineSettings(a[0]);
        if (!index)
            return reading.bad("set-line: '" + a[0] +
                               "' is not one of the 14 line settings nor their index 0 to 13");
        reading.run.lineSettingsIndex = *index;
        return true;
    };
    setLine.request = [](const Invocation& run, Values&) {
        return actions::SetLine(run.lineSettingsIndex);
    };
    setLine.prepare = [](Runner& r, Values&) {
        const auto fixed = LineSettingsFixed(r.context, r.target().port);
        return !fixed || (r.usage("set-line: " + *fixed), false);
    };
    page.push_back(setLine);

    Subcommand setInterface =
        Entry("set-interface", "MODE WIEGAND RS485", 3, "set the output interface",
              "MODE is wiegand or rs485, WIEGAND 26, 34 or 42, RS485 24, 32, 40 or 64; all three "
              "are\nsent together. Example: set-interface rs485 34 32\n");
    setInterface.actions = {A::SetInterface};
    setInterface.arguments = [](Reading& reading, const Arguments& a) {
        const auto settings = ParseInterface(a);
        if (!settings)
            return reading.bad("set-interface: '" + a[0] + " " + a[1] + " " + a[2] +
                               "' is not MODE WIEGAND RS485 such as: wiegand 26 32");
        reading.run.interface = *settings;
        return true;
    };
    setInterface.request = [](const Invocation& run, Values&) {
        return actions::SetInterface(run.interface);
    };
    page.push_back(setInterface);

    page.push_back(Get(
        "get-interface", "read the output interface", A::GetInterface,
        [](const Invocation&, Values& values) { return actions::GetInterface(values.interface); }));

    Subcommand cardType =
        Entry("set-card-type", "TYPE", 1, "set the card type: EM, KORVA or SECURITY");
    cardType.types = TypeRule{commands::FunctionPage::EM, "card type setting", false};
    cardType.actions = {A::SetCardType};
    cardType.arguments = [](Reading& reading, const Arguments& a) {
        const auto item = ItemNamed(commands::kCardTypeItems, a[0]);
        if (!item) return reading.bad("set-card-type: '" + a[0] + "' is not EM, KORVA or SECURITY");
        reading.run.cardType = *item;
        return true;
    };
    cardType.request = [](const Invocation& run, Values&) {
        return actions::SetCardType(run.cardType);
    };
    page.push_back(cardType);

    Subcommand readMode =
        Entry("set-read-mode", "MODE", 1, "set the card read mode: disable or enabled");
    readMode.actions = {A::SetReadMode};
    readMode.arguments = [](Reading& reading, const Arguments& a) {
        const auto item = ItemNamed(commands::kResetModeItems, a[0]);
        if (!item) return reading.bad("set-read-mode: '" + a[0] + "' is not disable or enabled");
        reading.run.readMode = *item;
        return true;
    };
    readMode.request = [](const Invocation& run, Values&) {
        return actions::SetReadMode(run.readMode);
    };
    page.push_back(readMode);

    Subcommand parity = Entry("set-key-parity", "PARITY", 1, "set the key parity: no or with",
                              "PARITY is no (No Parity 4 bits) or with (With Parity).\n");
    parity.types = kKeypad;
    parity.actions = {A::SetKeyParity};
    parity.arguments = [](Reading& reading, const Arguments& a) {
        const auto item = ItemNamed(commands::kKeyParityItems, a[0]);
        if (!item) return reading.bad("set-key-parity: '" + a[0] + "' is not no or with");
        reading.run.keyParity = *item;
        return true;
    };
    parity.request = [](const Invocation& run, Values&) {
        return actions::SetKeyParity(run.keyParity);
    };
    page.push_back(parity);

    Subcommand getParity = Get("get-key-parity", "read the key parity", A::GetKeyParity,
                               [](const Invocation&, Values& values) {
                                   return actions::GetKeyParity(values.read.keyParity);
                               });
    getParity.types = kKeypad;
    page.push_back(getParity);

    Subcommand number = Entry("set-key-number", "N", 1, "set the key number, 0 to 16");
    number.types = kKeypad;
    number.actions = {A::SetKeyNumber};
    number.arguments = [](Reading& reading, const Arguments& a) {
        return reading.integer(a[0], "set-key-number:", reading.run.keyNumber);
    };
    number.request = [](const Invocation& run, Values&) {
        return actions::SetKeyNumber(run.keyNumber);
    };
    page.push_back(number);

    Subcommand getNumber = Get("get-key-number", "read the key number", A::GetKeyNumber,
                               [](const Invocation&, Values& values) {
                                   return actions::GetKeyNumber(values.read.keyNumber);
                               });
    getNumber.types = kKeypad;
    page.push_back(getNumber);

    Subcommand status = Entry("set-key-status", "N DELAY", 2,
                              "set the key-status code: key 0 to 8, delay 0 to 99 s");
    status.types = kKeypad;
    status.actions = {A::SetKeyStatus};
    status.arguments = [](Reading& reading, const Arguments& a) {
        return reading.integer(a[0], "set-key-status: key number", reading.run.keyStatusNumber) &&
               reading.integer(a[1], "set-key-status: delay", reading.run.keyDelaySeconds);
    };
    status.request = [](const Invocation& run, Values&) {
        return actions::SetKeyStatus({run.keyStatusNumber, run.keyDelaySeconds});
    };
    page.push_back(status);

    Subcommand getStatus = Get(
        "get-key-status", "read the key-status code", A::GetKeyStatus,
        [](const Invocation&, Values& values) { return actions::GetKeyStatus(values.keyStatus); });
    getStatus.types = kKeypad;
    page.push_back(getStatus);
    return page;
}

}  // namespace cli
