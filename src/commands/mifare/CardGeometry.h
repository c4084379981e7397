// MIFARE card functions: where things lie on a MIFARE Classic card, the access conditions of its
// sectors (AccessBits.h), and the reader commands of the card-ID location, the EEPROM keys, the
// sector trailer and the block test (MifareCommands.h). Plain C++, no widgets.
//
// A card has up to 40 sectors: 0 to 31 of 4 blocks each (all a 1K card has, up to 15), and on a
// 4K card 32 to 39 of 16 blocks each. The last block of a sector is its trailer. Commands name a
// block by its number on the card, 0 to 255, as two upper-case hexadecimal digits.
#pragma once

#include <optional>
#include <string>

namespace commands::mifare {

// Which of a sector's two keys a command authenticates with, or which one it stores; commands
// carry it as the last digit of "d60"/"d61", "e60"/"e61", "h60"/"h61", "i60"/"i61".
enum class KeySlot { A, B };

constexpr int kSectorCount = 40;
constexpr int kSmallSectorCount = 32;  // sectors 0-31
constexpr int kSmallSectorBlocks = 4;
constexpr int kLargeSectorBlocks = 16;
constexpr int kCardBlockCount = kSmallSectorCount * kSmallSectorBlocks +
                                (kSectorCount - kSmallSectorCount) * kLargeSectorBlocks;

bool IsSector(int sector);
// 4 for sectors 0-31, 16 for 32-39; 0 for a number that is no sector.
int BlocksInSector(int sector);
bool IsBlockOfSector(int sector, int block);
// The trailer's position within its sector (3 or 15); nullopt for a number that is no sector.
std::optional<int> TrailerBlock(int sector);

// The card's own number of (sector, block within it): sector * 4 + block below sector 32,
// 128 + (sector - 32) * 16 + block from 32 on. nullopt when the pair is not on a card.
std::optional<int> CardBlock(int sector, int block);
std::optional<int> TrailerCardBlock(int sector);

// "%02X" of 0-255: how sectors and card blocks travel in commands (sector 39 is "27").
std::string HexByteText(int value);

}  // namespace commands::mifare
