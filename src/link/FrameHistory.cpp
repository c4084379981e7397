#include "link/FrameHistory.h"

#include <algorithm>
#include <cstdio>
#include <ctime>

#include "link/Frame.h"

namespace tblink {
namespace {

// A field never carries the file's own separators.
std::string Field(std::string text) {
    std::replace_if(
        text.begin(), text.end(), [](char c) { return c == '\t' || c == '\n' || c == '\r'; }, ' ');
    return text;
}

std::string SentText(const std::string& sent, const TextDecoder& toUtf8) {
    const bool ascii = std::all_of(sent.begin(), sent.end(),
                                   [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    if (ascii) return sent;
    if (toUtf8) return toUtf8(sent);
    std::string escaped;
    for (const char c : sent) {
        const auto byte = static_cast<std::uint8_t>(c);
        if (byte < 0x80)
            escaped += c;
        else
            escaped += "[" + ByteToHex(byte) + "]";
    }
    return escaped;
}

std::string Diagnosed(const char* what, const HistoryEntry& entry) {
    if (!entry.diagnosis || entry.diagnosis->problem == platform::PortProblem::None) return what;
    return std::string(what) + ": " + platform::DescribePortProblem(*entry.diagnosis);
}

}  // namespace

void FrameHistory::Add(HistoryEntry entry) {
    entry.sequence = nextSequence_++;
    if (entry.when == std::chrono::system_clock::time_point{})
        entry.when = std::chrono::system_clock::now();
    entry.group = group_;
    const bool drop = entries_.size() >= capacity_;
    if (drop) entries_.pop_front();
    entries_.push_back(std::move(entry));
    for (HistoryObserver* observer : observers_) observer->entryAdded(entries_.back(), drop);
}

void FrameHistory::Clear() {
    entries_.clear();
    for (HistoryObserver* observer : observers_) observer->historyCleared();
}

std::shared_ptr<const HistoryGroup> FrameHistory::BeginGroup(std::string label) {
    auto replaced = std::move(group_);
    group_ = std::make_shared<const HistoryGroup>(HistoryGroup{nextGroup_++, std::move(label)});
    return replaced;
}

void FrameHistory::AddObserver(HistoryObserver* observer) {
    if (std::find(observers_.begin(), observers_.end(), observer) == observers_.end())
        observers_.push_back(observer);
}

void FrameHistory::RemoveObserver(HistoryObserver* observer) {
    observers_.erase(std::remove(observers_.begin(), observers_.end(), observer), observers_.end());
}

std::string LocalTimeText(std::chrono::system_clock::time_point when) {
    const auto sinceEpoch = when.time_since_epoch();
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(sinceEpoch);
    const auto millis =
        std::chrono::duration_cast<std::chrono::milliseconds>(sinceEpoch - seconds).count();
    const std::time_t whole = static_cast<std::time_t>(seconds.count());
    std::tm local{};
    localtime_r(&whole, &local);
    char text[40];
    const std::size_t length = std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
    std::snprintf(text + length, sizeof text - length, ".%03d", static_cast<int>(millis));
    return text;
}

std::string OutcomeText(const HistoryEntry& entry) {
    switch (entry.event) {
        case HistoryEvent::PortOpened:
            return "Port opened";
        case HistoryEvent::PortClosed:
            return "Port closed";
        case HistoryEvent::PortOpenFailed:
            return Diagnosed("Port did not open", entry);
        case HistoryEvent::Exchange:
            break;
    }
    switch (entry.result) {
        case TransactResult::Ok:
            return "Ok";
        case TransactResult::ChecksumError:
            return "Wrong checksum";
        case TransactResult::Silence:
            return "Silence after " + std::to_string(entry.silenceMs) + " ms";
        case TransactResult::LineGone:
            return Diagnosed("Line gone", entry);
        case TransactResult::Overflow:
            return "Overflow: " + std::to_string(entry.bytesReceived) + " bytes without a frame";
        case TransactResult::NotOpen:
            return "Port not open";
        case TransactResult::CommandTooLong:
            return "Refused: command too long";
    }
    return {};
}

std::string HistoryHeaderLine() {
    return "Time\tCommand\tPort\tDevice\tLine settings\tSent\tReceived\tOutcome\tReply (ms)";
}

std::string HistoryLine(const HistoryEntry& entry, const TextDecoder& toUtf8) {
    const bool replied =
        entry.event == HistoryEvent::Exchange &&
        (entry.result == TransactResult::Ok || entry.result == TransactResult::ChecksumError);
    std::string line = LocalTimeText(entry.when);
    for (const std::string& field :
         {entry.group ? entry.group->label : std::string(), entry.port->name, entry.port->device,
          entry.port->lineSettings, SentText(entry.sent, toUtf8), entry.received,
          OutcomeText(entry), replied ? std::to_string(entry.elapsedMs) : std::string()}) {
        line += '\t';
        line += Field(field);
    }
    return line;
}

FrameLogFile::FrameLogFile(const std::string& path, TextDecoder toUtf8)
    : file_(std::fopen(path.c_str(), "a")), toUtf8_(std::move(toUtf8)) {
    if (file_ && std::fseek(file_, 0, SEEK_END) == 0 && std::ftell(file_) == 0) {
        std::fputs((HistoryHeaderLine() + "\n").c_str(), file_);
        std::fflush(file_);
    }
}

FrameLogFile::~FrameLogFile() {
    if (file_) std::fclose(file_);
}

void FrameLogFile::entryAdded(const HistoryEntry& entry, bool) {
    if (!file_) return;
    std::fputs((HistoryLine(entry, toUtf8_) + "\n").c_str(), file_);
    std::fflush(file_);
}

}  // namespace tblink
