#include "commands/fingerprint/Templates.h"

#include "commands/fingerprint/Enrolment.h"
#include "link/Frame.h"
#include "link/ReplyFields.h"

namespace commands::fingerprint {
namespace {

constexpr int kPartPosition = 6;
// The part, two checksum characters and the CR after the five characters in front of it.
constexpr std::size_t kWholePartReply = 5 + kTemplatePartLength + 3;
// The reader answers "L0" with no data at all.
constexpr int kTransferOpenReply = 8;
constexpr int kBeforePartsMs = 50;

bool OpenTransfer(const Session& session) {
    return session.Send("L0") && session.ReplyLength() == kTransferOpenReply;
}

std::string PartCommand(const std::string& fingerNumber, int part) {
    return "P" + fingerNumber + std::to_string(part + 1);
}

}  // namespace

TemplateGet GetTemplate(const Session& session, const std::string& fingerNumber) {
    TemplateGet got;
    got.ok = Attempts(session.pacer, kUsualAttempts, AttemptPause::Plain50ms, [&] {
        if (!OpenTransfer(session) || !session.Send("P" + fingerNumber + "0")) return false;
        session.pacer.PausePlain(kBeforePartsMs);
        for (int part = 0; part < kTemplateParts; ++part) {
            if (!session.Send(PartCommand(fingerNumber, part)) ||
                session.Reply().size() < kWholePartReply)
                return false;
            got.parts[static_cast<std::size_t>(part)] =
                tblink::ReplyField(session.Reply(), kPartPosition, kTemplatePartLength);
        }
        session.Send("L1");
        return true;
    });
    return got;
}

TemplatePartCheck CheckTemplateParts(const TemplateParts& parts, std::size_t prefixLength) {
    // The finger number is always six digits.
    const std::size_t command = prefixLength + PartCommand("000000", 0).size();
    for (int part = 0; part < kTemplateParts; ++part) {
        const std::string text = TrimBlanks(parts[static_cast<std::size_t>(part)]);
        if (text.empty()) return {TemplatePut::EmptyPart, part};
        if (text.find_first_of("\t\r") != std::string::npos)
            return {TemplatePut::SplitsFrame, part};
        if (command + text.size() > tblink::kMaxCommandLength)
            return {TemplatePut::PartTooLong, part};
    }
    return {};
}

TemplatePut PutTemplate(const Session& session, const std::string& fingerNumber,
                        const TemplateParts& parts) {
    if (const auto check = CheckTemplateParts(parts, session.prefix.size());
        check.problem != TemplatePut::Written)
        return check.problem;
    std::array<std::string, kTemplateParts> commands;
    for (int part = 0; part < kTemplateParts; ++part) {
        commands[static_cast<std::size_t>(part)] =
            PartCommand(fingerNumber, part) + TrimBlanks(parts[static_cast<std::size_t>(part)]);
    }
    const bool written = Attempts(session.pacer, kUsualAttempts, AttemptPause::Plain50ms, [&] {
        if (!OpenTransfer(session)) return false;
        for (const std::string& command : commands) {
            if (!session.Send(command)) return false;
        }
        session.Send("L1");
        return true;
    });
    return written ? TemplatePut::Written : TemplatePut::Failed;
}

}  // namespace commands::fingerprint
