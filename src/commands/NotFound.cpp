#include "commands/NotFound.h"

#include "link/Discovery.h"
#include "link/LineSettingsList.h"

namespace commands {
namespace {

// The line settings above the scanned ones: only Link reaches a reader there.
constexpr int kFirstFastSettings = tblink::kScannedLineSettingsCount;

std::string ProbeText(char start, const std::optional<std::string>& id) {
    return id ? tblink::LinkProbe(start, *id) : tblink::ScanProbe(start);
}

bool Answers(tblink::ReaderLink& link, tblink::Pacer& pacer, const NotFoundProbe& probe, char start,
             int settingsIndex) {
    return tblink::ProbePort(link, pacer, probe.port, settingsIndex,
                             tblink::kLineSettingsTexts[settingsIndex], ProbeText(start, probe.id),
                             {})
        .has_value();
}

}  // namespace

std::uint64_t HistoryMark(const tblink::ReaderLink& link) {
    const tblink::FrameHistory& history = link.History();
    return history.Size() == 0 ? 0 : history.At(history.Size() - 1).sequence;
}

int ChecksumReplies(const tblink::ReaderLink& link, std::uint64_t after) {
    int count = 0;
    const tblink::FrameHistory& history = link.History();
    for (std::size_t i = history.Size(); i-- > 0 && history.At(i).sequence > after;) {
        const tblink::HistoryEntry& entry = history.At(i);
        if (entry.event == tblink::HistoryEvent::Exchange &&
            entry.result == tblink::TransactResult::ChecksumError)
            ++count;
    }
    return count;
}

NotFoundCause WhyNotFound(tblink::ReaderLink& link, tblink::Pacer& pacer,
                          const NotFoundProbe& probe) {
    NotFoundCause cause;
    if (const int count = ChecksumReplies(link, probe.since); count > 0) {
        cause.kind = NotFoundCause::Kind::Checksum;
        cause.count = count;
        return cause;
    }
    const char own = Info(probe.type).startCharacter;
    std::string tried(1, own);
    for (const ReaderTypeInfo& info : ReaderTypes()) {
        if (tried.find(info.startCharacter) != std::string::npos) continue;
        tried += info.startCharacter;
        if (Answers(link, pacer, probe, info.startCharacter, probe.settingsIndex)) {
            cause.kind = NotFoundCause::Kind::OtherType;
            cause.type = info.type;
            return cause;
        }
    }
    if (!probe.otherSettings) return cause;
    for (int j = kFirstFastSettings; j < tblink::kLineSettingsCount; ++j) {
        if (j == probe.settingsIndex) continue;
        if (Answers(link, pacer, probe, own, j)) {
            cause.kind = NotFoundCause::Kind::FastLine;
            cause.settingsIndex = j;
            return cause;
        }
    }
    return cause;
}

}  // namespace commands
