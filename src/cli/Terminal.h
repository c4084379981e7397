// What tagbench-cli has in place of the window: a pacer that sleeps (there is nothing to keep
// painting), Ctrl+C in place of the loop's stop click, progress on standard error only when a
// person is watching it, and the status bar's frame echo as a trace.
#pragma once

#include <chrono>
#include <functional>
#include <iosfwd>
#include <mutex>
#include <string>

#include "link/Pacer.h"
#include "link/ReaderLink.h"

namespace cli {

// Progress lines and dots, drawn over each other on a terminal; nothing when disabled. Safe to
// call from the threads of a parallel scan.
class Progress {
public:
    Progress(std::ostream& err, bool enabled) : err_(err), enabled_(enabled) {}
    ~Progress() { clear(); }
    Progress(const Progress&) = delete;
    Progress& operator=(const Progress&) = delete;

    bool enabled() const { return enabled_; }
    void status(const std::string& text);
    void dot();
    // Removes what was drawn, so that the next line starts clean.
    void clear();

private:
    std::ostream& err_;
    bool enabled_;
    bool drawn_ = false;
    std::mutex mutex_;
};

// From now on Ctrl+C asks the running loop to end instead of ending the program.
void CatchInterrupt();
bool Interrupted();

// Waits by sleeping; Tick is a progress dot; Stopped is Ctrl+C or the caller's own end
// (a count reached, a time passed).
class CliPacer : public tblink::Pacer {
public:
    // `wait` replaces sleeping (a test's virtual clock).
    explicit CliPacer(Progress* progress = nullptr, std::function<bool()> end = {},
                      std::function<void(int)> wait = {})
        : progress_(progress), end_(std::move(end)), wait_(std::move(wait)) {}

    void PauseKeptAlive(int milliseconds) override { pause(milliseconds); }
    void PausePlain(int milliseconds) override { pause(milliseconds); }
    void Pump() override {}
    void Tick() override;
    bool Stopped() override;

private:
    void pause(int milliseconds);
    Progress* progress_;
    std::function<bool()> end_;
    std::function<void(int)> wait_;
};

// The frames as the window's status bar shows them, one a line on standard error, after the
// port's name: "COM3 > [09]A01B0A[0D]" sent, "COM3 < [0A]A01B12345678..[0D]" received.
class TraceEcho : public tblink::EchoSink {
public:
    TraceEcho(std::ostream& err, std::mutex& mutex) : err_(err), mutex_(mutex) {}
    void setPort(std::string port) { port_ = std::move(port); }
    void showSentEcho(const std::string& echo) override { line(" > ", echo); }
    void showReceivedEcho(const std::string& echo) override { line(" < ", echo); }

private:
    void line(const char* direction, const std::string& echo);
    std::ostream& err_;
    std::mutex& mutex_;
    std::string port_;
};

}  // namespace cli
