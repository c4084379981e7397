#include "commands/mifare/AccessBits.h"

#include <cstdio>

#include "link/ReplyFields.h"

namespace commands::mifare {
namespace {

constexpr Keys kNo = Keys::Never;
constexpr Keys kA = Keys::A;
constexpr Keys kB = Keys::B;
constexpr Keys kAB = Keys::AOrB;

// The published MIFARE Classic access conditions, rows C1 C2 C3 = 000 to 111.
constexpr DataBlockRights kDataTable[kConditionCount] = {
    {kAB, kAB, kAB, kAB},  // 000: transport configuration
    {kAB, kNo, kNo, kAB},  // 001: value block, decrement only
    {kAB, kNo, kNo, kNo},  // 010: read only
    {kB, kB, kNo, kNo},    // 011
    {kAB, kB, kNo, kNo},   // 100
    {kB, kNo, kNo, kNo},   // 101
    {kAB, kB, kB, kAB},    // 110: value block, recharged with B
    {kNo, kNo, kNo, kNo},  // 111: blocked
};

// Key A read, Key A write, access bits read, access bits write, Key B read, Key B write.
constexpr TrailerRights kTrailerTable[kConditionCount] = {
    {kNo, kA, kA, kNo, kA, kA},      // 000
    {kNo, kA, kA, kA, kA, kA},       // 001: transport configuration
    {kNo, kNo, kA, kNo, kA, kNo},    // 010
    {kNo, kB, kAB, kB, kNo, kB},     // 011
    {kNo, kB, kAB, kNo, kNo, kB},    // 100
    {kNo, kNo, kAB, kB, kNo, kNo},   // 101
    {kNo, kNo, kAB, kNo, kNo, kNo},  // 110
    {kNo, kNo, kAB, kNo, kNo, kNo},  // 111
};

// The editor's option rule: each option of each group, in the editor's order, with the
// condition it applies to its part.
template <typename Group>
struct OptionRule {
    Group group;
    Keys option;
    Condition condition;
};

constexpr OptionRule<DataGroup> kDataOptionRules[] = {
    {DataGroup::Read, kAB, MakeCondition(1, 1, 0)},
    {DataGroup::Read, kB, MakeCondition(0, 1, 1)},
    {DataGroup::Read, kNo, MakeCondition(1, 1, 1)},
    {DataGroup::Write, kAB, MakeCondition(0, 0, 0)},
    {DataGroup::Write, kB, MakeCondition(1, 0, 0)},
    {DataGroup::Write, kNo, MakeCondition(0, 0, 1)},
    {DataGroup::Increment, kAB, MakeCondition(0, 0, 0)},
    {DataGroup::Increment, kB, MakeCondition(1, 1, 0)},
    {DataGroup::Increment, kNo, MakeCondition(1, 0, 1)},
    {DataGroup::Decrement, kAB, MakeCondition(1, 1, 0)},
    {DataGroup::Decrement, kNo, MakeCondition(0, 1, 0)},
};

constexpr OptionRule<TrailerGroup> kTrailerOptionRules[] = {
    {TrailerGroup::KeyARead, kNo, MakeCondition(0, 0, 1)},
    {TrailerGroup::KeyAWrite, kA, MakeCondition(0, 0, 0)},
    {TrailerGroup::KeyAWrite, kB, MakeCondition(0, 1, 1)},
    {TrailerGroup::KeyAWrite, kNo, MakeCondition(1, 0, 1)},
    {TrailerGroup::AccessRead, kA, MakeCondition(0, 1, 0)},
    {TrailerGroup::AccessRead, kAB, MakeCondition(1, 0, 0)},
    {TrailerGroup::AccessWrite, kA, MakeCondition(0, 0, 1)},
    {TrailerGroup::AccessWrite, kB, MakeCondition(0, 1, 1)},
    {TrailerGroup::AccessWrite, kNo, MakeCondition(1, 1, 0)},
    {TrailerGroup::KeyBRead, kA, MakeCondition(0, 0, 1)},
    {TrailerGroup::KeyBRead, kNo, MakeCondition(0, 1, 1)},
    {TrailerGroup::KeyBWrite, kA, MakeCondition(0, 0, 1)},
    {TrailerGroup::KeyBWrite, kB, MakeCondition(0, 1, 1)},
    {TrailerGroup::KeyBWrite, kNo, MakeCondition(1, 1, 0)},
};

template <typename Group, std::size_t N>
std::optional<Condition> Find(const OptionRule<Group> (&rules)[N], Group group, Keys option) {
    for (const auto& rule : rules) {
        if (rule.group == group && rule.option == option) return rule.condition;
    }
    return std::nullopt;
}

template <typename Group, std::size_t N>
std::vector<Keys> Options(const OptionRule<Group> (&rules)[N], Group group) {
    std::vector<Keys> options;
    for (const auto& rule : rules) {
        if (rule.group == group) options.push_back(rule.option);
    }
    return options;
}

int Bit(Condition condition, int c) { return (condition >> (2 - c)) & 1; }

// The four bits of C1, C2 or C3 (c = 0, 1, 2), bit k for part k.
unsigned Nibble(const SectorConditions& conditions, int c) {
    unsigned nibble = 0;
    for (int part = 0; part < 4; ++part)
        nibble |= static_cast<unsigned>(Bit(conditions[part], c)) << part;
    return nibble;
}

std::uint8_t Byte(unsigned high, unsigned low) {
    return static_cast<std::uint8_t>(((high & 0x0Fu) << 4) | (low & 0x0Fu));
}

}  // namespace

bool Allows(Keys keys, KeySlot slot) {
    const unsigned bit = slot == KeySlot::A ? 1u : 2u;
    return (static_cast<unsigned>(keys) & bit) != 0;
}

bool DataBlockRights::operator==(const DataBlockRights& other) const {
    return read == other.read && write == other.write && increment == other.increment &&
           decrement == other.decrement;
}

bool TrailerRights::operator==(const TrailerRights& other) const {
    return keyARead == other.keyARead && keyAWrite == other.keyAWrite &&
           accessRead == other.accessRead && accessWrite == other.accessWrite &&
           keyBRead == other.keyBRead && keyBWrite == other.keyBWrite;
}

const DataBlockRights& DataRights(Condition condition) { return kDataTable[condition & 7]; }

const TrailerRights& TrailerRightsOf(Condition condition) { return kTrailerTable[condition & 7]; }

AccessBytes EncodeAccessBytes(const SectorConditions& conditions) {
    const unsigned c1 = Nibble(conditions, 0);
    const unsigned c2 = Nibble(conditions, 1);
    const unsigned c3 = Nibble(conditions, 2);
    return {Byte(~c2, ~c1), Byte(c1, ~c3), Byte(c3, c2)};
}

std::optional<SectorConditions> DecodeAccessBytes(const AccessBytes& bytes) {
    const unsigned c1 = bytes[1] >> 4;
    const unsigned c2 = bytes[2] & 0x0Fu;
    const unsigned c3 = bytes[2] >> 4;
    const unsigned notC1 = bytes[0] & 0x0Fu;
    const unsigned notC2 = bytes[0] >> 4;
    const unsigned notC3 = bytes[1] & 0x0Fu;
    if ((c1 ^ notC1) != 0x0Fu || (c2 ^ notC2) != 0x0Fu || (c3 ^ notC3) != 0x0Fu)
        return std::nullopt;
    SectorConditions conditions{};
    for (int part = 0; part < 4; ++part) {
        conditions[part] = MakeCondition((c1 >> part) & 1, (c2 >> part) & 1, (c3 >> part) & 1);
    }
    return conditions;
}

std::string AccessBitsText(const SectorConditions& conditions, std::uint8_t userByte) {
    const AccessBytes bytes = EncodeAccessBytes(conditions);
    char text[16];
    std::snprintf(text, sizeof text, "%02X%02X%02X%02X", bytes[0], bytes[1], bytes[2], userByte);
    return text;
}

AccessText ReadAccessBitsText(const std::string& text) {
    AccessText read;
    if (text.size() != 8) return read;
    // Character positions from 1, as the field readers count.
    std::uint8_t values[4];
    for (int i = 0; i < 4; ++i) {
        const auto value = tblink::HexField(text, 2 * i + 1, 2);
        if (!value) return read;
        values[i] = static_cast<std::uint8_t>(*value);
    }
    const auto conditions = DecodeAccessBytes({values[0], values[1], values[2]});
    if (!conditions) {
        read.verdict = AccessTextVerdict::CopiesDisagree;
        return read;
    }
    read.verdict = AccessTextVerdict::Valid;
    read.conditions = *conditions;
    read.userByte = values[3];
    return read;
}

bool AccessBitsLockedForGood(const SectorConditions& conditions) {
    return TrailerRightsOf(conditions[kTrailerPart]).accessWrite == Keys::Never;
}

AccessBitsNotice NoticeFor(const std::string& accessBitsText) {
    const AccessText read = ReadAccessBitsText(accessBitsText);
    if (read.verdict == AccessTextVerdict::NotEightHexDigits) return AccessBitsNotice::Incomplete;
    if (read.verdict == AccessTextVerdict::CopiesDisagree) return AccessBitsNotice::Invalid;
    return AccessBitsLockedForGood(read.conditions) ? AccessBitsNotice::LockedForGood
                                                    : AccessBitsNotice::None;
}

std::vector<Keys> DataOptions(DataGroup group) { return Options(kDataOptionRules, group); }

std::vector<Keys> TrailerOptions(TrailerGroup group) { return Options(kTrailerOptionRules, group); }

std::optional<Condition> DataOptionCondition(DataGroup group, Keys option) {
    return Find(kDataOptionRules, group, option);
}

std::optional<Condition> TrailerOptionCondition(TrailerGroup group, Keys option) {
    return Find(kTrailerOptionRules, group, option);
}

std::optional<std::string> AnyKeyCaptionAfter(TrailerGroup group, Keys option) {
    const bool read = group == TrailerGroup::AccessRead;
    const bool write = group == TrailerGroup::AccessWrite;
    if ((read || write) && option == Keys::A) return "A";
    if ((read && option == Keys::AOrB) || (write && option == Keys::B)) return kAnyKeyCaption;
    return std::nullopt;
}

Condition DataConditionShown(const DataBlockRights& checked) {
    for (Condition row = 0; row < kConditionCount; ++row) {
        if (DataRights(row) == checked) return row;
    }
    return kNoRowCondition;
}

Condition TrailerConditionShown(const TrailerRights& checked) {
    for (Condition row = 0; row < kConditionCount; ++row) {
        if (TrailerRightsOf(row) == checked) return row;
    }
    return kNoRowCondition;
}

EditorState InitialEditorState() {
    EditorState state{};
    for (auto& block : state.blocks) block = DataRights(kTransportConditions[0]);
    state.trailer = TrailerRightsOf(kTransportConditions[kTrailerPart]);
    return state;
}

bool PickDataOption(EditorState& state, int block, DataGroup group, Keys option) {
    const auto condition = DataOptionCondition(group, option);
    if (!condition || block < 0 || block >= 3) return false;
    state.blocks[block] = DataRights(*condition);
    return true;
}

bool PickTrailerOption(EditorState& state, TrailerGroup group, Keys option) {
    const auto condition = TrailerOptionCondition(group, option);
    if (!condition) return false;
    state.trailer = TrailerRightsOf(*condition);
    if (auto caption = AnyKeyCaptionAfter(group, option)) state.anyKeyCaption = *caption;
    return true;
}

SectorConditions ConditionsShown(const EditorState& state) {
    return {DataConditionShown(state.blocks[0]), DataConditionShown(state.blocks[1]),
            DataConditionShown(state.blocks[2]), TrailerConditionShown(state.trailer)};
}

std::string EditorAccessBitsText(const EditorState& state) {
    return AccessBitsText(ConditionsShown(state));
}

}  // namespace commands::mifare
