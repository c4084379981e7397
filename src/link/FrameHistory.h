// The frame history: every exchange of the run, and every port open and close, as the link saw
// them. ReaderLink keeps one and adds to it as it goes; observers (the window's table, the
// session log file) hear of each entry the moment it is made. Bounded: past kCapacity entries
// the oldest goes.
//
// Entries are grouped by the command that made them: the front end opens a group with the
// start message it shows, and every entry until the group ends carries it.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/PortDiagnosis.h"

namespace tblink {

enum class TransactResult {
    Ok,
    ChecksumError,   // a whole frame arrived, its checksum is wrong
    Silence,         // the reader stayed silent longer than the limit
    LineGone,        // the port hung up or vanished during the exchange
    Overflow,        // bytes kept coming without ever forming a frame
    NotOpen,         // no port is open
    CommandTooLong,  // refused before sending: longer than kMaxCommandLength
};

enum class HistoryEvent { Exchange, PortOpened, PortOpenFailed, PortClosed };

// The port an entry happened on; shared by every entry while the port stays open.
struct PortInfo {
    int number = 0;
    std::string name;          // "COM3"
    std::string device;        // "/dev/ttyUSB0"; empty when the number names no device
    std::string lineSettings;  // "19200,e,8,1"
};

// The command an entry belongs to.
struct HistoryGroup {
    std::uint64_t id = 0;
    std::string label;  // its start message, as the front end showed it (UTF-8)
};

struct HistoryEntry {
    std::uint64_t sequence = 0;  // 1, 2, ... over the run; Clear keeps counting
    // When the frame went out, or the port opened or closed; Add stamps it if left unset.
    std::chrono::system_clock::time_point when;
    HistoryEvent event = HistoryEvent::Exchange;
    std::shared_ptr<const PortInfo> port;       // never null once added
    std::shared_ptr<const HistoryGroup> group;  // null outside any command

    // Exchange.
    std::string sent;      // the frame as the status bar's echo writes it
    std::string received;  // the display form of what arrived of the reply
    TransactResult result = TransactResult::Ok;
    int silenceLimitMs = 0;
    // From the end of sending to the reply's CR, or to giving up; -1 when nothing was sent.
    long long elapsedMs = -1;
    // Silence: how long the line had been quiet when the exchange gave up.
    long long silenceMs = 0;
    // Overflow: bytes taken without a frame.
    std::size_t bytesReceived = 0;

    // PortOpenFailed, and an exchange that lost its line.
    std::shared_ptr<const platform::PortDiagnosis> diagnosis;
};

class HistoryObserver {
public:
    virtual ~HistoryObserver() = default;
    // `entry` is the newest; when `droppedOldest` the bound pushed the oldest out first.
    virtual void entryAdded(const HistoryEntry& entry, bool droppedOldest) = 0;
    virtual void historyCleared() = 0;
};

class FrameHistory {
public:
    static constexpr std::size_t kCapacity = 10000;

    explicit FrameHistory(std::size_t capacity = kCapacity) : capacity_(capacity) {}

    // Stamps the entry (sequence, the open group, the time if unset) and keeps it.
    void Add(HistoryEntry entry);
    void Clear();

    // Opens a group and returns the one it replaces, for EndGroup to resume: commands can
    // nest (a Link tried while a card loop runs).
    std::shared_ptr<const HistoryGroup> BeginGroup(std::string label);
    void EndGroup(std::shared_ptr<const HistoryGroup> resumed = nullptr) {
        group_ = std::move(resumed);
    }

    std::size_t Size() const { return entries_.size(); }
    // 0 is the oldest kept.
    const HistoryEntry& At(std::size_t index) const { return entries_[index]; }
    std::size_t Capacity() const { return capacity_; }

    // Observers must outlive the history or remove themselves.
    void AddObserver(HistoryObserver* observer);
    void RemoveObserver(HistoryObserver* observer);

private:
    std::size_t capacity_;
    std::deque<HistoryEntry> entries_;
    std::uint64_t nextSequence_ = 1;
    std::uint64_t nextGroup_ = 1;
    std::shared_ptr<const HistoryGroup> group_;
    std::vector<HistoryObserver*> observers_;
};

// The saved and logged form: tab-separated, one entry a line, after a header line. Bytes of the
// command text outside ASCII (texts in a Chinese code page) go through `toUtf8`; without one they
// are written as [XX], as the received bytes are.
using TextDecoder = std::function<std::string(const std::string&)>;
std::string HistoryHeaderLine();
std::string HistoryLine(const HistoryEntry& entry, const TextDecoder& toUtf8 = {});
// "2024-05-01 14:03:22.123", local time.
std::string LocalTimeText(std::chrono::system_clock::time_point when);
// The outcome column in English: "Ok", "Silence after 301 ms", "Port did not open: ...".
std::string OutcomeText(const HistoryEntry& entry);

// Appends every entry to a file as it is made (TAGBENCH_FRAME_LOG). The header goes in only
// when the file is empty. Each line is flushed at once, so a soak test that is killed loses
// nothing.
class FrameLogFile : public HistoryObserver {
public:
    FrameLogFile(const std::string& path, TextDecoder toUtf8 = {});
    ~FrameLogFile() override;
    FrameLogFile(const FrameLogFile&) = delete;
    FrameLogFile& operator=(const FrameLogFile&) = delete;

    bool isOpen() const { return file_ != nullptr; }
    void entryAdded(const HistoryEntry& entry, bool droppedOldest) override;
    void historyCleared() override {}

private:
    std::FILE* file_ = nullptr;
    TextDecoder toUtf8_;
};

}  // namespace tblink
