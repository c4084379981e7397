// The readers on one line and what becomes of a command frame there, apart from how the bytes
// travel: who hears it (only the readers at the line's speed), their replies, the collision of
// several replies, the faults played on them, the frame log and when each reply byte reaches the
// program. A transport (SimLine's pseudo-terminal, or a test's in-process channel on a virtual
// clock) hands it whole frames with the times they crossed the wire and plays back the
// Transmission it returns. Every public member is safe to call from any thread.
#pragma once

#include <chrono>
#include <cstddef>
#include <memory>
#include <mutex>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "SimReader.h"

namespace tbsim {

using TimePoint = std::chrono::steady_clock::time_point;

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
    LineGone,       // the line disappears after `length` reply bytes
    AlteredData,    // the data field's last character turns into another (checksum still
                    // right): a reader whose echo of a block differs from what it was sent
};

struct FaultPlan {
    Fault fault = Fault::None;
    std::chrono::milliseconds delay{0};  // LateReply, Trickle
    std::size_t length = 0;  // OverlongReply: data characters; LineGone: bytes sent first
    int times = -1;          // how many replies it applies to; -1: until cleared
};

// One burst of bytes on its way to the program: a reply, a collision or what a fault made of
// them. Byte i has arrived once it has finished crossing the wire, at due(i).
struct Transmission {
    std::string bytes;
    TimePoint start;
    std::chrono::nanoseconds characterTime{0};
    std::chrono::nanoseconds pause{0};  // after every byte (trickling reader)
    // The line disappears once this many bytes are out; a shorter burst goes out whole and
    // leaves the line as it was.
    std::optional<std::size_t> goneAfter;
    std::size_t replies = 0;  // reader replies carried

    TimePoint due(std::size_t index) const;
    TimePoint end() const;
    bool cutsLine() const { return goneAfter && *goneAfter <= bytes.size(); }
    // The bytes the program gets: all of them, or those before the line disappears.
    std::size_t deliverable() const { return cutsLine() ? *goneAfter : bytes.size(); }
    // When the line disappears (cutsLine()): at the start when no byte comes first, else once
    // the last byte before the cut has arrived.
    TimePoint goneAt() const;
};

class SimBus {
public:
    SimBus();
    ~SimBus();
    SimBus(const SimBus&) = delete;
    SimBus& operator=(const SimBus&) = delete;

    // Adds a reader; the returned pointer stays valid for the bus's life.
    SimReader* addReader(const ReaderConfig& config);
    std::vector<SimReader*> readers() const;

    // `onlyCommand` not empty: the fault plays only on replies to commands whose text after the
    // start character and ID begins with it ("d6", "i6"), so the reader check before them
    // stays sound; only those replies count towards `times`.
    void setFault(const FaultPlan& plan, const std::string& onlyCommand = {});
    void clearFault();

    // A command frame from TAB to CR, as the transport collected it. `baud`: the speed the
    // program's side runs at (0: unknown, and no reader hears). `firstByte`: when the TAB began
    // to cross; `lastByte`: when the transport had the CR. The frame is logged whatever its
    // checksum or addressee; each reader at that speed hears it once its last character could
    // have crossed at the reader's own speed. Returns what goes back, if anything, scheduled
    // from then; the transport may start it later when the line is still busy.
    std::optional<Transmission> hear(const std::string& frame, int baud, TimePoint firstByte,
                                     TimePoint lastByte);
    // The transport has passed every byte of `transmission` to the program's side.
    void delivered(const Transmission& transmission);

    // Every frame heard so far, in order, raw bytes from TAB to CR, whatever its checksum or
    // addressee; and the command texts (between TAB and checksum) of those frames.
    std::vector<std::string> receivedFrames() const;
    std::vector<std::string> receivedCommands() const;
    void clearLog();
    // receivedCommands() and clearLog() in one step, so that no frame falls between the two.
    std::vector<std::string> takeReceivedCommands();

    // How many reply frames the readers of this line have sent.
    std::size_t repliesSent() const;

    // Wire pacing (on by default): a frame counts as heard only once it could have crossed the
    // wire at the reader's speed, and reply bytes come no faster than one character time each.
    // Off: replies are due the moment the frame is complete.
    void setPacing(bool on);
    bool pacing() const;

private:
    // False when the fault swallows the reply to `command` (the frame's text).
    bool applyFault(const std::string& command, Transmission& transmission, TimePoint& ready);

    mutable std::mutex mutex_;
    std::vector<std::unique_ptr<SimReader>> readers_;
    std::vector<std::string> frames_;
    std::vector<std::string> commands_;
    FaultPlan fault_;
    std::string faultCommand_;
    std::size_t replies_ = 0;
    bool pacing_ = true;
    std::mt19937 random_{20240611u};
};

}  // namespace tbsim
