#include "link/Discovery.h"

#include "link/LineSettingsList.h"
#include "link/PortList.h"

namespace tblink {
namespace {

constexpr int kPausePumpedMs = 100;
constexpr int kPausePlainMs = 50;

bool Recognised(ReaderLink& link, const std::string& probe, int silenceLimitMs) {
    return link.TransactTimed(probe, silenceLimitMs) == 1 &&
           link.ReplyLength() == kProbeReplyLength;
}

void Tell(const DiscoveryProgress& progress, const DiscoveryStep& step) {
    if (progress) progress(step);
}

// One port at one line setting during the walk; the port is known to be open.
bool ProbeOpenPort(ReaderLink& link, Pacer& pacer, const std::string& probe, int silenceLimitMs) {
    for (int attempt = 0; attempt < kWalkAttempts; ++attempt) {
        pacer.PausePlain(kPausePlainMs);
        if (Recognised(link, probe, silenceLimitMs)) return true;
    }
    return false;
}

std::optional<FoundReader> Walk(ReaderLink& link, Pacer& pacer, const ScanRequest& request,
                                const DiscoveryProgress& progress) {
    for (int item = 0; item < static_cast<int>(request.portItems.size()); ++item) {
        Tell(progress, {DiscoveryStep::Kind::PortItem, item});
        pacer.Pump();
        // A map entry that names no COM number cannot be opened by number: skip it.
        const auto port = PortNumberFromBoxText(request.portItems[item]);
        if (!port) continue;
        for (int j = 0; j < kScannedLineSettingsCount; ++j) {
            if (request.lock) j = request.storedLineSettingsIndex;
            Tell(progress, {DiscoveryStep::Kind::LineSettings, item, *port, j});
            const std::string settings =
                IsLineSettingsIndex(j) ? kLineSettingsTexts[j] : request.storedLineSettings;
            if (!link.OpenPort(*port, settings)) break;  // the other settings are not tried
            Tell(progress, {DiscoveryStep::Kind::PortOpened, item, *port, j});
            const bool found = ProbeOpenPort(link, pacer, request.probe, request.silenceLimitMs);
            std::optional<FoundReader> reader;
            if (found) {
                reader = FoundReader{*port, j, settings, link.ReplyText()};
                Tell(progress, {DiscoveryStep::Kind::FoundInWalk, item, *port, j});
            }
            link.ClosePort();
            if (reader) return reader;
            if (request.lock) break;
        }
    }
    return std::nullopt;
}

}  // namespace

std::string ScanProbe(char startCharacter) { return std::string(1, startCharacter) + "00B"; }

std::string LinkProbe(char startCharacter, const std::string& id) {
    return std::string(1, startCharacter) + id + "B";
}

std::optional<FoundReader> ProbePort(ReaderLink& link, Pacer& pacer, int port,
                                     int lineSettingsIndex, const std::string& lineSettings,
                                     const std::string& probe, const DiscoveryProgress& progress,
                                     int silenceLimitMs) {
    if (!link.OpenPort(port, lineSettings)) return std::nullopt;
    Tell(progress, {DiscoveryStep::Kind::PortOpened, 0, port, lineSettingsIndex});
    pacer.Pump();
    std::optional<FoundReader> found;
    for (int attempt = 0; attempt < kQuickTryAttempts && !found; ++attempt) {
        pacer.PauseKeptAlive(kPausePumpedMs);
        if (Recognised(link, probe, silenceLimitMs))
            found = FoundReader{port, lineSettingsIndex, lineSettings, link.ReplyText()};
    }
    link.ClosePort();
    return found;
}

std::optional<FoundReader> Scan(ReaderLink& link, Pacer& pacer, const ScanRequest& request,
                                const DiscoveryProgress& progress) {
    if (request.storedPort > 0) {
        if (auto found = ProbePort(link, pacer, request.storedPort, request.storedLineSettingsIndex,
                                   request.storedLineSettings, request.probe, progress,
                                   request.silenceLimitMs))
            return found;
    }
    return Walk(link, pacer, request, progress);
}

}  // namespace tblink
