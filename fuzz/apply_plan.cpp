// The provisioning table of `apply`: any text parses to records or an error, plan rows carry
// valid values or an error, and cells written by the results table's CSV writer read back as
// they were written.
#include <algorithm>
#include <cctype>
#include <cstdint>
#include <string>
#include <vector>

#include "FuzzInput.h"
#include "cli/Plan.h"

namespace {

using fuzz::Check;

bool Blank(const std::string& cell) {
    return std::all_of(cell.begin(), cell.end(),
                       [](char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; });
}

// One record of cells as the results table writes it reads back as those cells (a record of
// blank cells is a blank line, which a reader skips).
void CellsReadBack(const std::vector<std::string>& cells) {
    std::string line;
    for (std::size_t i = 0; i < cells.size(); ++i) line += (i ? "," : "") + cli::CsvField(cells[i]);
    line += '\n';
    std::string error;
    const auto records = cli::ParseCsv(line, error);
    Check(records.has_value(), "a written record parses");
    if (std::all_of(cells.begin(), cells.end(), Blank)) return;
    Check(records->size() == 1 && records->front().fields == cells, "written cells read back");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Input in(data, size);
    if (in.flag()) {
        std::vector<std::string> cells;
        while (!in.empty() && cells.size() < 12) cells.push_back(in.field());
        if (!cells.empty()) CellsReadBack(cells);
        return 0;
    }
    const std::string text = in.rest();
    std::string error;
    const auto records = cli::ParseCsv(text, error);
    Check(records.has_value() == error.empty(), "records or an error");
    cli::PlanRow defaults;
    error.clear();
    if (const auto rows = cli::ParsePlan(text, defaults, error)) {
        for (const cli::PlanRow& row : *rows)
            Check(!row.error.empty() || row.port.has_value(), "a good row has a port");
    } else {
        Check(!error.empty(), "a refused plan says why");
    }
    return 0;
}
