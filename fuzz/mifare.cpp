// MIFARE replies: the key-stored and block replies on a reply text, and the card commands run
// through the link against replies from the input.
#include <cstdint>
#include <string>

#include "FuzzReader.h"
#include "commands/mifare/MifareCommands.h"

namespace {

using commands::mifare::KeySlot;
using fuzz::Check;

bool IsUpperHex(const std::string& text) {
    return text.find_first_not_of("0123456789ABCDEF") == std::string::npos;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Input in(data, size);
    const int which = in.below(5);
    const KeySlot slot = in.flag() ? KeySlot::B : KeySlot::A;
    const int sector = in.below(44) - 2;
    const int block = in.below(20) - 2;
    if (which == 0) {
        const int replyLength = in.below(64);
        const std::string reply = in.rest();
        (void)commands::mifare::IsKeyStoredReply(reply, replyLength);
        const bool ok = commands::mifare::IsBlockReplyOk(reply, replyLength);
        const auto blockData = commands::mifare::BlockReplyData(reply, replyLength);
        Check(!blockData || (ok && blockData->size() == static_cast<std::size_t>(
                                                            commands::mifare::kBlockDataLength)),
              "block data only from a good 42-byte reply");
        return 0;
    }
    fuzz::Reader reader(in, "P01");
    const commands::Session& session = reader.session;
    switch (which) {
        case 1: {
            commands::mifare::BlockRead read;
            read.sector = sector;
            read.block = block;
            read.slot = slot;
            read.storedKey = in.flag();
            read.typedKey = in.text();
            if (const auto got = commands::mifare::ReadBlock(session, read))
                Check(got->size() == 32, "a block read gives 16 bytes");
            break;
        }
        case 2: {
            commands::mifare::BlockWrite write;
            write.sector = sector;
            write.block = block;
            write.slot = slot;
            write.data = in.text();
            if (commands::mifare::WriteBlock(session, write))
                Check(write.data.size() == 32, "a write succeeds only with 32 characters");
            break;
        }
        case 3: {
            commands::CardIdLocation location;
            location.sector = sector;
            location.block = block;
            location.byte = in.below(40) - 2;
            location.keyB = slot == KeySlot::B;
            location.keyError = in.below(6) - 1;
            const auto record = commands::mifare::CardIdLocationRecord(location);
            Check(!record || (record->size() == 10 && IsUpperHex(*record)), "record shape");
            (void)commands::mifare::SetCardIdLocation(session, location);
            (void)commands::mifare::WriteKeyToEeprom(session, sector, slot, in.text());
            break;
        }
        case 4: {
            commands::mifare::SectorTrailerWrite write;
            write.sector = sector;
            write.oldKeySlot = slot;
            write.accessBits = in.text();
            (void)commands::mifare::WriteSectorTrailer(session, write);
            break;
        }
    }
    return 0;
}
