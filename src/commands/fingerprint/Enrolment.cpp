#include "commands/fingerprint/Enrolment.h"

#include "link/ReplyFields.h"

namespace commands::fingerprint {
namespace {

// The ID in the "O" reply: after the character at 6, before the checksum and the CR; nothing
// shorter than 25 bytes holds all of it.
constexpr int kIdPosition = 7;
constexpr std::size_t kWholeIdReply = 25;

bool Checked(const Session& session, const std::string& command) {
    return Attempts(session.pacer, kUsualAttempts, AttemptPause::Plain50ms,
                    [&] { return CheckedCommand(session, command); });
}

}  // namespace

std::string TrimBlanks(const std::string& text) {
    const auto blank = [](char c) { return static_cast<unsigned char>(c) <= 0x20; };
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && blank(text[begin])) ++begin;
    while (end > begin && blank(text[end - 1])) --end;
    return text.substr(begin, end - begin);
}

bool SetFacilityCode(const Session& session, const std::string& facilityCode) {
    return Checked(session, "K" + facilityCode);
}

bool AddFingerprint(const Session& session, const std::string& fingerNumber) {
    return Checked(session, "M" + fingerNumber);
}

bool DeleteFingerprint(const Session& session, const std::string& fingerNumber) {
    return Checked(session, "N" + fingerNumber);
}

std::optional<std::string> GetFingerprintId(const Session& session,
                                            const std::string& fingerNumber) {
    std::optional<std::string> id;
    Attempts(session.pacer, kUsualAttempts, AttemptPause::Plain50ms, [&] {
        if (!CheckedCommand(session, "O" + fingerNumber)) return false;
        if (session.Reply().size() < kWholeIdReply) return false;
        id = tblink::ReverseHexBytes(
            tblink::ReplyField(session.Reply(), kIdPosition, kFingerprintIdLength));
        return true;
    });
    return id;
}

std::string SetFingerprintIdCommand(const std::string& fingerNumber, const std::string& id) {
    return "O" + fingerNumber + "0" + tblink::ReverseHexBytes(TrimBlanks(id));
}

bool SetFingerprintId(const Session& session, const std::string& fingerNumber,
                      const std::string& id) {
    return Checked(session, SetFingerprintIdCommand(fingerNumber, id));
}

bool SetScanMode(const Session& session, int mode) {
    return Checked(session, "r" + std::to_string(mode));
}

}  // namespace commands::fingerprint
