// Applying a language to the whole window, and the three language menu items.
#include <QAbstractButton>
#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QStackedWidget>
#include <QTabWidget>

#include <QComboBox>

#include "app/Controls.h"
#include "app/MainArea.h"
#include "app/TfrmModule.h"
#include "app/history/FrameHistoryWindow.h"

namespace app {
namespace {

using text::Msg;

struct Caption {
    const char* control;
    Msg msg;
    const char* suffix;
};

// Every caption taken from the catalogue, in the order they are set; the controls are built
// with the English one.
const Caption kCaptions[] = {
    {"lblID", Msg::Id, ":"},
    {"lblCom", Msg::SerialPort, ":"},
    {"btnScan", Msg::ScanReader, ""},
    {"btnLink", Msg::LinkReader, ""},
    {"btnID", Msg::SetId, ""},
    {"chkLock", Msg::Lock, ""},
    {"btnBaudRate", Msg::SetReaderBaudRate, ""},
    {"btnReadCard", Msg::ReadCard, ""},
    {"btnEncode", Msg::ReadCardTwoWay, ""},
    {"chkInvalid", Msg::Invalid, ""},
    {"btnFactory", Msg::SetFactoryDefault, ""},
    {"gbOther", Msg::SpecialSetting, ""},
    {"tsCommand", Msg::Common, ""},
    {"gbMode", Msg::SetReaderInterface, ""},
    {"btnMode", Msg::SetReaderInterface, ""},
    {"btnGetMode", Msg::Get, ""},
    {"lblInterface", Msg::Interface, ""},
    {"lblWiegand", Msg::Wiegand, ""},
    {"gbTest", Msg::CommandTest, ""},
    {"btnTest", Msg::CommandTest, ""},
    {"btnTest2", Msg::CommandTest, ""},
    {"gbCardRead", Msg::SetCardReadMode, ""},
    {"btnCardRead", Msg::SetCardReadMode, ""},
    {"lblResetMode", Msg::ResetMode, ":"},
    {"gbUtility", Msg::SystemUtility, ""},
    {"btnReboot", Msg::SetReboot, ""},
    {"gbCardType", Msg::SetCardType, ""},
    {"lblCardType", Msg::CardType, ""},
    {"btnCardType", Msg::SetCardType, ""},
    {"tsKeypad", Msg::Keypad, ""},
    {"gbKeyParity", Msg::SetKeyParity, ""},
    {"lblKeyParity", Msg::WiegandKey, ""},
    {"btnKeyParity", Msg::SetKeyParity, ""},
    {"gbKeyNumber", Msg::SetKeyNumber, ""},
    {"lblKeyNumber", Msg::KeyNumber, ""},
    {"btnKeyNumber", Msg::SetKeyNumber, ""},
    {"gbKeyStatus", Msg::SetKeyStatusCode, ""},
    {"lblKeyStatusNumber", Msg::KeyNumber, ""},
    {"lblKeyDelayTime", Msg::DelayTime, ""},
    {"lblKeySec", Msg::Sec, ""},
    {"btnKeyStatus", Msg::SetKeyStatusCode, ""},
    {"btnGetKeyNumber", Msg::Get, ""},
    {"btnGetKeyParity", Msg::Get, ""},
    {"btnGetKeyStatus", Msg::Get, ""},
    {"gbM1IDSector", Msg::CardIdSectorBlockByte, ""},
    {"lblM1IDSector", Msg::Sector, ""},
    {"lblM1IDBlock", Msg::Block, ""},
    {"lblM1IDByte", Msg::Byte, ""},
    {"btnM1IDSector", Msg::SetSectorBlockByte, ""},
    {"rbM1IDKeyA", Msg::KeyA, ""},
    {"rbM1IDKeyB", Msg::KeyB, ""},
    {"rbM1KeyA", Msg::KeyA, ""},
    {"rbM1KeyB", Msg::KeyB, ""},
    {"rbM1RWKeyA", Msg::KeyA, ""},
    {"rbM1RWKeyB", Msg::KeyB, ""},
    {"rbM1CardKeyA", Msg::KeyA, ""},
    {"rbM1CardKeyB", Msg::KeyB, ""},
    {"lblM1IDErr", Msg::KeyErrorMsg, ""},
    {"gbM1E2", Msg::WriteKeyToEeprom, ""},
    {"lblM1E2Sector", Msg::Sector, ""},
    {"lblM1E2Key", Msg::Key, ""},
    {"btnM1Key", Msg::SetKeyEeprom, ""},
    {"gbM1RW", Msg::CardDataReadWriteTest, ""},
    {"lblM1Sector", Msg::Sector, ""},
    {"lblM1Block", Msg::Block, ""},
    {"lblM1Write", Msg::WriteCardData, ""},
    {"btnM1Write", Msg::WriteCardData, ""},
    {"lblM1Read", Msg::ReadCardData, ""},
    {"btnM1Read", Msg::ReadCardData, ""},
    {"gbM1Key", Msg::WriteKeyToCard, ""},
    {"lblM1CardSector", Msg::Sector, ""},
    {"gbCardKeyOld", Msg::OldKey, ""},
    {"gbM1NewCardKey", Msg::NewKey, ""},
    {"btnM1CardKey", Msg::SetCardKey, ""},
    {"tsDisplay", Msg::Display, ""},
    {"gbDisplaySystem", Msg::SystemParameterSetting, ""},
    {"btnLanguage", Msg::SetLanguage, ""},
    {"btnPassword", Msg::SetPassword, ""},
    {"lblPassword", Msg::Password, ""},
    {"btnScreen", Msg::SetScreenMode, ""},
    {"btnDateTime", Msg::SetTimeMode, ""},
    {"gbDisplayTitle", Msg::TitleIdleMessage, ""},
    {"btnSetTitleMode", Msg::SetTitleMode, ""},
    {"btnTitleIcon", Msg::SetIcon, ""},
    {"btnSetTitle1", Msg::SetTitle, " #1"},
    {"btnSetTitle2", Msg::SetTitle, " #2"},
    {"gbSmallMessage", Msg::ScreenSmallMessage, ""},
    {"btnScreenMessage", Msg::SetScreenMessage, ""},
    {"btnSmallMessage", Msg::SetSmallMessage, ""},
    {"tsFingerprint", Msg::Fingerprint, ""},
    {"gbFacilityFinger", Msg::FacilityCodeAddFingerprint, ""},
    {"btnFingerFacility", Msg::SetFacilityCode, ""},
    {"gbFingerprint", Msg::Fingerprint, ""},
    {"lblFingerNo", Msg::FingerprintNo, ""},
    {"btnAddFinger", Msg::AddFingerprint, ""},
    {"btnDelFinger", Msg::DelFingerprint, ""},
    {"lblCardIDFinger", Msg::FingerprintId, ""},
    {"btnGetFingerID", Msg::GetFingerprintId, ""},
    {"btnSetFingerID", Msg::SetFingerprintId, ""},
    {"btnPutTemplate", Msg::SetTemplateData, ""},
    {"btnGetTemplate", Msg::GetTemplateData, ""},
    {"btnSaveTemplate", Msg::SaveTemplate, ""},
    {"btnLoadTemplate", Msg::LoadTemplate, ""},
    {"gbFingerScan", Msg::SetFingerprintScanMode, ""},
    {"btnFingerScan", Msg::SetScanMode, ""},
    {"gbStandFinger", Msg::StandAloneVersion, ""},
    {"btnStandFinger", Msg::SetStandAloneMode, ""},
    {"btnDoorFinger", Msg::SetDoorTime, ""},
    {"lblDoorFingerSec", Msg::SecDot, ""},
    {"btnAlarmFinger", Msg::SetAlarmTime, ""},
    {"lblAlarmFingerSec", Msg::SecDot, ""},
    {"btnSetCardFinger", Msg::SetAddCard, ""},
    {"btnDuressFinger", Msg::SetDuressCard, ""},
    {"btnClrCardFinger", Msg::SetClearCard, ""},
    {"btnStandFingerDefault", Msg::StandAloneDefault, ""},
};

QString CaptionText(const Caption& caption, int language) {
    return text::Text(caption.msg, language) + QString::fromLatin1(caption.suffix);
}

}  // namespace

QString CaptionIn(const char* name, int language) {
    for (const Caption& caption : kCaptions)
        if (qstrcmp(caption.control, name) == 0) return CaptionText(caption, language);
    return {};
}

QString EnglishCaption(const char* name) { return CaptionIn(name, text::kEnglish); }

QList<const char*> TranslatedControls() {
    QList<const char*> names;
    for (const Caption& caption : kCaptions) names << caption.control;
    return names;
}

void TfrmModule::applyCaptions() {
    for (const Caption& caption : kCaptions) {
        if (auto* control = findChild<QWidget*>(QString::fromLatin1(caption.control)))
            SetCaption(control, CaptionText(caption, language_));
    }
    // A running card loop's button stays its stop button, in the new language.
    if (cardLoopButton_) SetCaption(cardLoopButton_, Msg(Msg::CancelReadCard));
    edM1CardKeyAccessChange();  // the notice, if any, in the new language
}

void TfrmModule::FormShow() {
    const int language = language_;
    mnuEnglish->setChecked(language == text::kEnglish);
    mnuSimplified->setChecked(language == text::kSimplifiedChinese);
    mnuTraditional->setChecked(language == text::kTraditionalChinese);

    const text::LanguageFont font = text::FontOf(language);
    QFont windowFont(font.family, font.pointSize);
    setFont(windowFont);
    setProperty("charset", font.charset);

    setWindowTitle(Msg(Msg::WindowTitle));
    mnuLanguage->setText(Msg(Msg::MenuLanguage));
    mnuEnglish->setText(text::Text(Msg::LanguageMenuItem, text::kEnglish));
    mnuSimplified->setText(text::Text(Msg::LanguageMenuItem, text::kSimplifiedChinese));
    mnuTraditional->setText(text::Text(Msg::LanguageMenuItem, text::kTraditionalChinese));
    mnuFile->setText(Msg(Msg::MenuFile));
    mnuExit->setText(Msg(Msg::MenuExit));
    mnuSaveProfile->setText(Msg(Msg::MenuSaveProfile));
    mnuApplyProfile->setText(Msg(Msg::MenuApplyProfile));
    mnuView->setText(Msg(Msg::MenuView));
    mnuFrameHistory->setText(Msg(Msg::MenuFrameHistory));
    mnuHelp->setText(Msg(Msg::MenuHelp));
    mnuAbout->setText(Msg(Msg::MenuAbout));
    if (frmFrameHistory_) frmFrameHistory_->applyLanguage(language);

    ShowMessage(Msg::StartSelectReaderType);
    main_->pnSerial->setText(Msg(Msg::SerialNumber) + " : ________");
    main_->pnVersion->setText(Msg(Msg::Version) + " : __.__-__");

    applyCaptions();
    ApplyAccessibleNames(this);
    main_->cmbBaudRate->setAccessibleName(Msg(Msg::BaudRate));  // no label of its own
    pcReaderChange();
    fixClientSize();
}

void TfrmModule::switchLanguage(int language) {
    language_ = language;
    languageName_ = text::LanguageName(language);
    SaveLanguage();
    FormShow();
}

void TfrmModule::mnuEnglishClick() { switchLanguage(text::kEnglish); }
void TfrmModule::mnuSimplifiedClick() { switchLanguage(text::kSimplifiedChinese); }
void TfrmModule::mnuTraditionalClick() { switchLanguage(text::kTraditionalChinese); }

}  // namespace app
