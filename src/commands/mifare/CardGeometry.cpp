#include "commands/mifare/CardGeometry.h"

#include <cstdio>

namespace commands::mifare {

bool IsSector(int sector) { return sector >= 0 && sector < kSectorCount; }

int BlocksInSector(int sector) {
    if (!IsSector(sector)) return 0;
    return sector < kSmallSectorCount ? kSmallSectorBlocks : kLargeSectorBlocks;
}

bool IsBlockOfSector(int sector, int block) { return block >= 0 && block < BlocksInSector(sector); }

std::optional<int> TrailerBlock(int sector) {
    if (!IsSector(sector)) return std::nullopt;
    return BlocksInSector(sector) - 1;
}

std::optional<int> CardBlock(int sector, int block) {
    if (!IsBlockOfSector(sector, block)) return std::nullopt;
    if (sector < kSmallSectorCount) return sector * kSmallSectorBlocks + block;
    return kSmallSectorCount * kSmallSectorBlocks +
           (sector - kSmallSectorCount) * kLargeSectorBlocks + block;
}

std::optional<int> TrailerCardBlock(int sector) {
    const auto trailer = TrailerBlock(sector);
    if (!trailer) return std::nullopt;
    return CardBlock(sector, *trailer);
}

std::string HexByteText(int value) {
    char text[8];
    std::snprintf(text, sizeof text, "%02X", static_cast<unsigned>(value) & 0xFFu);
    return text;
}

}  // namespace commands::mifare
