// The five settings that survive between runs, in the machine-wide store.
#include "app/MainArea.h"
#include "app/TfrmModule.h"
#include "app/widgets/ReaderTypeRow.h"
#include "link/LineSettingsList.h"

namespace app {
namespace {

constexpr char kType[] = "Type";
constexpr char kScanCommNo[] = "ScanCommNo";
constexpr char kScanBaudRate[] = "ScanBaudRate";
constexpr char kScanBaudRateNo[] = "ScanBaudRateNo";
constexpr char kLanguageFlag[] = "LanguageFlag";

const QString kSection = QString::fromLatin1(platform::SettingsStore::kProgramSection);

// A missing value takes its default; any other failure ends the load there.
bool Continue(platform::StoreStatus status) {
    return status == platform::StoreStatus::Ok || status == platform::StoreStatus::Missing;
}

}  // namespace

void TfrmModule::LoadSettings() {
    const platform::SettingsStore& store = *services_.store;
    const auto type = store.readInt(kSection, kType);
    if (!Continue(type.status)) return;
    storedReaderType_ = type.status == platform::StoreStatus::Ok ? type.value : 0;

    const auto port = store.readInt(kSection, kScanCommNo);
    if (!Continue(port.status)) return;
    portNumber_ = port.status == platform::StoreStatus::Ok ? port.value : 0;

    const auto settings = store.readString(kSection, kScanBaudRate);
    if (!Continue(settings.status)) return;
    lineSettings_ = settings.status == platform::StoreStatus::Ok
                        ? settings.value.toStdString()
                        : tblink::kLineSettingsTexts[tblink::kDefaultLineSettingsIndex];

    const auto index = store.readInt(kSection, kScanBaudRateNo);
    if (!Continue(index.status)) return;
    lineSettingsIndex_ =
        index.status == platform::StoreStatus::Ok ? index.value : tblink::kDefaultLineSettingsIndex;
    // An index outside the list may pick no entry; the stored text still opens the port.
    if (!tblink::IsLineSettingsIndex(lineSettingsIndex_))
        lineSettingsIndex_ = tblink::kDefaultLineSettingsIndex;

    const auto name = store.readString(kSection, kLanguageFlag);
    if (!Continue(name.status)) return;
    languageName_ =
        name.status == platform::StoreStatus::Ok ? name.value : text::LanguageName(text::kEnglish);
    language_ = text::LanguageFromName(languageName_);
}

void TfrmModule::SaveSettings() {
    services_.store->write({
        {kSection, kType, static_cast<std::int32_t>(main_->pcReader->currentIndex())},
        {kSection, kScanCommNo, static_cast<std::int32_t>(portNumber_)},
        {kSection, kScanBaudRateNo, static_cast<std::int32_t>(lineSettingsIndex_)},
        {kSection, kScanBaudRate, QString::fromStdString(lineSettings_)},
    });
}

void TfrmModule::SaveLanguage() {
    services_.store->writeString(kSection, kLanguageFlag, languageName_);
}

}  // namespace app
