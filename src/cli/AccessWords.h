// Access conditions in words, as `tagbench-cli access-bits` prints them: for each part of a
// sector (data blocks 0, 1, 2 and the trailer) its bits C1C2C3 and what each key may do.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "commands/mifare/AccessBits.h"

namespace cli {

struct Right {
    const char* key;    // JSON member: "read", "keyAWrite"
    const char* words;  // "read", "key A write"
    commands::mifare::Keys keys;
};

struct PartRights {
    std::string part;  // "block 0" ... "trailer"
    std::string bits;  // "001"
    std::vector<Right> rights;
};

// "A", "B", "A/B" or "never".
std::string KeysWord(commands::mifare::Keys keys);

std::array<PartRights, 4> DescribeConditions(const commands::mifare::SectorConditions& conditions);

// "read A/B, write never, ..."; the trailer's by key: "key A read never, write A; access bits
// read A, write A; key B read A, write A".
std::string RightsText(const PartRights& part);

}  // namespace cli
