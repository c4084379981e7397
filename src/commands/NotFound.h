// What was seen when no reader answered the probe: a reader to tell the user about instead of a
// bare "Reader not find". Replies with a wrong checksum are counted from the link's history; a
// reader of another type answers its own start character; a reader at 230400, which the scan's
// walk never tries, answers only there. The window and tagbench-cli word it each their own way.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "commands/ReaderTypes.h"
#include "link/Pacer.h"
#include "link/ReaderLink.h"

namespace commands {

struct NotFoundCause {
    enum class Kind {
        Nothing,    // nothing answered: the line is silent whatever was tried
        Checksum,   // `count` replies came with a wrong checksum
        OtherType,  // a reader answered the start character of `type`
        FastLine,   // a reader answered at line settings `settingsIndex` (230400)
    };
    Kind kind = Kind::Nothing;
    int count = 0;
    ReaderType type = ReaderType::PX10;
    int settingsIndex = 0;
};

// Replies with a wrong checksum among the link's exchanges after history entry `after`.
int ChecksumReplies(const tblink::ReaderLink& link, std::uint64_t after);
// The link's last history sequence number: where a later count starts.
std::uint64_t HistoryMark(const tblink::ReaderLink& link);

struct NotFoundProbe {
    int port = 0;
    int settingsIndex = 0;  // where the probe went unanswered
    ReaderType type = ReaderType::PX10;
    std::optional<std::string> id;  // the link probe's ID; none: the scan's probe to ID 00
    std::uint64_t since = 0;        // the history mark before the probe
    bool otherSettings = true;      // also try 230400 when it was not the one probed
};

// After the probe found nobody: the checksum replies it got, else the first type whose start
// character a reader answers at those settings (one type a start character, in type order),
// else a reader at 230400. The port is closed on entry and return; each try is the Link's 3
// probes.
NotFoundCause WhyNotFound(tblink::ReaderLink& link, tblink::Pacer& pacer,
                          const NotFoundProbe& probe);

}  // namespace commands
