#include "SimMifare.h"

#include <cctype>

#include "SimFrame.h"
#include "SimReader.h"

namespace tbsim {

namespace {

constexpr int kSmallSectors = 32;
constexpr int kSmallBlocks = 4;
constexpr int kLargeBlocks = 16;
constexpr int kDataLength = 32;  // hexadecimal characters of one block

constexpr std::uint8_t kKeyA = 1;
constexpr std::uint8_t kKeyB = 2;
constexpr std::uint8_t kEither = kKeyA | kKeyB;

// Who may read and write a data block, by C1 C2 C3 (000 to 111), after the published tables.
// Increment and decrement have no command here.
struct DataRule {
    std::uint8_t read, write;
};
constexpr DataRule kDataRules[8] = {
    {kEither, kEither},  // 000
    {kEither, 0},        // 001
    {kEither, 0},        // 010
    {kKeyB, kKeyB},      // 011
    {kEither, kKeyB},    // 100
    {kKeyB, 0},          // 101
    {kEither, kKeyB},    // 110
    {0, 0},              // 111
};

// Who may write each part of a trailer and read Key B; Key A never reads back, and the access
// bits read back to whichever key opened the sector.
struct TrailerRule {
    std::uint8_t keyAWrite, accessWrite, keyBRead, keyBWrite;
};
constexpr TrailerRule kTrailerRules[8] = {
    {kKeyA, 0, kKeyA, kKeyA},      // 000
    {kKeyA, kKeyA, kKeyA, kKeyA},  // 001
    {0, 0, kKeyA, 0},              // 010
    {kKeyB, kKeyB, 0, kKeyB},      // 011
    {kKeyB, 0, 0, kKeyB},          // 100
    {0, kKeyB, 0, 0},              // 101
    {0, 0, 0, 0},                  // 110
    {0, 0, 0, 0},                  // 111
};

// Trailer byte ranges.
constexpr int kAccessFirst = 6;
constexpr int kAccessEnd = 10;  // bytes 6-8 and the user byte 9 share their rights
constexpr int kKeyBFirst = 10;

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Upper-case hexadecimal only, as the program writes it.
template <std::size_t N>
bool ParseHex(const std::string& text, std::array<std::uint8_t, N>& bytes) {
    if (text.size() != 2 * N) return false;
    for (std::size_t i = 0; i < N; ++i) {
        const int high = HexDigit(text[2 * i]);
        const int low = HexDigit(text[2 * i + 1]);
        if (high < 0 || low < 0) return false;
        bytes[i] = static_cast<std::uint8_t>(high * 16 + low);
    }
    return true;
}

std::optional<int> ParseHexByte(const std::string& text) {
    std::array<std::uint8_t, 1> byte{};
    if (!ParseHex(text, byte)) return std::nullopt;
    return byte[0];
}

template <std::size_t N>
std::string HexText(const std::array<std::uint8_t, N>& bytes) {
    std::string text;
    for (std::uint8_t byte : bytes) text += HexByte(byte);
    return text;
}

std::string Status(MifareStatus status) { return HexByte(static_cast<std::uint8_t>(status)); }

std::string BlockReply(MifareStatus status, const MifareBlock& block = {}) {
    return Status(status) +
           (status == MifareStatus::Ok ? HexText(block) : std::string(kDataLength, '0'));
}

// "60" or "61" at the front of the parameters: the key slot, 0 for A and 1 for B.
std::optional<int> SlotOf(const std::string& params) {
    if (params.size() < 2 || params[0] != '6' || (params[1] != '0' && params[1] != '1'))
        return std::nullopt;
    return params[1] - '0';
}

int SectorOfBlock(int block) {
    const int small = kSmallSectors * kSmallBlocks;
    return block < small ? block / kSmallBlocks : kSmallSectors + (block - small) / kLargeBlocks;
}

// Which of the four condition sets rules a block: 0-2 for data (five blocks each in a 16-block
// sector), 3 for the trailer.
int PartOfBlock(int block) {
    const int sector = SectorOfBlock(block);
    const int index = block - MifareFirstBlock(sector);
    const int count = MifareBlocksInSector(sector);
    if (index == count - 1) return 3;
    return count == kSmallBlocks ? index : index / 5;
}

int TrailerOf(int block) {
    const int sector = SectorOfBlock(block);
    return MifareFirstBlock(sector) + MifareBlocksInSector(sector) - 1;
}

// C1 C2 C3 of a part as 0-7, or nullopt when a bit and its inverted copy agree.
std::optional<int> ConditionOf(const MifareBlock& trailer, int part) {
    const int notC1 = trailer[6] & 0x0F, notC2 = trailer[6] >> 4;
    const int c1 = trailer[7] >> 4, notC3 = trailer[7] & 0x0F;
    const int c3 = trailer[8] >> 4, c2 = trailer[8] & 0x0F;
    if ((c1 ^ notC1) != 0x0F || (c2 ^ notC2) != 0x0F || (c3 ^ notC3) != 0x0F) return std::nullopt;
    return ((c1 >> part) & 1) * 4 + ((c2 >> part) & 1) * 2 + ((c3 >> part) & 1);
}

bool Allows(std::uint8_t keys, int slot) { return (keys & (slot == 0 ? kKeyA : kKeyB)) != 0; }

bool SameBytes(const MifareBlock& a, const MifareBlock& b, int first, int end) {
    for (int i = first; i < end; ++i) {
        if (a[i] != b[i]) return false;
    }
    return true;
}

// Opens the sector of `block` with a key; on success `condition` is the block's C1 C2 C3 and
// `trailerCondition` the trailer's.
MifareStatus Open(const MifareState& state, int block, int slot,
                  const std::optional<MifareKey>& key, int& condition, int& trailerCondition) {
    if (!state.card) return MifareStatus::NoCard;
    const MifareCard& card = *state.card;
    if (block >= static_cast<int>(card.blocks.size())) return MifareStatus::BadParameter;
    if (!key) return MifareStatus::AuthFailed;
    const MifareBlock& trailer = card.blocks[TrailerOf(block)];
    const auto ownCondition = ConditionOf(trailer, PartOfBlock(block));
    const auto ownTrailer = ConditionOf(trailer, 3);
    if (!ownCondition || !ownTrailer) return MifareStatus::AuthFailed;
    const int first = slot == 0 ? 0 : kKeyBFirst;
    for (int i = 0; i < 6; ++i) {
        if (trailer[first + i] != (*key)[i]) return MifareStatus::AuthFailed;
    }
    // Where Key B can be read back it is data, not a key: the card refuses what it opened.
    if (slot == 1 && kTrailerRules[*ownTrailer].keyBRead != 0) return MifareStatus::Forbidden;
    condition = *ownCondition;
    trailerCondition = *ownTrailer;
    return MifareStatus::Ok;
}

MifareStatus Read(const MifareState& state, int block, int slot, MifareBlock& data) {
    int condition = 0, trailerCondition = 0;
    const MifareStatus opened =
        Open(state, block, slot, state.loadedKey, condition, trailerCondition);
    if (opened != MifareStatus::Ok) return opened;
    data = state.card->blocks[block];
    if (PartOfBlock(block) != 3) {
        return Allows(kDataRules[condition].read, slot) ? MifareStatus::Ok
                                                        : MifareStatus::Forbidden;
    }
    // A trailer reads back with the keys it hides as zeros.
    for (int i = 0; i < 6; ++i) data[i] = 0;
    if (!Allows(kTrailerRules[trailerCondition].keyBRead, slot)) {
        for (int i = kKeyBFirst; i < kKeyBFirst + 6; ++i) data[i] = 0;
    }
    return MifareStatus::Ok;
}

MifareStatus Write(MifareState& state, int block, int slot, const std::optional<MifareKey>& key,
                   const MifareBlock& data) {
    int condition = 0, trailerCondition = 0;
    const MifareStatus opened = Open(state, block, slot, key, condition, trailerCondition);
    if (opened != MifareStatus::Ok) return opened;
    MifareBlock& stored = state.card->blocks[block];
    if (block == 0) return MifareStatus::Forbidden;
    if (PartOfBlock(block) != 3) {
        if (!Allows(kDataRules[condition].write, slot)) return MifareStatus::Forbidden;
    } else {
        // Each part of a trailer may change only where its rule lets this key write it; the
        // parts written unchanged need no right.
        const TrailerRule& rule = kTrailerRules[trailerCondition];
        if ((!SameBytes(stored, data, 0, kAccessFirst) && !Allows(rule.keyAWrite, slot)) ||
            (!SameBytes(stored, data, kAccessFirst, kAccessEnd) &&
             !Allows(rule.accessWrite, slot)) ||
            (!SameBytes(stored, data, kKeyBFirst, 16) && !Allows(rule.keyBWrite, slot))) {
            return MifareStatus::Forbidden;
        }
    }
    stored = data;
    return MifareStatus::Ok;
}

}  // namespace

MifareCard MakeMifareCard(MifareSize size, const MifareUid& uid) {
    MifareCard card;
    card.size = size;
    card.uid = uid;
    card.blocks.assign(size == MifareSize::Classic1K ? 64 : 256, MifareBlock{});
    MifareBlock& maker = card.blocks[0];
    std::uint8_t check = 0;
    for (int i = 0; i < 4; ++i) {
        maker[i] = uid[i];
        check ^= uid[i];
    }
    maker[4] = check;
    // SAK and ATQA of the card type, then bytes of the maker's own.
    maker[5] = size == MifareSize::Classic1K ? 0x08 : 0x18;
    maker[6] = size == MifareSize::Classic1K ? 0x04 : 0x02;
    maker[7] = 0x00;
    for (int i = 8; i < 16; ++i) maker[i] = static_cast<std::uint8_t>(0x60 + i);
    const MifareBlock transport{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x07,
                                0x80, 0x69, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
    for (int sector = 0; sector < MifareSectorCount(card); ++sector)
        card.blocks[MifareFirstBlock(sector) + MifareBlocksInSector(sector) - 1] = transport;
    return card;
}

std::optional<MifareCard> MifareCardFromText(const std::string& size, const std::string& uid) {
    std::string upperSize, upperUid;
    for (char c : size) upperSize += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    for (char c : uid) upperUid += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    MifareUid bytes{};
    if (!ParseHex(upperUid, bytes)) return std::nullopt;
    if (upperSize == "1K") return MakeMifareCard(MifareSize::Classic1K, bytes);
    if (upperSize == "4K") return MakeMifareCard(MifareSize::Classic4K, bytes);
    return std::nullopt;
}

std::string MifareCardName(const MifareCard& card) {
    return std::string("MIFARE ") + (card.size == MifareSize::Classic1K ? "1K " : "4K ") +
           HexText(card.uid);
}

int MifareSectorCount(const MifareCard& card) {
    return card.size == MifareSize::Classic1K ? 16 : kMifareSectors;
}

int MifareFirstBlock(int sector) {
    if (sector < kSmallSectors) return sector * kSmallBlocks;
    return kSmallSectors * kSmallBlocks + (sector - kSmallSectors) * kLargeBlocks;
}

int MifareBlocksInSector(int sector) {
    return sector < kSmallSectors ? kSmallBlocks : kLargeBlocks;
}

MifareState::MifareState() {
    for (auto& keys : eepromKeys) keys = {kTransportKey, kTransportKey};
}

std::optional<std::string> MifareStoreKey(MifareState& state, const std::string& params) {
    const auto slot = SlotOf(params);
    if (!slot) return std::nullopt;
    const auto sector = ParseHexByte(params.substr(2, 2));
    MifareKey key{};
    if (params.size() < 4 || !sector || *sector >= kMifareSectors ||
        !ParseHex(params.substr(4), key))
        return Status(MifareStatus::BadParameter);
    state.eepromKeys[*sector][*slot] = key;
    return Status(MifareStatus::Ok);
}

std::optional<std::string> MifareUseStoredKey(MifareState& state, const std::string& params) {
    const auto slot = SlotOf(params);
    if (!slot) return std::nullopt;
    const auto sector = ParseHexByte(params.substr(2));
    if (!sector || *sector >= kMifareSectors) return Status(MifareStatus::BadParameter);
    state.loadedKey = state.eepromKeys[*sector][*slot];
    return Status(MifareStatus::Ok);
}

std::optional<std::string> MifareLoadKey(MifareState& state, const std::string& params) {
    MifareKey key{};
    if (!ParseHex(params, key)) return Status(MifareStatus::BadParameter);
    state.loadedKey = key;
    return Status(MifareStatus::Ok);
}

std::optional<std::string> MifareReadBlock(MifareState& state, const std::string& params) {
    const auto slot = SlotOf(params);
    if (!slot) return std::nullopt;
    const auto block = ParseHexByte(params.substr(2));
    if (!block) return BlockReply(MifareStatus::BadParameter);
    MifareBlock data{};
    const MifareStatus status = Read(state, *block, *slot, data);
    return BlockReply(status, data);
}

std::optional<std::string> MifareWriteBlock(MifareState& state, const std::string& params) {
    const auto slot = SlotOf(params);
    if (!slot) return std::nullopt;
    // With a key of its own the text is 12 characters longer: key, block, data.
    std::string rest = params.substr(2);
    std::optional<MifareKey> key = state.loadedKey;
    if (rest.size() == 12 + 2 + kDataLength) {
        MifareKey given{};
        if (!ParseHex(rest.substr(0, 12), given)) return BlockReply(MifareStatus::BadParameter);
        key = given;
        rest.erase(0, 12);
    }
    MifareBlock data{};
    const auto block = ParseHexByte(rest.substr(0, 2));
    if (rest.size() != 2 + kDataLength || !block || !ParseHex(rest.substr(2), data))
        return BlockReply(MifareStatus::BadParameter);
    const MifareStatus status = Write(state, *block, *slot, key, data);
    // The echo is the block as written: the program compares it with what it sent.
    return BlockReply(status, data);
}

void SimReader::presentMifareCard(const MifareCard& card) {
    std::lock_guard<std::mutex> lock(mutex_);
    config_.mifare.card = card;
}

void SimReader::removeMifareCard() {
    std::lock_guard<std::mutex> lock(mutex_);
    config_.mifare.card.reset();
}

std::optional<MifareCard> SimReader::mifareCard() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return config_.mifare.card;
}

}  // namespace tbsim
