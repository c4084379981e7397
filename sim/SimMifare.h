// MIFARE Classic cards in the field of a simulated "-M" reader, and the reader's MIFARE commands.
//
// A card holds 16-byte blocks (64 on a 1K card, 256 on a 4K card); block 0 is the maker's and
// never changes; every sector ends in a trailer of Key A, access bits with a user byte, and
// Key B. The card keeps to the published MIFARE Classic access conditions: a wrong key fails,
// an operation the conditions forbid fails, Key A never reads back, Key B reads back only where
// the conditions allow it (and then it cannot open the sector), a new trailer rules what later
// commands may do, and access bits whose inverted copies disagree leave the sector unusable.
//
// The reader keeps a Key A and a Key B per sector in its EEPROM ("d60"/"d61" store one;
// "e60"/"e61" make one the key of the next block commands) and holds the key "f" gives.
// Replies: characters 6-7 are a status, "00" when the command did what it was asked; block
// commands add the block's 32 hexadecimal characters (zeros after a failure), 42 bytes in all;
// the others are 10 bytes. This card model is its own, written apart from the program's access
// tables, so that a mistake in one shows up against the other.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tbsim {

using MifareKey = std::array<std::uint8_t, 6>;
using MifareBlock = std::array<std::uint8_t, 16>;
using MifareUid = std::array<std::uint8_t, 4>;

constexpr int kMifareSectors = 40;  // what the reader's EEPROM and commands can name
constexpr MifareKey kTransportKey{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};

enum class MifareSize { Classic1K, Classic4K };

struct MifareCard {
    MifareSize size = MifareSize::Classic1K;
    MifareUid uid{};
    std::vector<MifareBlock> blocks;  // by the card's block number
};

// A card as delivered: block 0 the UID, its check byte and the maker's bytes; every trailer the
// transport key in both places and the access bits FF 07 80 with the user byte 69 (data blocks
// open to either key, the trailer managed with Key A); every other block zero.
MifareCard MakeMifareCard(MifareSize size, const MifareUid& uid);
// "1k" or "4k" (any case) and 8 hexadecimal digits (any case); nullopt for anything else.
std::optional<MifareCard> MifareCardFromText(const std::string& size, const std::string& uid);
constexpr const char* kDefaultMifareUid = "5A6B7C8D";
// "MIFARE 1K 5A6B7C8D".
std::string MifareCardName(const MifareCard& card);
// The card's sector count (16 or 40) and where a sector's blocks lie: the card block of its
// first block and how many it has (4, or 16 from sector 32 on).
int MifareSectorCount(const MifareCard& card);
int MifareFirstBlock(int sector);
int MifareBlocksInSector(int sector);

// Reply status, characters 6-7 of every MIFARE reply but "a". The program reads only "00"; the
// others tell a person reading the log why.
enum class MifareStatus {
    Ok = 0,
    NoCard = 1,        // no card in the field
    AuthFailed = 2,    // no key given, a wrong key, or a sector made unusable by bad access bits
    Forbidden = 3,     // the access conditions do not allow it with this key, or block 0
    BadParameter = 4,  // a key, sector, block or data text not of its form, or not on the card
};

struct MifareState {
    MifareState();

    std::optional<MifareCard> card;  // in the reader's field
    // [sector][0 Key A, 1 Key B]; delivered with the transport key everywhere.
    std::array<std::array<MifareKey, 2>, kMifareSectors> eepromKeys;
    // The key of the next "h" and "i" without a key of their own, from "f" or "e"; none at first.
    std::optional<MifareKey> loadedKey;
};

// The command handlers, given the parameters after the letter. They return the reply's data
// field, or nullopt when the text is none of the reader's commands ("h62", say).
std::optional<std::string> MifareStoreKey(MifareState& state, const std::string& params);  // d
std::optional<std::string> MifareUseStoredKey(MifareState& state,
                                              const std::string& params);                   // e
std::optional<std::string> MifareLoadKey(MifareState& state, const std::string& params);    // f
std::optional<std::string> MifareReadBlock(MifareState& state, const std::string& params);  // h
// "i": "60"/"61" + block + 32 data characters with the key of "f" or "e", or "60"/"61" + key +
// block + 32 data characters with the key given (how a new sector trailer is written).
std::optional<std::string> MifareWriteBlock(MifareState& state, const std::string& params);

}  // namespace tbsim
