// The simulated reader line: a pseudo-terminal whose master side is served by one or more
// simulated readers, as on an RS-485 bus. The program under test opens the slave side
// (devicePath()) like any serial port. The line carries bytes; what the readers make of them is
// its SimBus's business. A line runs its own thread; every public member is safe to call from
// the test's thread while the line runs.
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "SimBus.h"
#include "SimReader.h"

namespace tbsim {

class SimLine {
public:
    SimLine();
    ~SimLine();
    SimLine(const SimLine&) = delete;
    SimLine& operator=(const SimLine&) = delete;

    // Creates the pseudo-terminal and starts serving it. False when no pseudo-terminal could be
    // had. Readers may be added before or after.
    bool start();
    void stop();

    // The slave side's path, e.g. /dev/pts/7: what the program opens as its serial port.
    std::string devicePath() const;

    // Adds a reader; the returned pointer stays valid for the line's life.
    SimReader* addReader(const ReaderConfig& config);
    std::vector<SimReader*> readers() const;

    // As SimBus::setFault.
    void setFault(const FaultPlan& plan, const std::string& onlyCommand = {});
    void clearFault();

    // Closes the master side at once: the program's open port sees a hang-up.
    void hangUp();

    // Every frame received so far, in order, raw bytes from TAB to CR, whatever its checksum
    // or addressee; and the command texts (between TAB and checksum) of those frames.
    std::vector<std::string> receivedFrames() const;
    std::vector<std::string> receivedCommands() const;
    void clearLog();
    // receivedCommands() and clearLog() in one step, so that no frame falls between the two.
    std::vector<std::string> takeReceivedCommands();

    // How many reply frames the readers of this line have sent.
    std::size_t repliesSent() const;

    // Whether the program's side currently runs at `baud` (what a reader at that speed hears).
    int currentBaud() const;

    // Wire pacing (on by default): a frame counts as heard only once it could have crossed the
    // wire at the reader's speed, and reply bytes leave no faster than one character time each,
    // so that the program cannot be faster here than on a real line. Off: as fast as the
    // pseudo-terminal goes.
    void setPacing(bool on);
    bool pacing() const;

    // The readers, faults and log behind the members above.
    SimBus& bus();

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace tbsim
