// Access conditions of a MIFARE Classic sector. Each of the sector's four parts (data blocks 0,
// 1, 2 and the trailer; on a 16-block sector blocks 0-4, 5-9, 10-14 and the trailer) has three
// condition bits C1 C2 C3. Two tables keyed by them say which key may do what; the trailer's
// bytes 6, 7 and 8 hold the bits twice, once inverted; the editor of the card-key page shows a
// condition as one option checked in each group. Everything here derives from the two tables.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "commands/mifare/CardGeometry.h"

namespace commands::mifare {

// Which keys may do something. The values are bit sets: A = 1, B = 2.
enum class Keys : std::uint8_t { Never = 0, A = 1, B = 2, AOrB = 3 };
bool Allows(Keys keys, KeySlot slot);

// C1 C2 C3 of one part as the number C1*4 + C2*2 + C3 ("0 1 1" is 3).
using Condition = int;
constexpr int kConditionCount = 8;
constexpr Condition MakeCondition(int c1, int c2, int c3) { return c1 * 4 + c2 * 2 + c3; }

struct DataBlockRights {
    Keys read, write, increment, decrement;
    bool operator==(const DataBlockRights& other) const;
    bool operator!=(const DataBlockRights& other) const { return !(*this == other); }
};

struct TrailerRights {
    Keys keyARead, keyAWrite, accessRead, accessWrite, keyBRead, keyBWrite;
    bool operator==(const TrailerRights& other) const;
    bool operator!=(const TrailerRights& other) const { return !(*this == other); }
};

// The two tables; the condition is taken modulo 8.
const DataBlockRights& DataRights(Condition condition);
const TrailerRights& TrailerRightsOf(Condition condition);

// A sector's conditions: data blocks 0, 1, 2, then the trailer.
using SectorConditions = std::array<Condition, 4>;
constexpr int kTrailerPart = 3;

// What a sector leaves after delivery, and what "FF0780" encodes: data blocks 000, trailer 001.
constexpr SectorConditions kTransportConditions{0, 0, 0, 1};

// Trailer bytes 6, 7 and 8: ~C2 ~C1 | C1 ~C3 | C3 C2 (high nibble first, bit k for part k).
using AccessBytes = std::array<std::uint8_t, 3>;
AccessBytes EncodeAccessBytes(const SectorConditions& conditions);
// nullopt when a bit and its inverted copy agree: the card then blocks the sector for good.
std::optional<SectorConditions> DecodeAccessBytes(const AccessBytes& bytes);

// The text that goes between Key A and Key B: bytes 6, 7, 8 and the user byte, "%02X" each.
constexpr std::uint8_t kEditorUserByte = 0xAA;
std::string AccessBitsText(const SectorConditions& conditions,
                           std::uint8_t userByte = kEditorUserByte);

enum class AccessTextVerdict {
    Valid,
    NotEightHexDigits,  // not 8 upper-case hexadecimal characters: not access bits at all
    CopiesDisagree,     // the inverted copies do not match: the sector would be unusable
};
struct AccessText {
    AccessTextVerdict verdict = AccessTextVerdict::NotEightHexDigits;
    SectorConditions conditions{};  // when valid
    std::uint8_t userByte = 0;      // when valid
};
AccessText ReadAccessBitsText(const std::string& text);

// No key may ever write the access bits again: the trailer's condition says "never".
bool AccessBitsLockedForGood(const SectorConditions& conditions);

// What the card-key page warns about beside a typed access-bits text. The text is sent as it
// stands whatever this says.
enum class AccessBitsNotice {
    None,
    Incomplete,  // not (yet) 8 hexadecimal digits: what is being typed
    Invalid,     // the inverted copies disagree
    LockedForGood,
};
AccessBitsNotice NoticeFor(const std::string& accessBitsText);

// --- The access-condition editor -------------------------------------------------------------
// The editor shows each part's condition as one option checked in each of its groups: the row
// of the table. Picking an option with the mouse applies that option's condition to its own
// part; a keyboard change only moves its own group. The text is then computed from the rows the
// parts show, where a part that shows no row counts as 101 and the trailer rows 110 and 111,
// which look the same, give 110.

enum class DataGroup { Read, Write, Increment, Decrement };
enum class TrailerGroup { KeyARead, KeyAWrite, AccessRead, AccessWrite, KeyBRead, KeyBWrite };

// The options each group offers, in the editor's order.
std::vector<Keys> DataOptions(DataGroup group);
std::vector<Keys> TrailerOptions(TrailerGroup group);

// The condition a picked option applies to its part; nullopt when the group has no such option.
std::optional<Condition> DataOptionCondition(DataGroup group, Keys option);
std::optional<Condition> TrailerOptionCondition(TrailerGroup group, Keys option);

// Four trailer options also rename the twelve data-block options that read "A/B" at start:
// "A" after Access bits Read "A" or Write "A", "A/B" after Access bits Read "A/B" or Write "B".
// nullopt: the option leaves the captions as they are. Captions take no part in the bits.
std::optional<std::string> AnyKeyCaptionAfter(TrailerGroup group, Keys option);
inline const std::string kAnyKeyCaption = "A/B";

// The condition whose row is checked; the first in the order 000 to 111, else 101.
constexpr Condition kNoRowCondition = MakeCondition(1, 0, 1);
Condition DataConditionShown(const DataBlockRights& checked);
Condition TrailerConditionShown(const TrailerRights& checked);

struct EditorState {
    std::array<DataBlockRights, 3> blocks;
    TrailerRights trailer;
    std::string anyKeyCaption = kAnyKeyCaption;
};
// Data blocks at 000, the trailer at 001.
EditorState InitialEditorState();
// The mouse-up on an option: its condition's row checked in every group of its own part, the
// captions renamed where the option does so. False, and nothing changed, when the group has no
// such option or the block is not 0-2.
bool PickDataOption(EditorState& state, int block, DataGroup group, Keys option);
bool PickTrailerOption(EditorState& state, TrailerGroup group, Keys option);
SectorConditions ConditionsShown(const EditorState& state);
// What the editor writes into the access-bits box.
std::string EditorAccessBitsText(const EditorState& state);

}  // namespace commands::mifare
