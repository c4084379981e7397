// A slot's template: three parts of 256 characters, which the window carries between the reader
// and its edit boxes without reading them. Every transfer is bracketed by "L0" (which must be
// answered with an empty reply, 8 bytes) and "L1" (sent once the third part has gone through,
// its answer not looked at). Two attempts, each after a plain 50 ms pause; a failed step ends
// the attempt, and the next one starts again with "L0".
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>

#include "commands/Session.h"

namespace commands::fingerprint {

constexpr int kTemplateParts = 3;
constexpr std::size_t kTemplatePartLength = 256;
using TemplateParts = std::array<std::string, kTemplateParts>;

struct TemplateGet {
    bool ok = false;
    // Each part as last received, in whichever attempt; nullopt when it never came. A get that
    // fails part-way still hands on the parts it received.
    std::array<std::optional<std::string>, kTemplateParts> parts;
};

// "L0"; "P" + finger number + "0" (its answer not used); 50 ms; "P" + finger number + "1",
// "2", "3", each answered with the part at characters 6 to 261; "L1". A reply too short to hold
// all 256 characters fails its step: the part is not taken.
TemplateGet GetTemplate(const Session& session, const std::string& fingerNumber);

enum class TemplatePut {
    Written,
    Failed,       // no attempt got through
    EmptyPart,    // refused, nothing sent: "P" + slot + part alone would read the part instead
    PartTooLong,  // refused, nothing sent: a command would not fit in a frame
    SplitsFrame,  // refused, nothing sent: a TAB would open a new frame, a CR end this one
};

// The first part that cannot go out behind a command prefix of `prefixLength` characters, and
// why (counted from 0); Written when every part can.
struct TemplatePartCheck {
    TemplatePut problem = TemplatePut::Written;
    int part = 0;
};
TemplatePartCheck CheckTemplateParts(const TemplateParts& parts, std::size_t prefixLength);

// "L0"; "P" + finger number + "1", "2", "3", each followed by its part trimmed of blanks and
// control characters at its ends and otherwise sent as it stands (no padding, no cutting);
// "L1". Every part is checked before anything is sent.
TemplatePut PutTemplate(const Session& session, const std::string& fingerNumber,
                        const TemplateParts& parts);

}  // namespace commands::fingerprint
