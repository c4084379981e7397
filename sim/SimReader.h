// One simulated reader: its state and its answers. It hears a command only when the line runs
// at its own speed, its start character opens the frame and the frame names its ID or "00".
#pragma once

#include <chrono>
#include <mutex>
#include <optional>
#include <string>

namespace tbsim {

// The eight reader types, in the order of the window's reader-type row.
enum class ReaderKind { PX10 = 0, PX40, PX30M, PX40M, PX50, PX50M, PX60, PX60M };

char StartCharacter(ReaderKind kind);
// "PX10", "PX40", "PX30M", ... as the tagbench-sim options name them; nullopt if unknown.
std::optional<ReaderKind> ReaderKindFromName(const std::string& name);
std::string ReaderKindName(ReaderKind kind);
// The version a fresh reader of this type reports: 16 characters, e.g. "V2.31-0542 PX40M".
std::string DefaultVersion(ReaderKind kind);

// A line-settings text such as "19200,e,8,1" taken apart.
struct LineFormat {
    int baud = 0;
    char parity = 'n';  // n, e, o, m, s
    int dataBits = 8;
    int stopHalfBits = 2;  // 2: one stop bit, 3: one and a half, 4: two
};
std::optional<LineFormat> ParseLineSettings(const std::string& text);
// How long one character takes on the wire: start bit, data bits, parity bit, stop bits.
std::chrono::nanoseconds CharacterTime(const LineFormat& format);

struct ReaderConfig {
    ReaderKind kind = ReaderKind::PX10;
    int id = 1;                       // 1 to 99
    std::string serial = "12345678";  // 8 characters
    std::string lineSettings = "19200,e,8,1";
    std::string version = "V2.31-0542 PX10 ";  // 16 characters: a 24-byte "V" reply; 8: 16 bytes
};

class SimReader {
public:
    explicit SimReader(const ReaderConfig& config);

    // The reply frame (LF ... CR) to one command text, or nullopt when this reader stays silent
    // (another start character, another ID, a command it does not know).
    std::optional<std::string> answer(const std::string& commandText);

    ReaderConfig config() const;
    void setConfig(const ReaderConfig& config);
    int baud() const;  // from the line settings; 0 when they cannot be read
    std::chrono::nanoseconds characterTime() const;  // 0 when the line settings cannot be read

private:
    mutable std::mutex mutex_;
    ReaderConfig config_;
};

}  // namespace tbsim
