// The MIFARE reader commands: where the reader takes the card ID from ("a"), a key kept in the
// reader's EEPROM ("d60"/"d61"), a new sector trailer ("i60"/"i61" with the old key), and the
// block test ("f" or "e60"/"e61" to give the key, then "h60"/"h61" to read or "i60"/"i61" to
// write). Each command makes two attempts after kept-alive pauses, each attempt opening with the
// reader check. Keys, access bits and data go out exactly as typed: the reader's reply decides.
//
// The command texts are also built by pure functions, so they can be checked without a reader.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "commands/Session.h"
#include "commands/config/ReadOut.h"
#include "commands/mifare/CardGeometry.h"

namespace commands::mifare {

// "0" for Key A, "1" for Key B: the last character of the three-character commands.
char KeySlotDigit(KeySlot slot);

// --- Card-ID location ------------------------------------------------------------------------
constexpr int kIdBlockCount = 4;  // the ID block is 0-3 in every sector
constexpr int kIdByteCount = 32;

// The record of "a": sector, block, start byte, key ("00" A, "01" B) and key-error signal,
// "%02X" each. nullopt when a value lies outside its control's range (a key-error list without
// a selection, say): such a record is refused, not repaired.
std::optional<std::string> CardIdLocationRecord(const CardIdLocation& location);
// Sends "a" + the record; any verified reply counts. False without sending for a refused record.
bool SetCardIdLocation(const Session& session, const CardIdLocation& location);

// --- Key to reader EEPROM --------------------------------------------------------------------
// "d60"/"d61" + the sector as "%02X" + the key text.
std::string StoreKeyCommand(int sector, KeySlot slot, const std::string& key);
// Stored: a 10-byte reply whose status (characters 6-7) is "00".
constexpr int kStatusReplyLength = 10;
bool IsKeyStoredReply(const std::string& reply, int replyLength);
bool WriteKeyToEeprom(const Session& session, int sector, KeySlot slot, const std::string& key);

// --- Sector trailer --------------------------------------------------------------------------
struct SectorTrailerWrite {
    int sector = 1;
    KeySlot oldKeySlot = KeySlot::A;  // the key that opens the sector now
    std::string oldKey = "FFFFFFFFFFFF";
    std::string keyA = "FFFFFFFFFFFF";
    std::string accessBits = "FF0780AA";
    std::string keyB = "FFFFFFFFFFFF";
};
// "i60"/"i61" + old key + the trailer's card block + Key A + access bits + Key B; nullopt for a
// sector that is not 0-39.
std::optional<std::string> WriteTrailerCommand(const SectorTrailerWrite& write);
bool WriteSectorTrailer(const Session& session, const SectorTrailerWrite& write);

// A block command's reply counts only at 42 bytes with status "00" (characters 6-7); the block's
// 16 bytes are then characters 8-39 (none when a 0 byte cuts the reply text short).
constexpr int kBlockReplyLength = 42;
constexpr int kBlockDataLength = 32;
bool IsBlockReplyOk(const std::string& reply, int replyLength);
std::optional<std::string> BlockReplyData(const std::string& reply, int replyLength);

// --- Block read/write test -------------------------------------------------------------------
std::string LoadKeyCommand(const std::string& key);         // "f" + key
std::string UseStoredKeyCommand(int sector, KeySlot slot);  // "e60"/"e61" + "%02X" sector
std::string ReadBlockCommand(int cardBlock, KeySlot slot);  // "h60"/"h61" + "%02X" block
std::string WriteBlockCommand(int cardBlock, KeySlot slot, const std::string& data);

struct BlockRead {
    int sector = 1;
    int block = 0;  // within the sector
    KeySlot slot = KeySlot::A;
    bool storedKey = false;  // the key the reader keeps for the sector instead of the typed one
    std::string typedKey = "FFFFFFFFFFFF";
};
struct BlockWrite {
    int sector = 1;
    int block = 0;
    KeySlot slot = KeySlot::A;
    std::string typedKey = "FFFFFFFFFFFF";  // a write always loads the typed key
    std::string data = "FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF";
};

// The two commands after the reader check: the key, then the block. Empty when the block is not
// on a card.
std::vector<std::string> ReadBlockCommands(const BlockRead& read);
std::vector<std::string> WriteBlockCommands(const BlockWrite& write);

// The block's 32 hexadecimal characters, or nullopt after two failed attempts.
std::optional<std::string> ReadBlock(const Session& session, const BlockRead& read);
// True when the reader echoed exactly the data sent; a data text of other than 32 characters
// therefore never succeeds.
bool WriteBlock(const Session& session, const BlockWrite& write);

}  // namespace commands::mifare
