// tagbench-cli's scan over eight pseudo-terminal ports with the reader on the last one, at
// 19200,e,8,1 (the sixth line setting the walk tries): the parallel scan against the scan of
// that one port alone, and against the window's one-port-after-the-other walk of all eight.
// The parallel scan should cost no more than 1.5 times the one port: the empty ports give up
// once the reader is found.
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <sstream>
#include <vector>

#include "SimLine.h"
#include "cli/Program.h"
#include "platform/SettingsStore.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kPorts = 8;
constexpr int kRounds = 3;

// One scan in milliseconds; negative when it did not find the reader on the last port.
double ScanMs(const cli::Environment& environment, const std::vector<std::string>& args) {
    std::ostringstream out;
    std::ostringstream err;
    const auto start = Clock::now();
    const int status = cli::Run(args, out, err, environment);
    const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    const std::string found = "\"port\":\"COM" + std::to_string(kPorts) + "\"";
    if (status != 0 || out.str().find(found) == std::string::npos) {
        std::fprintf(stderr, "scan failed (%d): %s%s\n", status, out.str().c_str(),
                     err.str().c_str());
        return -1;
    }
    return ms;
}

double Median(std::vector<double> times) {
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

}  // namespace

int main() {
    std::vector<std::unique_ptr<tbsim::SimLine>> lines;
    QString mapping;
    std::string all;
    for (int port = 1; port <= kPorts; ++port) {
        lines.push_back(std::make_unique<tbsim::SimLine>());
        if (!lines.back()->start()) return 1;
        mapping += QString("%1COM%2=%3")
                       .arg(port == 1 ? "" : ",")
                       .arg(port)
                       .arg(QString::fromStdString(lines.back()->devicePath()));
        all += (port == 1 ? "" : ",") + std::string("COM") + std::to_string(port);
    }
    lines.back()->addReader(tbsim::ReaderConfig{});  // PX10, ID 01, 19200,e,8,1

    QTemporaryDir dir;
    platform::SettingsStore store(dir.filePath("etc.conf"), dir.filePath("home.conf"));
    cli::Environment environment;
    environment.ports = [&] { return platform::PortMap::build(store, {}, mapping); };

    const std::string last = "COM" + std::to_string(kPorts);
    std::vector<double> one;
    std::vector<double> parallel;
    for (int round = 0; round < kRounds; ++round) {
        one.push_back(ScanMs(environment, {"scan", "--json", "--ports", last}));
        parallel.push_back(ScanMs(environment, {"scan", "--json", "--ports", all, "--parallel"}));
    }
    const double sequential = ScanMs(environment, {"scan", "--json", "--ports", all});
    if (*std::min_element(one.begin(), one.end()) < 0 ||
        *std::min_element(parallel.begin(), parallel.end()) < 0 || sequential < 0)
        return 1;

    const double oneMs = Median(one);
    const double parallelMs = Median(parallel);
    std::printf("cli_one_port_scan_ms %.1f ms\n", oneMs);
    std::printf("cli_parallel_scan_ms %.1f ms\n", parallelMs);
    std::printf("cli_sequential_scan_ms %.1f ms\n", sequential);
    std::printf("cli_parallel_to_one_port_ratio %.3f x\n", parallelMs / oneMs);
    std::printf("cli_sequential_to_parallel_ratio %.3f x\n", sequential / parallelMs);
    return 0;
}
