// tagbench-cli's census of IDs 01 to 99 on one pseudo-terminal line with three readers at
// 19200,e,8,1: at the window's 300 ms silence (the baseline) and at --silence 50, which a quick
// bus allows. Each silent ID costs its 50 ms pause and the silence.
#include <QTemporaryDir>
#include <chrono>
#include <cstdio>
#include <sstream>

#include "SimLine.h"
#include "cli/Program.h"
#include "platform/SettingsStore.h"

namespace {

using Clock = std::chrono::steady_clock;

// One census in milliseconds; negative when it did not list the three readers.
double CensusMs(const cli::Environment& environment, const std::string& silence) {
    std::ostringstream out;
    std::ostringstream err;
    const auto start = Clock::now();
    const int status = cli::Run({"census", "--port", "COM1", "--json", "--silence", silence}, out,
                                err, environment);
    const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    if (status != 0 || out.str().find("\"readers\":3") == std::string::npos) {
        std::fprintf(stderr, "census failed (%d): %s%s\n", status, out.str().c_str(),
                     err.str().c_str());
        return -1;
    }
    return ms;
}

}  // namespace

int main() {
    tbsim::SimLine line;
    if (!line.start()) return 1;
    for (const int id : {2, 50, 99}) {
        tbsim::ReaderConfig config;  // PX10 at 19200,e,8,1
        config.id = id;
        line.addReader(config);
    }
    QTemporaryDir dir;
    platform::SettingsStore store(dir.filePath("etc.conf"), dir.filePath("home.conf"));
    cli::Environment environment;
    const QString mapping = "COM1=" + QString::fromStdString(line.devicePath());
    environment.ports = [&] { return platform::PortMap::build(store, {}, mapping); };

    const double window = CensusMs(environment, "300");
    const double quick = CensusMs(environment, "50");
    if (window < 0 || quick < 0) return 1;
    std::printf("cli_census_300ms_silence_ms %.1f ms\n", window);
    std::printf("cli_census_50ms_silence_ms %.1f ms\n", quick);
    std::printf("cli_census_50_to_300_ratio %.3f x\n", quick / window);
    return 0;
}
