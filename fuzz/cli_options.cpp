// tagbench-cli's command line: any arguments give an invocation or a usage error, and every
// value parser gives values in their ranges that read back from the form they are printed in.
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "FuzzInput.h"
#include "cli/Options.h"
#include "commands/config/ListItems.h"

namespace {

using fuzz::Check;

void Values(const std::string& text) {
    if (const auto port = cli::ParsePort(text))
        Check(*port >= 1 && cli::ParsePort("COM" + std::to_string(*port)) == port &&
                  cli::ParsePort(std::to_string(*port)) == port,
              "a port reads back");
    if (const auto index = cli::ParseLineSettings(text))
        Check(*index >= 0 && *index < 14 && cli::ParseLineSettings(std::to_string(*index)) == index,
              "line settings index reads back");
    if (const auto id = cli::ParseReaderId(text))
        Check(id->size() == 2 && *id != "00" && cli::ParseReaderId(*id) == id,
              "a reader ID reads back");
    if (const auto ids = cli::ParseIdList(text)) {
        for (std::size_t i = 0; i < ids->size(); ++i)
            Check((*ids)[i] >= 1 && (*ids)[i] <= 99 && (i == 0 || (*ids)[i - 1] < (*ids)[i]),
                  "IDs ascending, 1 to 99");
    }
    std::string bad;
    if (const auto ports = cli::ParsePortList(text, bad))
        for (int port : *ports) Check(port >= 1, "ports from 1");
    if (const auto value = cli::ParseInteger(text))
        Check(*value >= 0 && cli::ParseInteger(std::to_string(*value)) == value,
              "an integer reads back");
    if (const auto value = cli::ParseNumber(text, 3, 70))
        Check(*value >= 3 && *value <= 70, "a number in its range");
    if (const auto conditions = cli::ParseConditions(text))
        for (int condition : *conditions) Check(condition >= 0 && condition < 8, "C1C2C3");
    if (const auto clock = cli::ParseClock(text)) {
        char again[64];
        std::snprintf(again, sizeof again, "%04d-%02d-%02d %02d:%02d:%02d", clock->year,
                      clock->month, clock->day, clock->hour, clock->minute, clock->second);
        const auto back = cli::ParseClock(again);
        Check(back && back->year == clock->year && back->month == clock->month &&
                  back->day == clock->day && back->hour == clock->hour &&
                  back->minute == clock->minute && back->second == clock->second,
              "a clock reads back");
    }
    if (const auto page = cli::ParseCodePage(text))
        Check(*page >= 0 && *page < 3 && cli::ParseCodePage(cli::CodePageText(*page)) == page,
              "a code page reads back");
    if (const auto item = cli::ItemNamed(commands::kWiegandItems, text))
        Check(*item >= 0 && *item < commands::kWiegandCount, "an item of the list");
    (void)cli::ParseKeySlot(text);
    (void)cli::ParseHourFormat(text);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Input in(data, size);
    std::vector<std::string> args;
    while (!in.empty() && args.size() < 32) args.push_back(in.field());
    const cli::Parsed parsed = cli::ParseArguments(args);
    Check(parsed.invocation.has_value() != !parsed.error.empty(), "an invocation or an error");
    for (const std::string& arg : args) Values(arg);
    if (const auto interface = cli::ParseInterface(args))
        Check(interface->mode >= 0 && interface->mode < commands::kModeCount &&
                  interface->wiegand >= 0 && interface->wiegand < commands::kWiegandCount &&
                  interface->rs485 >= 0 && interface->rs485 < commands::kRs485Count,
              "an interface of list items");
    return 0;
}
