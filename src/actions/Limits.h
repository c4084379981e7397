// What the window's controls admit, in one place: the pages build their controls from these and
// the actions hold every other front end to them.
#pragma once

namespace actions {

constexpr int kMinReaderId = 1;
constexpr int kMaxReaderId = 99;
constexpr int kMaxKeyNumber = 16;
constexpr int kMaxKeyStatusNumber = 8;
constexpr int kMaxKeyDelaySeconds = 99;
constexpr int kMaxSector = 39;  // MIFARE Classic 4K: sectors 0 to 39
constexpr int kMaxIdBlock = 3;
constexpr int kMaxIdByte = 31;
constexpr int kMaxFacilityCode = 65535;
constexpr int kMaxFingerNumber = 9500;

// Texts sent to a reader, in bytes of the window's code page.
constexpr int kKeyBytes = 12;
constexpr int kAccessBitsBytes = 8;
constexpr int kBlockDataBytes = 32;
constexpr int kPasswordBytes = 4;
constexpr int kTitleBytes = 16;
constexpr int kSmallMessageBytes = 64;
constexpr int kScreenMessageBytes = 128;
constexpr int kFingerprintIdBytes = 16;
constexpr int kSecondsBytes = 4;  // the door and alarm time boxes: four digits

}  // namespace actions
