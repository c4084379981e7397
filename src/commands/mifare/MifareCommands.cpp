#include "commands/mifare/MifareCommands.h"

#include "link/ReplyFields.h"

namespace commands::mifare {
namespace {

constexpr const char* kStatusOk = "00";

bool TwoAttempts(const Session& session, const std::function<bool()>& attempt) {
    return Attempts(session.pacer, kUsualAttempts, AttemptPause::KeptAlive100ms, attempt);
}

bool StatusOk(const std::string& reply) { return tblink::ReplyField(reply, 6, 2) == kStatusOk; }

std::string SlotCommand(char letter, KeySlot slot) { return {letter, '6', KeySlotDigit(slot)}; }

// The reader check, then each command in turn; every one must get a verified reply, and the
// last one's reply must pass `lastOk`.
bool CheckedSequence(const Session& session, const std::vector<std::string>& commands,
                     const std::function<bool()>& lastOk) {
    if (!ReaderCheck(session)) return false;
    for (const auto& command : commands) {
        if (!session.Send(command)) return false;
    }
    return lastOk();
}

}  // namespace

char KeySlotDigit(KeySlot slot) { return slot == KeySlot::A ? '0' : '1'; }

std::optional<std::string> CardIdLocationRecord(const CardIdLocation& location) {
    if (!IsSector(location.sector) || location.block < 0 || location.block >= kIdBlockCount ||
        location.byte < 0 || location.byte >= kIdByteCount || location.keyError < 0 ||
        location.keyError >= kKeyErrorCount) {
        return std::nullopt;
    }
    return HexByteText(location.sector) + HexByteText(location.block) + HexByteText(location.byte) +
           (location.keyB ? "01" : "00") + HexByteText(location.keyError);
}

bool SetCardIdLocation(const Session& session, const CardIdLocation& location) {
    const auto record = CardIdLocationRecord(location);
    if (!record) return false;
    return TwoAttempts(session, [&] { return CheckedCommand(session, "a" + *record); });
}

std::string StoreKeyCommand(int sector, KeySlot slot, const std::string& key) {
    return SlotCommand('d', slot) + HexByteText(sector) + key;
}

bool IsKeyStoredReply(const std::string& reply, int replyLength) {
    return replyLength == kStatusReplyLength && StatusOk(reply);
}

bool WriteKeyToEeprom(const Session& session, int sector, KeySlot slot, const std::string& key) {
    const std::string command = StoreKeyCommand(sector, slot, key);
    return TwoAttempts(session, [&] {
        return CheckedCommand(session, command) &&
               IsKeyStoredReply(session.Reply(), session.ReplyLength());
    });
}

std::optional<std::string> WriteTrailerCommand(const SectorTrailerWrite& write) {
    const auto block = TrailerCardBlock(write.sector);
    if (!block) return std::nullopt;
    return SlotCommand('i', write.oldKeySlot) + write.oldKey + HexByteText(*block) + write.keyA +
           write.accessBits + write.keyB;
}

bool WriteSectorTrailer(const Session& session, const SectorTrailerWrite& write) {
    const auto command = WriteTrailerCommand(write);
    if (!command) return false;
    return TwoAttempts(session, [&] {
        return CheckedCommand(session, *command) &&
               IsBlockReplyOk(session.Reply(), session.ReplyLength());
    });
}

bool IsBlockReplyOk(const std::string& reply, int replyLength) {
    return replyLength == kBlockReplyLength && StatusOk(reply);
}

std::optional<std::string> BlockReplyData(const std::string& reply, int replyLength) {
    if (!IsBlockReplyOk(reply, replyLength)) return std::nullopt;
    // The reply text ends at a 0 byte: a 42-byte reply cut short there holds no whole block.
    std::string data = tblink::ReplyField(reply, 8, kBlockDataLength);
    if (data.size() != static_cast<std::size_t>(kBlockDataLength)) return std::nullopt;
    return data;
}

std::string LoadKeyCommand(const std::string& key) { return "f" + key; }

std::string UseStoredKeyCommand(int sector, KeySlot slot) {
    return SlotCommand('e', slot) + HexByteText(sector);
}

std::string ReadBlockCommand(int cardBlock, KeySlot slot) {
    return SlotCommand('h', slot) + HexByteText(cardBlock);
}

std::string WriteBlockCommand(int cardBlock, KeySlot slot, const std::string& data) {
    return SlotCommand('i', slot) + HexByteText(cardBlock) + data;
}

std::vector<std::string> ReadBlockCommands(const BlockRead& read) {
    const auto block = CardBlock(read.sector, read.block);
    if (!block) return {};
    // The stored key is named by its sector, never by the block.
    return {read.storedKey ? UseStoredKeyCommand(read.sector, read.slot)
                           : LoadKeyCommand(read.typedKey),
            ReadBlockCommand(*block, read.slot)};
}

std::vector<std::string> WriteBlockCommands(const BlockWrite& write) {
    const auto block = CardBlock(write.sector, write.block);
    if (!block) return {};
    return {LoadKeyCommand(write.typedKey), WriteBlockCommand(*block, write.slot, write.data)};
}

std::optional<std::string> ReadBlock(const Session& session, const BlockRead& read) {
    const auto commands = ReadBlockCommands(read);
    if (commands.empty()) return std::nullopt;
    std::optional<std::string> data;
    TwoAttempts(session, [&] {
        return CheckedSequence(session, commands, [&] {
            data = BlockReplyData(session.Reply(), session.ReplyLength());
            return data.has_value();
        });
    });
    return data;
}

bool WriteBlock(const Session& session, const BlockWrite& write) {
    const auto commands = WriteBlockCommands(write);
    if (commands.empty()) return false;
    return TwoAttempts(session, [&] {
        return CheckedSequence(session, commands, [&] {
            return BlockReplyData(session.Reply(), session.ReplyLength()) == write.data;
        });
    });
}

}  // namespace commands::mifare
