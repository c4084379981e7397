// Finding a reader: the probe ("B" to ID 00 for a scan, to the chosen ID for a link), the quick
// try of the stored port and line settings, and the walk over every port and line setting.
// The caller shows the progress (port box, line-settings box, "Scan COM : #n") through the
// callback; the waits go through the pacer.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "link/Pacer.h"
#include "link/ReaderLink.h"

namespace tblink {

// A reader answered the probe: where, and its 16-byte reply (ID at 3-4, serial at 6-13).
struct FoundReader {
    int port = 0;
    int lineSettingsIndex = 0;
    std::string lineSettings;
    std::string reply;
};

struct DiscoveryStep {
    enum class Kind {
        PortItem,      // the walk moves to item `item` of the port list
        LineSettings,  // the walk tries line settings `lineSettingsIndex`
        PortOpened,    // port `port` opened: probing starts ("Scan COM : #port")
        FoundInWalk,   // the walk found a reader: the find is kept at once
    };
    Kind kind;
    int item = 0;
    int port = 0;
    int lineSettingsIndex = 0;
};
using DiscoveryProgress = std::function<void(const DiscoveryStep&)>;

constexpr int kProbeReplyLength = 16;
constexpr int kQuickTryAttempts = 3;
constexpr int kWalkAttempts = 2;

// "A00B": what any reader answers, whatever its ID.
std::string ScanProbe(char startCharacter);
// Start character + the two-digit ID + "B".
std::string LinkProbe(char startCharacter, const std::string& id);

struct ScanRequest {
    std::string probe;
    int storedPort = 0;  // 0: no quick try
    int storedLineSettingsIndex = 5;
    std::string storedLineSettings;
    // The port list's items in order ("COM3"...); an item without a number is skipped.
    std::vector<std::string> portItems;
    bool lock = false;  // only the stored line settings on each port
    // How long a probe waits for its reply: the window's 300 ms, shorter on a quick bus.
    int silenceLimitMs = ReaderLink::kDefaultSilenceLimitMs;
};

// The quick try (3 probes after kept-alive pauses), then the walk (on each port that opens,
// the first 12 line settings, or the stored one when locked, 2 probes each after plain pauses).
std::optional<FoundReader> Scan(ReaderLink& link, Pacer& pacer, const ScanRequest& request,
                                const DiscoveryProgress& progress);

// One port at one line setting, 3 probes after kept-alive pauses: the quick try, and the link.
std::optional<FoundReader> ProbePort(ReaderLink& link, Pacer& pacer, int port,
                                     int lineSettingsIndex, const std::string& lineSettings,
                                     const std::string& probe, const DiscoveryProgress& progress,
                                     int silenceLimitMs = ReaderLink::kDefaultSilenceLimitMs);

}  // namespace tblink
