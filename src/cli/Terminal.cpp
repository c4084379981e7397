#include "cli/Terminal.h"

#include <atomic>
#include <csignal>
#include <ostream>

#include "platform/Clock.h"

namespace cli {
namespace {

std::atomic<bool> interrupted{false};

extern "C" void OnInterrupt(int) { interrupted.store(true); }

}  // namespace

void Progress::status(const std::string& text) {
    if (!enabled_) return;
    std::lock_guard<std::mutex> lock(mutex_);
    err_ << "\r\033[K" << text << std::flush;
    drawn_ = true;
}

void Progress::dot() {
    if (!enabled_) return;
    std::lock_guard<std::mutex> lock(mutex_);
    err_ << '.' << std::flush;
    drawn_ = true;
}

void Progress::clear() {
    if (!enabled_) return;
    std::lock_guard<std::mutex> lock(mutex_);
    if (drawn_) err_ << "\r\033[K" << std::flush;
    drawn_ = false;
}

void CatchInterrupt() {
    struct sigaction action {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
}

bool Interrupted() { return interrupted.load(); }

void CliPacer::Tick() {
    if (progress_) progress_->dot();
}

bool CliPacer::Stopped() { return Interrupted() || (end_ && end_()); }

void CliPacer::pause(int milliseconds) {
    if (wait_) return wait_(milliseconds);
    platform::SleepFor(milliseconds);
}

void TraceEcho::line(const char* direction, const std::string& echo) {
    std::lock_guard<std::mutex> lock(mutex_);
    err_ << port_ << direction << echo << std::endl;
}

}  // namespace cli
