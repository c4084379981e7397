// Start-up, from the exec to the window's first painted frame and to a window that takes
// input, with the program's peak memory; beside each, the floor: the same toolkit showing an
// empty window of the same size. And how long tagbench-cli takes to say its version and to list
// the ports, beside the exec of a program that does nothing. Medians of several starts, each
// with a settings store of its own.
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

extern char** environ;

namespace {

constexpr int kStarts = 9;
constexpr int kCliRuns = 21;

struct Run {
    double paintedMs = 0;  // from the exec; 0 when the program did not say
    double inputMs = 0;
    double totalMs = 0;  // from the exec to its end
    long rssKb = 0;
    bool ok = false;
};

double MsBetween(long long fromNs, long long toNs) {
    return static_cast<double>(toNs - fromNs) / 1e6;
}

long long NowNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// Runs `argv` with `settings` as its settings folder, its standard output read.
Run Start(const std::vector<std::string>& argv, const QString& settings) {
    std::vector<std::string> environment;
    for (char** entry = environ; *entry; ++entry) {
        const std::string_view item = *entry;
        if (item.rfind("XDG_CONFIG_HOME=", 0) != 0 && item.rfind("TAGBENCH_", 0) != 0)
            environment.emplace_back(item);
    }
    environment.push_back("XDG_CONFIG_HOME=" + settings.toStdString() + "/home");
    environment.push_back("TAGBENCH_SYSCONFDIR=" + settings.toStdString() + "/etc");
    environment.push_back("TAGBENCH_PORTS=");
    std::vector<char*> envp;
    for (auto& entry : environment) envp.push_back(entry.data());
    envp.push_back(nullptr);
    std::vector<std::string> args = argv;
    std::vector<char*> argp;
    for (auto& arg : args) argp.push_back(arg.data());
    argp.push_back(nullptr);

    int out[2];
    if (pipe(out) != 0) return {};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    Run run;
    pid_t pid = 0;
    const long long started = NowNs();
    const int spawned = posix_spawn(&pid, argp[0], &actions, nullptr, argp.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    if (spawned != 0) {
        close(out[0]);
        return {};
    }
    std::string said;
    char buffer[256];
    for (ssize_t n; (n = read(out[0], buffer, sizeof buffer)) > 0;) said.append(buffer, n);
    close(out[0]);
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    run.totalMs = MsBetween(started, NowNs());
    run.rssKb = usage.ru_maxrss;
    run.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    long long painted = 0;
    long long input = 0;
    if (std::sscanf(said.c_str(), "painted %lld\ninput %lld", &painted, &input) == 2) {
        run.paintedMs = MsBetween(started, painted);
        run.inputMs = MsBetween(started, input);
    }
    return run;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

struct Starts {
    std::vector<double> painted, input, total, rss;
    bool ok = true;
    void add(const Run& run, bool windowed) {
        ok = ok && run.ok && (!windowed || run.paintedMs > 0);
        painted.push_back(run.paintedMs);
        input.push_back(run.inputMs);
        total.push_back(run.totalMs);
        rss.push_back(static_cast<double>(run.rssKb));
    }
};

}  // namespace

int main() {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);  // unless the caller asks for a display
    Starts window;
    Starts floor;
    Starts version;
    Starts ports;
    Starts nothing;
    // Taken in turns, so a busy moment of the machine falls on both sides.
    for (int i = 0; i < kStarts; ++i) {
        QTemporaryDir settings;
        window.add(Start({TAGBENCH_STARTUP_WINDOW}, settings.path()), true);
        floor.add(Start({TAGBENCH_STARTUP_FLOOR}, settings.path()), true);
    }
    for (int i = 0; i < kCliRuns; ++i) {
        QTemporaryDir settings;
        version.add(Start({TAGBENCH_CLI, "--version"}, settings.path()), false);
        ports.add(Start({TAGBENCH_CLI, "ports"}, settings.path()), false);
        nothing.add(Start({"/bin/true"}, settings.path()), false);
    }
    if (!window.ok || !floor.ok || !version.ok || !ports.ok || !nothing.ok) {
        std::fprintf(stderr, "bench_startup: a program failed or did not report its paint\n");
        return 1;
    }
    std::printf("start_to_first_paint_ms %.1f ms\n", Median(window.painted));
    std::printf("start_floor_to_first_paint_ms %.1f ms\n", Median(floor.painted));
    std::printf("start_to_input_ms %.1f ms\n", Median(window.input));
    std::printf("start_floor_to_input_ms %.1f ms\n", Median(floor.input));
    std::printf("start_rss_kb %.0f kB\n", Median(window.rss));
    std::printf("start_floor_rss_kb %.0f kB\n", Median(floor.rss));
    std::printf("cli_version_ms %.1f ms\n", Median(version.total));
    std::printf("cli_ports_ms %.1f ms\n", Median(ports.total));
    std::printf("exec_floor_ms %.1f ms\n", Median(nothing.total));
    return 0;
}
