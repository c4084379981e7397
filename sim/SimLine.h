// The simulated reader line: a pseudo-terminal whose master side is served by one or more
// simulated readers, as on an RS-485 bus. The program under test opens the slave side
// (devicePath()) like any serial port. A line runs its own thread; every public member is safe
// to call from the test's thread while the line runs.
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "SimReader.h"

namespace tbsim {

// Faults a line can play on the replies of its readers.
enum class Fault {
    None,
    Silence,        // no reply at all
    LateReply,      // the reply starts after `delay`
    Trickle,        // every reply byte is followed by a pause of `delay`
    WrongChecksum,  // the checksum characters do not match the frame
    StrayByte,      // one extra byte is sent in front of the LF
    WrongLength,    // the data field loses its last character (checksum still right)
    Garbage,        // random bytes without LF or CR instead of the reply
    OverlongReply,  // a well-formed reply whose data field is `length` characters long
    LineGone,       // the line disappears (the master side is closed) after `after` reply bytes
};

struct FaultPlan {
    Fault fault = Fault::None;
    std::chrono::milliseconds delay{0};  // LateReply, Trickle
    std::size_t length = 0;  // OverlongReply: data characters; LineGone: bytes sent first
    int times = -1;          // how many replies it applies to; -1: until cleared
};

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

    void setFault(const FaultPlan& plan);
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

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace tbsim
