#include <algorithm>

#include "actions/Action.h"
#include "actions/Limits.h"
#include "commands/config/Identity.h"
#include "commands/config/ListItems.h"
#include "commands/config/ReadOut.h"
#include "commands/mifare/CardGeometry.h"
#include "link/Frame.h"
#include "link/LineSettingsList.h"

namespace actions {
namespace {

using text::Msg;
using Kind = InputRule::Kind;

constexpr int kLast(int count) { return count - 1; }

InputRule Number(const char* name, int min, int max) { return {name, Kind::Number, min, max}; }
InputRule Item(const char* name, int count) { return {name, Kind::ListIndex, 0, kLast(count)}; }
InputRule Text(const char* name, int bytes) { return {name, Kind::ReaderText, 0, bytes}; }

// A command text less its prefix: the start character and, unless it carries its own, the ID.
constexpr int kCommandTextBytes = static_cast<int>(tblink::kMaxCommandLength) - 3;
constexpr int kAddressedTextBytes = static_cast<int>(tblink::kMaxCommandLength) - 1;

constexpr int kDisplayLanguages = 3;
constexpr int kScreenModes = 2;
constexpr int kHourFormats = 2;
constexpr int kTitleModes = 3;
constexpr int kScanModes = 4;

const InputRule kSector = Number("sector", 0, kMaxSector);
const InputRule kFinger = Number("finger", 0, kMaxFingerNumber);
const InputRule kTitleLine = Number("line", 1, 2);

std::vector<ActionInfo> MakeTable() {
    std::vector<ActionInfo> t = {
        {ActionId::SetId,
         "set-id",
         {"btnID"},
         {Msg::SetId, Msg::SetIdOk, Msg::SetIdError},
         {Number("new-id", kMinReaderId, kMaxReaderId)}},
        {ActionId::SetLine,
         "set-line",
         {"btnBaudRate"},
         {Msg::SetReaderBaudRate, Msg::SetReaderBaudRateOk, Msg::SetReaderBaudRateError},
         {Item("settings", tblink::kLineSettingsCount)}},
        {ActionId::SetInterface,
         "set-interface",
         {"btnMode"},
         {Msg::SetReaderInterface, Msg::SetReaderInterfaceOk, Msg::SetReaderInterfaceError},
         {Item("mode", commands::kModeCount), Item("wiegand", commands::kWiegandCount),
          Item("rs485", commands::kRs485Count)}},
        {ActionId::GetInterface,
         "get-interface",
         {"btnGetMode"},
         {Msg::GetReaderInterface, Msg::GetReaderInterfaceOk, Msg::GetReaderInterfaceError},
         {}},
        {ActionId::SetCardType,
         "set-card-type",
         {"btnCardType"},
         {Msg::SetCardType, Msg::SetCardTypeOk, Msg::SetCardTypeError},
         {Item("card-type", commands::kCardTypeCount)}},
        {ActionId::SetReadMode,
         "set-read-mode",
         {"btnCardRead"},
         {Msg::SetCardReadMode, Msg::SetCardReadModeOk, Msg::SetCardReadModeError},
         {Item("read-mode", static_cast<int>(commands::kResetModeItems.size()))}},
        {ActionId::SetKeyParity,
         "set-key-parity",
         {"btnKeyParity"},
         {Msg::SetKeyParity, Msg::SetKeyParityOk, Msg::SetKeyParityError},
         {Item("key-parity", commands::kKeyParityCount)}},
        {ActionId::GetKeyParity,
         "get-key-parity",
         {"btnGetKeyParity"},
         {Msg::GetKeyParity, Msg::GetKeyParityOk, Msg::GetKeyParityError},
         {}},
        {ActionId::SetKeyNumber,
         "set-key-number",
         {"btnKeyNumber"},
         {Msg::SetKeyNumber, Msg::SetKeyNumberOk, Msg::SetKeyNumberError},
         {Number("key-number", 0, kMaxKeyNumber)}},
        {ActionId::GetKeyNumber,
         "get-key-number",
         {"btnGetKeyNumber"},
         {Msg::GetKeyNumber, Msg::GetKeyNumberOk, Msg::GetKeyNumberError},
         {}},
        {ActionId::SetKeyStatus,
         "set-key-status",
         {"btnKeyStatus"},
         {Msg::SetKeyStatusCode, Msg::SetKeyStatusCodeOk, Msg::SetKeyStatusCodeError},
         {Number("key-status-number", 0, kMaxKeyStatusNumber),
          Number("key-delay", 0, kMaxKeyDelaySeconds)}},
        {ActionId::GetKeyStatus,
         "get-key-status",
         {"btnGetKeyStatus"},
         {Msg::GetKeyStatusCode, Msg::GetKeyStatusCodeOk, Msg::GetKeyStatusCodeError},
         {}},
        // The command tests work without a link: the window takes the port from its controls.
        {ActionId::CommandTest,
         "send",
         {"btnTest"},
         {Msg::CommandTest, Msg::CommandTestOk, Msg::CommandTestError},
         {Text("text", kCommandTextBytes)},
         false},
        {ActionId::CommandTestAddressed,
         "send-raw",
         {"btnTest2"},
         {Msg::CommandTest, Msg::CommandTestOk, Msg::CommandTestError},
         {Text("text", kAddressedTextBytes)},
         false,
         false},
        {ActionId::Reboot,
         "reboot",
         {"btnReboot"},
         {Msg::SetReboot, Msg::SetRebootOk, Msg::SetRebootError},
         {}},
        {ActionId::FactoryDefault,
         "factory-default",
         {"btnFactory"},
         {Msg::PleaseWaiting, Msg::SetFactoryDefaultOk, Msg::SetFactoryDefaultError},
         {},
         true,
         true,
         true},

        {ActionId::SetIdLocation,
         "set-id-location",
         {"btnM1IDSector"},
         {Msg::SetSectorBlockByte, Msg::SetSectorBlockByteOk, Msg::SetSectorBlockByteError},
         {kSector, Number("block", 0, kMaxIdBlock), Number("byte", 0, kMaxIdByte),
          Item("key-error", commands::kKeyErrorCount)}},
        {ActionId::StoreKey,
         "store-key",
         {"btnM1Key"},
         {Msg::SetKeyEeprom, Msg::SetKeyEepromOk, Msg::SetKeyEepromError},
         {kSector, Text("key", kKeyBytes)}},
        {ActionId::WriteTrailer,
         "write-trailer",
         {"btnM1CardKey"},
         {Msg::SetCardKey, Msg::SetCardKeyOk, Msg::SetCardKeyError},
         {kSector, Text("old-key", kKeyBytes), Text("key-a", kKeyBytes),
          Text("access", kAccessBitsBytes), Text("key-b", kKeyBytes)}},
        {ActionId::ReadBlock,
         "read-block",
         {"btnM1Read"},
         {Msg::ReadCardData, Msg::ReadCardDataOk, Msg::ReadCardDataError},
         {kSector, Number("block", 0, commands::mifare::kLargeSectorBlocks - 1),
          Text("key", kKeyBytes)}},
        {ActionId::WriteBlock,
         "write-block",
         {"btnM1Write"},
         {Msg::WriteCardData, Msg::WriteCardDataOk, Msg::WriteCardDataError},
         {kSector, Number("block", 0, commands::mifare::kLargeSectorBlocks - 1),
          Text("key", kKeyBytes), Text("data", kBlockDataBytes)}},

        {ActionId::DisplayLanguage,
         "display-language",
         {"btnLanguage"},
         {Msg::SetLanguage, Msg::SetLanguageOk, Msg::SetLanguageError},
         {Item("language", kDisplayLanguages)}},
        {ActionId::DisplayPassword,
         "display-password",
         {"btnPassword"},
         {Msg::SetPassword, Msg::SetPasswordOk, Msg::SetPasswordError},
         {Text("password", kPasswordBytes)}},
        {ActionId::DisplayScreenMode,
         "display-screen-mode",
         {"btnScreen"},
         {Msg::SetScreenMode, Msg::SetScreenModeOk, Msg::SetScreenModeError},
         {Item("screen-mode", kScreenModes)}},
        {ActionId::DisplayClock,
         "display-clock",
         {"btnDateTime"},
         {Msg::SetTimeMode, Msg::SetTimeModeOk, Msg::SetTimeModeError},
         {Item("hour-format", kHourFormats)}},
        {ActionId::SmallMessage,
         "small-message",
         {"btnSmallMessage"},
         {Msg::SetSmallMessage, Msg::SetSmallMessageOk, Msg::SetSmallMessageError},
         {Text("text", kSmallMessageBytes)}},
        {ActionId::ScreenMessage,
         "screen-message",
         {"btnScreenMessage"},
         {Msg::SetScreenMessage, Msg::SetScreenMessageOk, Msg::SetScreenMessageError},
         {Text("text", kScreenMessageBytes)}},
        // The window's clear button reports with the title messages.
        {ActionId::ClearScreenMessage,
         "clear-screen-message",
         {"btnClrMessage"},
         {Msg::SetTitle, Msg::SetTitleOk, Msg::SetTitleError},
         {}},
        {ActionId::Title,
         "title",
         {"btnSetTitle1", "btnSetTitle2"},
         {Msg::SetTitle, Msg::SetTitleOk, Msg::SetTitleError},
         {kTitleLine, Text("text", kTitleBytes)}},
        {ActionId::ClearTitle,
         "clear-title",
         {"btnClrTitle1", "btnClrTitle2"},
         {Msg::SetTitle, Msg::SetTitleOk, Msg::SetTitleError},
         {kTitleLine}},
        {ActionId::TitleMode,
         "title-mode",
         {"btnSetTitleMode"},
         {Msg::SetTitleMode, Msg::SetTitleModeOk, Msg::SetTitleModeError},
         {Item("title-mode", kTitleModes)}},
        {ActionId::TitleIcon,
         "title-icon",
         {"btnTitleIcon"},
         {Msg::SetIcon, Msg::SetIconOk, Msg::SetIconError},
         {}},

        {ActionId::FacilityCode,
         "facility-code",
         {"btnFingerFacility"},
         {Msg::SetFacilityCode, Msg::SetFacilityCodeOk, Msg::SetFacilityCodeError},
         {Number("facility-code", 0, kMaxFacilityCode)}},
        {ActionId::AddFinger,
         "add-finger",
         {"btnAddFinger"},
         {Msg::AddFingerprint, Msg::AddFingerprintOk, Msg::AddFingerprintError},
         {kFinger}},
        {ActionId::DeleteFinger,
         "delete-finger",
         {"btnDelFinger"},
         {Msg::DelFingerprint, Msg::DelFingerprintOk, Msg::DelFingerprintError},
         {kFinger}},
        {ActionId::GetFingerId,
         "get-finger-id",
         {"btnGetFingerID"},
         {Msg::GetFingerprintId, Msg::GetFingerprintIdOk, Msg::GetFingerprintIdError},
         {kFinger}},
        {ActionId::SetFingerId,
         "set-finger-id",
         {"btnSetFingerID"},
         {Msg::SetFingerprintId, Msg::SetFingerprintIdOk, Msg::SetFingerprintIdError},
         {kFinger, Text("finger-id", kFingerprintIdBytes)}},
        {ActionId::ScanMode,
         "scan-mode",
         {"btnFingerScan"},
         {Msg::SetFingerprintScanMode, Msg::SetFingerprintScanModeOk,
          Msg::SetFingerprintScanModeError},
         {Item("scan-mode", kScanModes)}},
        {ActionId::GetTemplate,
         "get-template",
         {"btnGetTemplate"},
         {Msg::GetTemplateData, Msg::GetTemplateDataOk, Msg::GetTemplateDataError},
         {kFinger}},
        {ActionId::PutTemplate,
         "put-template",
         {"btnPutTemplate"},
         {Msg::SetTemplateData, Msg::SetTemplateDataOk, Msg::SetTemplateDataError},
         {kFinger}},
        {ActionId::StandAlone,
         "stand-alone",
         {"btnStandFinger"},
         {Msg::SetStandAloneMode, Msg::SetStandAloneModeOk, Msg::SetStandAloneModeError},
         {}},
        {ActionId::DoorTime,
         "door-time",
         {"btnDoorFinger"},
         {Msg::SetDoorTime, Msg::SetDoorTimeOk, Msg::SetDoorTimeError},
         {Text("seconds", kSecondsBytes)}},
        {ActionId::AlarmTime,
         "alarm-time",
         {"btnAlarmFinger"},
         {Msg::SetAlarmTime, Msg::SetAlarmTimeOk, Msg::SetAlarmTimeError},
         {Text("seconds", kSecondsBytes)}},
        {ActionId::AddCard,
         "add-card",
         {"btnSetCardFinger"},
         {Msg::SetAddCard, Msg::SetAddCardOk, Msg::SetAddCardError},
         {}},
        {ActionId::DuressCard,
         "duress-card",
         {"btnDuressFinger"},
         {Msg::SetDuressCard, Msg::SetDuressCardOk, Msg::SetDuressCardError},
         {}},
        {ActionId::ClearCard,
         "clear-card",
         {"btnClrCardFinger"},
         {Msg::SetClearCard, Msg::SetClearCardOk, Msg::SetClearCardError},
         {}},
        {ActionId::StandAloneDefault,
         "stand-alone-default",
         {"btnStandFingerDefault"},
         {Msg::StandAloneDefault, Msg::SetStandAloneDefaultOk, Msg::SetStandAloneDefaultError},
         {}},
    };
    return t;
}

}  // namespace

const InputRule* ActionInfo::input(std::string_view inputName) const {
    const auto it = std::find_if(inputs.begin(), inputs.end(),
                                 [&](const InputRule& rule) { return rule.name == inputName; });
    return it == inputs.end() ? nullptr : &*it;
}

const std::vector<ActionInfo>& Table() {
    static const std::vector<ActionInfo> table = MakeTable();
    return table;
}

const ActionInfo& Describe(ActionId id) { return Table()[static_cast<std::size_t>(id)]; }

const ActionInfo* Find(std::string_view name) {
    const auto& table = Table();
    const auto it = std::find_if(table.begin(), table.end(),
                                 [&](const ActionInfo& info) { return info.name == name; });
    return it == table.end() ? nullptr : &*it;
}

}  // namespace actions
