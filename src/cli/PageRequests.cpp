#include "cli/PageRequests.h"

#include <QString>

#include "actions/Requests.h"
#include "commands/display/TitleIcon.h"

namespace cli {
namespace {

namespace display = commands::display;
namespace mifare = commands::mifare;

// Keys, access bits and block data as the window's upper-case edit boxes hold them.
actions::TypedText Upper(const std::string& text) {
    return {QString::fromUtf8(text.c_str()).toUpper(), kCodePage1252};
}

actions::TypedText Typed(const std::string& text, int codePage) {
    return {QString::fromUtf8(text.c_str()), codePage};
}

display::TitleLine LineOf(const Invocation& run) {
    return run.titleLine == 1 ? display::TitleLine::First : display::TitleLine::Second;
}

std::optional<actions::Request> MifareRequest(const Invocation& run, PageValues& values) {
    const actions::KeyText key{run.keySlot, Upper(run.key)};
    switch (run.command) {
        case Command::SetIdLocation:
            return actions::SetIdLocation({run.sector, run.block, run.idByte,
                                           run.keySlot == mifare::KeySlot::B, run.keyError});
        case Command::StoreKey:
            return actions::StoreKey(run.sector, key);
        case Command::WriteTrailer:
            return actions::WriteTrailer({run.sector,
                                          {run.keySlot, Upper(run.oldKey)},
                                          Upper(run.keyA),
                                          Upper(run.access),
                                          Upper(run.keyB)});
        case Command::ReadBlock:
            return actions::ReadBlock(run.sector, run.block, key, run.eeprom, values.block);
        case Command::WriteBlock:
            return actions::WriteBlock(run.sector, run.block, key, Upper(run.data), values.block);
        default:
            return std::nullopt;
    }
}

std::optional<actions::Request> DisplayRequest(const Invocation& run,
                                               const display::ClockValue& clock,
                                               PageValues& values) {
    const actions::TypedText text = Typed(run.text, run.codePage);
    switch (run.command) {
        case Command::DisplayLanguage:
            return actions::DisplayLanguage(run.displayLanguage);
        case Command::DisplayPassword:
            return actions::DisplayPassword(text);
        case Command::DisplayScreenMode:
            return actions::DisplayScreenMode(run.screenMode);
        case Command::DisplayClock:
            return actions::DisplayClock(clock, run.hourFormat);
        case Command::SmallMessage:
            return actions::SmallMessage(text);
        case Command::ScreenMessage:
            return actions::ScreenMessage(text);
        case Command::ClearScreenMessage:
            return actions::ClearScreenMessage();
        case Command::Title:
            return actions::Title(LineOf(run), text);
        case Command::ClearTitle:
            return actions::ClearTitle(LineOf(run));
        case Command::TitleMode:
            return actions::TitleMode(static_cast<display::TitleMode>(run.titleMode));
        case Command::TitleIcon:
            return actions::TitleIcon([&run, &values] {
                const auto icon = display::ReadIconFile(run.iconPath);
                values.iconUnreadable = !icon;
                return icon;
            });
        default:
            return std::nullopt;
    }
}

std::optional<actions::Request> FingerprintRequest(const Invocation& run, PageValues& values) {
    const int finger = run.fingerNumber;
    switch (run.command) {
        case Command::FacilityCode:
            return actions::FacilityCode(run.facilityCode);
        case Command::AddFinger:
            return actions::AddFinger(finger);
        case Command::DeleteFinger:
            return actions::DeleteFinger(finger);
        case Command::GetFingerId:
            return actions::GetFingerId(finger, values.fingerId);
        case Command::SetFingerId:
            return actions::SetFingerId(finger, Typed(run.fingerId, kCodePage1252));
        case Command::ScanMode:
            return actions::ScanMode(run.scanMode);
        case Command::GetTemplate:
            return actions::GetTemplate(finger, values.got);
        case Command::PutTemplate:
            return actions::PutTemplate(finger, values.templateParts, values.templatePut);
        case Command::StandAlone:
            return actions::StandAlone();
        case Command::DoorTime:
            return actions::DoorTime(Typed(run.seconds, kCodePage1252));
        case Command::AlarmTime:
            return actions::AlarmTime(Typed(run.seconds, kCodePage1252));
        case Command::AddCard:
            return actions::AddCard();
        case Command::DuressCard:
            return actions::DuressCard();
        case Command::ClearCard:
            return actions::ClearCard();
        case Command::StandAloneDefault:
            return actions::StandAloneDefault();
        default:
            return std::nullopt;
    }
}

}  // namespace

actions::Request PageRequest(const Invocation& run, const display::ClockValue& clock,
                             PageValues& values) {
    if (run.command == Command::Reboot) return actions::Reboot();
    if (run.command == Command::FactoryDefault)
        return actions::FactoryDefault(run.readerType(),
                                       [&values](const std::string& id) { values.newId = id; });
    if (auto request = MifareRequest(run, values)) return *request;
    if (auto request = FingerprintRequest(run, values)) return *request;
    return *DisplayRequest(run, clock, values);
}

}  // namespace cli
