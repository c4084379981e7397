#include "commands/config/ReadOut.h"

#include "link/ReplyFields.h"

namespace commands {
namespace {

constexpr int kVersionReplyLength = 24;
constexpr int kOutputReplyWithCardType = 12;
constexpr int kReadOutPauseMs = 50;

std::optional<int> ListIndex(const std::string& reply, int position, int count) {
    const auto index = tblink::DecimalField(reply, position, 1);
    if (!index || *index >= count) return std::nullopt;
    return index;
}

// One field into `slot`; false when it is not a number of its list.
bool Take(std::optional<int>& slot, std::optional<int> value) {
    if (!value) return false;
    slot = value;
    return true;
}

// Each read-out command: a plain pause, the exchange, then the window may paint.
bool Exchange(const Session& session, const char* command) {
    session.pacer.PausePlain(kReadOutPauseMs);
    const bool ok = session.Send(command);
    session.pacer.Pump();
    return ok;
}

bool ReadKeypad(const Session& session, ReadOutValues& values) {
    if (Exchange(session, "L") && !Take(values.keyNumber, DecodeKeyNumber(session.Reply())))
        return false;
    if (!Exchange(session, "M")) {
        values.keyParity = 1;  // "With Parity"
        return true;
    }
    return Take(values.keyParity, DecodeKeyParity(session.Reply()));
}

bool ReadKeyStatus(const Session& session, ReadOutValues& values) {
    if (!Exchange(session, "N")) {
        const KeyStatus fallback;
        values.keyStatusNumber = fallback.keyNumber;
        values.keyDelaySeconds = fallback.delaySeconds;
        return true;
    }
    const std::string& reply = session.Reply();
    return Take(values.keyStatusNumber, tblink::DecimalField(reply, 6, 2)) &&
           Take(values.keyDelaySeconds, tblink::DecimalField(reply, 8, 2));
}

bool ReadCardIdLocation(const Session& session, ReadOutValues& values) {
    if (Exchange(session, "a")) return DecodeCardIdLocation(session.Reply(), values);
    const CardIdLocation fallback;
    values.idSector = fallback.sector;
    values.idBlock = fallback.block;
    values.idByte = fallback.byte;
    values.idKeyB = fallback.keyB;
    values.idKeyError = fallback.keyError;
    return true;
}

bool ReadPage(const Session& session, const ReadOutPlan& plan, ReadOutValues& values) {
    if (!Exchange(session, "A")) return false;
    if (!DecodeOutputReply(session.Reply(), session.ReplyLength(), plan, values)) return false;
    if (plan.keypad && !ReadKeypad(session, values)) return false;
    if (plan.keyStatus && !ReadKeyStatus(session, values)) return false;
    if (plan.cardIdLocation && !ReadCardIdLocation(session, values)) return false;
    return true;
}

}  // namespace

std::string VersionText(const std::string& reply, int replyLength) {
    return tblink::ReplyField(reply, 6, replyLength == kVersionReplyLength ? 16 : 8);
}

bool DecodeOutputReply(const std::string& reply, int replyLength, const ReadOutPlan& plan,
                       ReadOutValues& values) {
    // On the lenient page a field that is not an item of its list gives the delivery item.
    const auto field = [&](int position, int count, int fallback) -> std::optional<int> {
        const auto index = ListIndex(reply, position, count);
        return index || !plan.lenientOutput ? index : fallback;
    };
    const InterfaceSettings delivered;
    if (!Take(values.mode, field(6, kModeCount, delivered.mode)) ||
        !Take(values.wiegand, field(7, kWiegandCount, delivered.wiegand)) ||
        !Take(values.rs485, field(8, kRs485Count, delivered.rs485)))
        return false;
    if (!plan.cardType) return true;  // character 9 is not this page's business
    if (replyLength != kOutputReplyWithCardType) {
        values.cardType = 0;  // "EM"
        return true;
    }
    return Take(values.cardType, ListIndex(reply, 9, kCardTypeCount));
}

bool DecodeCardIdLocation(const std::string& reply, ReadOutValues& values) {
    if (!Take(values.idSector, tblink::HexField(reply, 8, 2)) ||
        !Take(values.idBlock, tblink::HexField(reply, 10, 2)) ||
        !Take(values.idByte, tblink::HexField(reply, 12, 2)))
        return false;
    const auto keyType = tblink::HexField(reply, 14, 2);
    if (!keyType) return false;
    values.idKeyB = *keyType != 0;
    const auto keyError = tblink::HexField(reply, 16, 2);
    return Take(values.idKeyError,
                keyError && *keyError < kKeyErrorCount ? keyError : std::nullopt);
}

std::optional<int> DecodeKeyNumber(const std::string& reply) {
    return tblink::DecimalField(reply, 6, 2);
}

std::optional<int> DecodeKeyParity(const std::string& reply) {
    return ListIndex(reply, 6, kKeyParityCount);
}

std::optional<KeyStatus> DecodeKeyStatus(const std::string& reply) {
    const auto number = tblink::DecimalField(reply, 6, 2);
    const auto delay = tblink::DecimalField(reply, 8, 2);
    if (!number || !delay) return std::nullopt;
    return KeyStatus{*number, *delay};
}

ReadOutValues ReadOut(const Session& session, const std::optional<ReadOutPlan>& plan,
                      const std::function<void(const std::string&)>& versionRead) {
    ReadOutValues values;
    const bool answered = Attempts(session.pacer, kUsualAttempts, AttemptPause::KeptAlive100ms,
                                   [&] { return session.Send("V"); });
    if (!answered) return values;
    values.version = VersionText(session.Reply(), session.ReplyLength());
    if (versionRead) versionRead(*values.version);
    session.pacer.Pump();
    values.complete = !plan || ReadPage(session, *plan, values);
    return values;
}

std::optional<std::string> FoundReaderId(const std::string& reply) {
    const auto id = tblink::DecimalField(reply, 3, 2);
    if (!id || *id < 1 || *id > 99) return std::nullopt;
    return tblink::ReplyField(reply, 3, 2);
}

FoundReadOut ReadOutAfterFind(tblink::ReaderLink& link, tblink::Pacer& pacer,
                              const tblink::FoundReader& found, char startCharacter,
                              const std::optional<ReadOutPlan>& plan,
                              const std::function<void(const FoundReadOut&)>& replyRead,
                              const std::function<void(const std::string&)>& versionRead) {
    FoundReadOut result;
    result.serial = tblink::ReplyField(found.reply, 6, 8);
    result.id = FoundReaderId(found.reply);
    if (replyRead) replyRead(result);
    if (!result.id) return result;
    result.portOpened = link.OpenPort(found.port, found.lineSettings);
    if (!result.portOpened) return result;
    const Session session{link, pacer, startCharacter + *result.id};
    result.values = ReadOut(session, plan, versionRead);
    link.ClosePort();
    return result;
}

}  // namespace commands
