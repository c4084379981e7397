// One reader line for a unit test of reader commands, without a window or a pseudo-terminal: a
// virtual clock, a pacer that records its calls, a scripted channel with one line mapped to COM1
// (more with addLine) and a ReaderLink on them. The readers are the simulator's own. Declare one
// per test function or data row; nothing carries over.
//
//     CommandRig rig;
//     rig.addReader(tbsim::ReaderKind::PX40, 1);
//     QVERIFY(rig.open());
//     commands::Session session{rig.link, rig.pacer, "H01"};
//     ...
//     QCOMPARE(rig.takeCommands(), (std::vector<std::string>{"H01B", "H01L"}));
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "RecordingPacer.h"
#include "ScriptedChannel.h"
#include "SimBus.h"
#include "SimReader.h"
#include "VirtualClock.h"
#include "link/ReaderLink.h"

class CommandRig {
public:
    static constexpr const char* kLineSettings = "19200,e,8,1";
    static constexpr const char* kSerial = "12345678";

    CommandRig();
    ~CommandRig();
    CommandRig(const CommandRig&) = delete;
    CommandRig& operator=(const CommandRig&) = delete;

    VirtualClock clock;
    RecordingPacer pacer{clock};

private:
    std::unique_ptr<ScriptedChannel> handOver_;  // made first, then owned by `link`

public:
    ScriptedChannel& channel;
    tblink::ReaderLink link;

    // The line of COM `port`; COM1 is there from the start.
    tbsim::SimBus& line(int port = 1);
    // Adds a line at the next COM number (2, 3, ...) and returns that number.
    int addLine();
    // The device path COM `port` maps to; empty when there is no such line.
    std::string devicePath(int port) const;

    // A reader of `kind` with `id` on COM `port`: the version its type reports, serial kSerial.
    tbsim::SimReader* addReader(tbsim::ReaderKind kind, int id, int port = 1,
                                const std::string& lineSettings = kLineSettings);
    tbsim::SimReader* addReader(const tbsim::ReaderConfig& config, int port = 1);

    bool open(int port = 1, const std::string& lineSettings = kLineSettings);
    void close();

    // The command texts the program sent, on every line; takeCommands: those since the last take.
    std::vector<std::string> commands() const;
    std::vector<std::string> takeCommands();

private:
    std::map<int, std::string> ports_;
};
