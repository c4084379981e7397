// tagbench-sim: simulated readers on pseudo-terminals until SIGINT or SIGTERM.
#include <csignal>
#include <iostream>

#include "SimProgram.h"

namespace {

std::atomic<bool> stopRequested{false};
static_assert(std::atomic<bool>::is_always_lock_free, "set from a signal handler");

void OnSignal(int) { stopRequested.store(true); }

}  // namespace

int main(int argc, char** argv) {
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    for (int signal : {SIGINT, SIGTERM, SIGHUP}) sigaction(signal, &action, nullptr);
    // A closed pipe on stdout must not end us before the links are removed.
    std::signal(SIGPIPE, SIG_IGN);

    const std::vector<std::string> args(argv + 1, argv + argc);
    return tbsim::RunProgram(args, std::cout, std::cerr, stopRequested);
}
