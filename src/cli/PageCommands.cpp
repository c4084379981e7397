#include "cli/PageCommands.h"

#include <QFile>
#include <cstdio>
#include <variant>

#include "commands/config/SystemUtility.h"
#include "commands/display/DisplayText.h"
#include "commands/display/MessagesAndTitles.h"
#include "commands/display/TitleIcon.h"
#include "commands/fingerprint/Enrolment.h"
#include "commands/fingerprint/StandAlone.h"
#include "commands/mifare/MifareCommands.h"
#include "pictures/PictureIcon.h"

namespace cli {

std::string FingerNumberText(int number) {
    char text[8];
    std::snprintf(text, sizeof text, "%06d", number);
    return text;
}

namespace {

using text::Msg;
namespace display = commands::display;
namespace mifare = commands::mifare;
namespace fp = commands::fingerprint;

display::TitleLine LineOf(const Invocation& run) {
    return run.titleLine == 1 ? display::TitleLine::First : display::TitleLine::Second;
}

std::optional<PageCommand> MifareCommand(const Invocation& run, PageValues& values) {
    switch (run.command) {
        case Command::SetIdLocation: {
            const commands::CardIdLocation location{
                run.sector, run.block, run.idByte, run.keySlot == mifare::KeySlot::B, run.keyError};
            return PageCommand{{Msg::SetSectorBlockByteOk, Msg::SetSectorBlockByteError},
                               [location](const commands::Session& s) {
                                   return mifare::SetCardIdLocation(s, location);
                               }};
        }
        case Command::StoreKey:
            return PageCommand{
                {Msg::SetKeyEepromOk, Msg::SetKeyEepromError}, [&run](const commands::Session& s) {
                    return mifare::WriteKeyToEeprom(s, run.sector, run.keySlot, run.key);
                }};
        case Command::WriteTrailer: {
            const mifare::SectorTrailerWrite write{run.sector, run.keySlot, run.oldKey,
                                                   run.keyA,   run.access,  run.keyB};
            return PageCommand{{Msg::SetCardKeyOk, Msg::SetCardKeyError},
                               [write](const commands::Session& s) {
                                   return mifare::WriteSectorTrailer(s, write);
                               }};
        }
        case Command::ReadBlock: {
            const mifare::BlockRead read{run.sector, run.block, run.keySlot, run.eeprom, run.key};
            return PageCommand{{Msg::ReadCardDataOk, Msg::ReadCardDataError},
                               [read, &values](const commands::Session& s) {
                                   values.block = mifare::ReadBlock(s, read);
                                   return values.block.has_value();
                               }};
        }
        case Command::WriteBlock: {
            const mifare::BlockWrite write{run.sector, run.block, run.keySlot, run.key, run.data};
            return PageCommand{{Msg::WriteCardDataOk, Msg::WriteCardDataError},
                               [write, &values](const commands::Session& s) {
                                   if (!mifare::WriteBlock(s, write)) return false;
                                   values.block =
                                       mifare::BlockReplyData(s.Reply(), s.ReplyLength());
                                   return values.block.has_value();
                               }};
        }
        default:
            return std::nullopt;
    }
}

std::optional<PageCommand> DisplayCommand(const Invocation& run, const display::ClockValue& clock,
                                          PageValues& values) {
    const display::TextCodePage page = display::CodePageOfLanguage(run.codePage);
    switch (run.command) {
        case Command::DisplayLanguage:
            return PageCommand{{Msg::SetLanguageOk, Msg::SetLanguageError},
                               [&run](const commands::Session& s) {
                                   return display::SetDisplayLanguage(s, run.displayLanguage);
                               }};
        case Command::DisplayPassword:
            return PageCommand{{Msg::SetPasswordOk, Msg::SetPasswordError},
                               [&run](const commands::Session& s) {
                                   return display::SetDisplayPassword(s, run.text);
                               }};
        case Command::DisplayScreenMode:
            return PageCommand{{Msg::SetScreenModeOk, Msg::SetScreenModeError},
                               [&run](const commands::Session& s) {
                                   return display::SetScreenMode(s, run.screenMode);
                               }};
        case Command::DisplayClock:
            return PageCommand{{Msg::SetTimeModeOk, Msg::SetTimeModeError},
                               [&run, clock](const commands::Session& s) {
                                   return display::SetClock(s, clock, run.hourFormat);
                               }};
        case Command::SmallMessage:
            return PageCommand{{Msg::SetSmallMessageOk, Msg::SetSmallMessageError},
                               [&run, page](const commands::Session& s) {
                                   return display::SetSmallMessage(s, run.text, page);
                               }};
        case Command::ScreenMessage:
            return PageCommand{{Msg::SetScreenMessageOk, Msg::SetScreenMessageError},
                               [&run, page](const commands::Session& s) {
                                   return display::SetScreenMessage(s, run.text, page);
                               }};
        // The window's clear button reports with the title messages.
        case Command::ClearScreenMessage:
            return PageCommand{
                {Msg::SetTitleOk, Msg::SetTitleError},
                [](const commands::Session& s) { return display::ClearScreenMessage(s); }};
        case Command::Title:
            return PageCommand{{Msg::SetTitleOk, Msg::SetTitleError},
                               [&run, page](const commands::Session& s) {
                                   return display::SetTitle(s, LineOf(run), run.text, page);
                               }};
        case Command::ClearTitle:
            return PageCommand{
                {Msg::SetTitleOk, Msg::SetTitleError},
                [&run](const commands::Session& s) { return display::ClearTitle(s, LineOf(run)); }};
        case Command::TitleMode:
            return PageCommand{
                {Msg::SetTitleModeOk, Msg::SetTitleModeError}, [&run](const commands::Session& s) {
                    return display::SetTitleMode(s, static_cast<display::TitleMode>(run.titleMode));
                }};
        case Command::TitleIcon:
            return PageCommand{
                {Msg::SetIconOk, Msg::SetIconError}, [&run, &values](const commands::Session& s) {
                    // Read afresh for each attempt, as the window reads the file it
                    // chose.
                    const auto outcome = display::SetTitleIcon(s, [&] {
                        const auto read =
                            pictures::ReadTitlePicture(QFile::decodeName(run.iconPath.c_str()));
                        const auto* icon = std::get_if<display::IconBitmap>(&read);
                        values.iconUnreadable = !icon;
                        return icon ? std::optional(*icon) : std::nullopt;
                    });
                    return outcome == display::IconOutcome::Sent;
                }};
        default:
            return std::nullopt;
    }
}

std::optional<PageCommand> FingerprintCommand(const Invocation& run, PageValues& values) {
    const std::string finger = FingerNumberText(run.fingerNumber);
    switch (run.command) {
        case Command::FacilityCode: {
            char code[8];
            std::snprintf(code, sizeof code, "%05d", run.facilityCode);
            return PageCommand{{Msg::SetFacilityCodeOk, Msg::SetFacilityCodeError},
                               [facility = std::string(code)](const commands::Session& s) {
                                   return fp::SetFacilityCode(s, facility);
                               }};
        }
        case Command::AddFinger:
            return PageCommand{
                {Msg::AddFingerprintOk, Msg::AddFingerprintError},
                [finger](const commands::Session& s) { return fp::AddFingerprint(s, finger); }};
        case Command::DeleteFinger:
            return PageCommand{
                {Msg::DelFingerprintOk, Msg::DelFingerprintError},
                [finger](const commands::Session& s) { return fp::DeleteFingerprint(s, finger); }};
        case Command::GetFingerId:
            return PageCommand{{Msg::GetFingerprintIdOk, Msg::GetFingerprintIdError},
                               [finger, &values](const commands::Session& s) {
                                   values.fingerId = fp::GetFingerprintId(s, finger);
                                   return values.fingerId.has_value();
                               }};
        case Command::SetFingerId:
            return PageCommand{{Msg::SetFingerprintIdOk, Msg::SetFingerprintIdError},
                               [finger, &run](const commands::Session& s) {
                                   return fp::SetFingerprintId(s, finger, run.fingerId);
                               }};
        case Command::ScanMode:
            return PageCommand{
                {Msg::SetFingerprintScanModeOk, Msg::SetFingerprintScanModeError},
                [&run](const commands::Session& s) { return fp::SetScanMode(s, run.scanMode); }};
        case Command::GetTemplate:
            return PageCommand{{Msg::GetTemplateDataOk, Msg::GetTemplateDataError},
                               [finger, &values](const commands::Session& s) {
                                   values.template_ = fp::GetTemplate(s, finger);
                                   return values.template_.ok;
                               }};
        case Command::PutTemplate:
            return PageCommand{{Msg::SetTemplateDataOk, Msg::SetTemplateDataError},
                               [finger, &values](const commands::Session& s) {
                                   values.templatePut =
                                       fp::PutTemplate(s, finger, values.templateParts);
                                   return values.templatePut == fp::TemplatePut::Written;
                               }};
        case Command::StandAlone:
            return PageCommand{{Msg::SetStandAloneModeOk, Msg::SetStandAloneModeError},
                               [](const commands::Session& s) { return fp::SetStandAloneMode(s); }};
        case Command::DoorTime:
            return PageCommand{
                {Msg::SetDoorTimeOk, Msg::SetDoorTimeError},
                [&run](const commands::Session& s) { return fp::SetDoorTime(s, run.seconds); }};
        case Command::AlarmTime:
            return PageCommand{
                {Msg::SetAlarmTimeOk, Msg::SetAlarmTimeError},
                [&run](const commands::Session& s) { return fp::SetAlarmTime(s, run.seconds); }};
        case Command::AddCard:
            return PageCommand{{Msg::SetAddCardOk, Msg::SetAddCardError},
                               [](const commands::Session& s) { return fp::SetAddCard(s); }};
        case Command::DuressCard:
            return PageCommand{{Msg::SetDuressCardOk, Msg::SetDuressCardError},
                               [](const commands::Session& s) { return fp::SetDuressCard(s); }};
        case Command::ClearCard:
            return PageCommand{{Msg::SetClearCardOk, Msg::SetClearCardError},
                               [](const commands::Session& s) { return fp::SetClearCard(s); }};
        case Command::StandAloneDefault:
            return PageCommand{{Msg::SetStandAloneDefaultOk, Msg::SetStandAloneDefaultError},
                               [](const commands::Session& s) { return fp::StandAloneDefault(s); }};
        default:
            return std::nullopt;
    }
}

}  // namespace

std::optional<PageCommand> PageCommandFor(const Invocation& run, const display::ClockValue& clock,
                                          PageValues& values) {
    switch (run.command) {
        case Command::Reboot:
            return PageCommand{{Msg::SetRebootOk, Msg::SetRebootError},
                               [](const commands::Session& s) { return commands::Reboot(s); }};
        case Command::FactoryDefault:
            return PageCommand{{Msg::SetFactoryDefaultOk, Msg::SetFactoryDefaultError},
                               [&run, &values](const commands::Session& s) {
                                   commands::FactoryDefaultHooks hooks;
                                   hooks.readdressed = [&values](const std::string& id) {
                                       values.newId = id;
                                   };
                                   return commands::FactoryDefault(
                                       s, commands::Info(run.readerType()).factoryDefault, hooks);
                               }};
        default:
            break;
    }
    if (auto page = MifareCommand(run, values)) return page;
    if (auto page = FingerprintCommand(run, values)) return page;
    return DisplayCommand(run, clock, values);
}

}  // namespace cli
