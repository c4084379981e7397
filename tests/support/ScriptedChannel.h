// A serial channel that carries bytes in-process to simulated reader lines (SimBus), on a
// virtual clock. Each written byte crosses the wire in one character time at the port's speed;
// each complete frame goes to the bus of the open port's line, and the reply it sends back
// arrives byte by byte at the times the bus scheduled. Waiting for a byte moves the clock
// instead of sleeping. Single-threaded, as the link that uses it.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "SimBus.h"
#include "SimFrame.h"
#include "SimReader.h"
#include "VirtualClock.h"
#include "platform/SerialChannel.h"

class ScriptedChannel : public platform::SerialChannel {
public:
    // A frame the program sent.
    struct Sent {
        std::string path;                 // the device it went to
        std::string lineSettings;         // as the port was opened with
        std::string frame;                // TAB to CR, as written
        std::string command;              // the text between TAB and checksum
        std::chrono::milliseconds at{0};  // when its TAB went out, on the virtual clock
    };

    // `clock` must outlive the channel.
    explicit ScriptedChannel(VirtualClock& clock);
    ~ScriptedChannel() override;
    ScriptedChannel(const ScriptedChannel&) = delete;
    ScriptedChannel& operator=(const ScriptedChannel&) = delete;

    // A new line at `path`, with no reader yet; or a bus of the caller's (it must outlive the
    // channel). A path already taken is refused with an exception.
    tbsim::SimBus& addLine(const std::string& path);
    void attachLine(const std::string& path, tbsim::SimBus& bus);
    // The bus at `path`; an exception when there is none.
    tbsim::SimBus& line(const std::string& path);

    // The port is held by another program: it does not open.
    void setHeld(const std::string& path, bool held = true);
    // The port does not open, for the reason given (problem None: it opens again).
    void setRefusal(const std::string& path, const platform::PortDiagnosis& why);
    // The adapter is pulled: the open port reads LineGone from now on, and the path never
    // opens again.
    void hangUp(const std::string& path);

    // SerialChannel.
    bool open(const std::string& devicePath, const std::string& lineSettings) override;
    void close() override;
    bool isOpen() const override { return open_ != nullptr; }
    // Drops the reply bytes that have arrived and not been read; bytes still on the wire come
    // later, as they would after tcflush.
    void purge() override;
    void write(const std::uint8_t* bytes, std::size_t count) override;
    // Moves the clock to the moment the last written byte has left.
    void drain() override;
    // A byte already arrived comes at once; one arriving within the wait moves the clock to its
    // arrival; else the clock moves by the whole wait. A negative wait counts as none.
    platform::ReadStatus readByte(std::uint8_t& byte, int timeoutMs) override;
    // Missing and pulled paths do not exist; a held one is held by an unknown program.
    platform::PortDiagnosis diagnosis() const override { return diagnosis_; }

    // What the program did, for tests.
    const std::vector<Sent>& sent() const { return sent_; }
    // The command texts sent, on every line; takeCommands: those since the last take.
    std::vector<std::string> commands() const;
    std::vector<std::string> takeCommands();
    int openAttempts() const { return openAttempts_; }
    int opens() const { return opens_; }    // that succeeded
    int closes() const { return closes_; }  // of an open port
    // The open port's path, empty when none.
    std::string openPath() const;

private:
    struct Incoming {
        tbsim::Transmission transmission;
        std::size_t read = 0;  // bytes taken by the program or purged
        bool counted = false;  // the bus was told it is out
    };
    struct Line {
        std::string path;
        tbsim::SimBus* bus = nullptr;
        std::unique_ptr<tbsim::SimBus> owned;
        bool held = false;
        bool gone = false;
        platform::PortDiagnosis refusal;
        // The program's side of the wire.
        tbsim::CommandAssembler assembler;
        platform::Clock::TimePoint frameStart;  // when the TAB of the frame in progress went out
        platform::Clock::TimePoint wireFree;    // when the last written byte has left
        // The readers' side.
        std::deque<Incoming> incoming;
    };

    Line& newLine(const std::string& path);
    Line* find(const std::string& path);
    void onFrame(const std::string& frame);
    // Tells the bus of replies fully arrived, drops what has been read, and cuts the line when a
    // cut is due.
    void settle(Line& line);
    void cut(Line& line);

    VirtualClock& clock_;
    std::map<std::string, std::unique_ptr<Line>> lines_;
    Line* open_ = nullptr;
    platform::PortDiagnosis diagnosis_;
    std::string openSettings_;
    int baud_ = 0;
    std::chrono::nanoseconds characterTime_{0};

    std::vector<Sent> sent_;
    std::size_t taken_ = 0;
    int openAttempts_ = 0;
    int opens_ = 0;
    int closes_ = 0;
};
