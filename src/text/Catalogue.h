// The message catalogue: every text the window shows, in English, Simplified Chinese and
// Traditional Chinese; tagbench-cli prints the English ones. An entry is named after its English
// text, or after its use when the text is long (ReasonRefused, AdviceRefused); the window and
// tagbench-cli name entries only through Msg, so each text lives in one place (Catalogue.cpp,
// one row per entry). The catalogue is read-only and complete: every entry has all three texts,
// with no fallback.
//
// Texts are Unicode here; they become code-page bytes only where they leave the program
// (platform/CodePage.h).
#pragma once

#include <QString>

namespace text {

// Language index, as the window state and the stored language name use it.
constexpr int kEnglish = 0;
constexpr int kSimplifiedChinese = 1;
constexpr int kTraditionalChinese = 2;
constexpr int kLanguageCount = 3;

// One enumerator per entry, in catalogue order.
enum class Msg : int {
    // Window, menus, discovery and settings read-out
    FontName,     // the window font: "Courier New", "宋体", "細明體"
    WindowTitle,  // "Tag Bench D0542"
    OpenCom,
    Error,
    SerialNumber,      // "S/N"
    Version,           // "VER"
    MenuLanguage,      // "&Language"
    MenuFile,          // "&File"
    MenuSetup,         // "&Setup"
    MenuExit,          // "E&xit"
    LanguageMenuItem,  // "&English": the language menu items
    PleaseWaiting,
    ScanReader,
    LinkReader,
    ScanCom,
    SerialPort,
    ReaderFindOk,
    ReaderDataError,
    ReaderNotFind,
    StartSelectReaderType,
    GetSettingData,
    GetSettingDataOk,
    GetSettingDataError,

    // Identity, line and output
    Id,
    SetId,
    SetIdOk,
    SetIdError,
    BaudRate,
    Lock,
    SetReaderBaudRate,
    SetReaderBaudRateOk,  // "Set Reader baud rate ok."
    SetReaderBaudRateError,
    Get,
    Interface,
    Wiegand,
    SetReaderInterface,
    SetReaderInterfaceOk,
    SetReaderInterfaceError,
    GetReaderInterface,
    GetReaderInterfaceOk,
    GetReaderInterfaceError,

    // Card reading
    ResetMode,
    SetCardReadMode,
    SetCardReadModeOk,
    SetCardReadModeError,
    CancelReadCard,
    CardId,
    ReadCard,
    ReadCardTwoWay,
    Invalid,
    CardType,
    SetCardType,
    SetCardTypeOk,
    SetCardTypeError,

    // Keypad settings
    WiegandKey,
    SetKeyParity,
    SetKeyParityOk,
    SetKeyParityError,
    GetKeyParity,
    GetKeyParityOk,
    GetKeyParityError,
    KeyNumber,
    SetKeyNumber,
    SetKeyNumberOk,
    SetKeyNumberError,
    GetKeyNumber,
    GetKeyNumberOk,
    GetKeyNumberError,
    DelayTime,
    Sec,  // "Sec"
    SetKeyStatusCode,
    SetKeyStatusCodeOk,
    SetKeyStatusCodeError,
    GetKeyStatusCode,
    GetKeyStatusCodeOk,
    GetKeyStatusCodeError,

    // Function pages, command test and system utility
    SpecialSetting,
    Common,
    Keypad,
    CommandTest,
    CommandTestOk,
    CommandTestError,
    SystemUtility,
    SetReboot,
    SetRebootOk,
    SetRebootError,
    Default,
    SetFactoryDefault,
    SetFactoryDefaultOk,
    SetFactoryDefaultError,

    // MIFARE card functions
    Sector,
    Block,
    Byte,
    Key,  // "Key:"
    OldKey,
    NewKey,
    KeyA,
    KeyB,
    KeyErrorMsg,
    CardIdSectorBlockByte,
    SetSectorBlockByte,
    SetSectorBlockByteOk,
    SetSectorBlockByteError,
    WriteKeyToEeprom,
    SetKeyEeprom,
    SetKeyEepromOk,
    SetKeyEepromError,
    WriteKeyToCard,
    SetCardKey,
    SetCardKeyOk,
    SetCardKeyError,
    CardDataReadWriteTest,
    WriteCardData,
    WriteCardDataOk,
    WriteCardDataError,
    ReadCardData,
    ReadCardDataOk,
    ReadCardDataError,
    MifareCardFormat,

    // Display terminal
    Display,
    SystemParameterSetting,
    SetLanguage,
    SetLanguageOk,
    SetLanguageError,
    Password,
    SetPassword,
    SetPasswordOk,
    SetPasswordError,
    SetScreenMode,
    SetScreenModeOk,
    SetScreenModeError,
    SetTimeMode,
    SetTimeModeOk,
    SetTimeModeError,
    SetSmallMessage,
    SetSmallMessageOk,
    SetSmallMessageError,
    SetScreenMessage,
    SetScreenMessageOk,
    SetScreenMessageError,
    TitleIdleMessage,  // "Title idel message"
    ScreenSmallMessage,
    SetTitleMode,
    SetTitleModeOk,
    SetTitleModeError,
    SetIcon,
    SetIconOk,
    SetIconError,
    SetTitle,
    SetTitleOk,
    SetTitleError,
    SampleSmallMessage,   // 64 bytes
    SampleScreenMessage,  // 128 bytes
    Blank128,             // 128 spaces
    SampleTitle,          // "Office Door     ", 16 bytes
    Blank16,              // 16 spaces

    // Fingerprint reader and stand-alone door controller
    Fingerprint,
    FacilityCodeAddFingerprint,
    SetFacilityCode,
    SetFacilityCodeOk,
    SetFacilityCodeError,
    FingerprintNo,
    FingerprintId,
    AddFingerprint,
    AddFingerprintOk,
    AddFingerprintError,
    DelFingerprint,
    DelFingerprintOk,
    DelFingerprintError,
    GetFingerprintId,
    GetFingerprintIdOk,
    GetFingerprintIdError,  // "Get fingerprint IDe error!"
    SetFingerprintId,
    SetFingerprintIdOk,
    SetFingerprintIdError,
    SetTemplateData,
    SetTemplateDataOk,
    SetTemplateDataError,
    GetTemplateData,
    GetTemplateDataOk,
    GetTemplateDataError,
    StandAloneVersion,
    SecDot,  // "Sec."
    SetFingerprintScanMode,
    SetScanMode,
    SetFingerprintScanModeOk,
    SetFingerprintScanModeError,
    SetStandAloneMode,
    SetStandAloneModeOk,
    SetStandAloneModeError,
    SetDoorTime,
    SetDoorTimeOk,
    SetDoorTimeError,
    SetAlarmTime,
    SetAlarmTimeOk,
    SetAlarmTimeError,
    SetAddCard,
    SetAddCardOk,
    SetAddCardError,
    SetDuressCard,
    SetDuressCardOk,
    SetDuressCardError,
    SetClearCard,
    SetClearCardOk,
    SetClearCardError,
    StandAloneDefault,
    SetStandAloneDefaultOk,
    SetStandAloneDefaultError,

    // Title icon: why the chosen file gave no icon (shown in the status bar beside its name)
    CannotOpenFile,
    NotAPictureFile,

    // Card key page: the red notice beside an access-bits text that would harm the sector
    AccessBitsInvalid,        // the inverted copies disagree
    AccessBitsLockedForGood,  // no key may ever write the access bits again
    AccessBitsIncomplete,     // not (yet) 8 upper-case hexadecimal digits

    // An edit box whose text goes to a reader took no more: its limit (%1) in the status bar
    ReaderTextLimited,

    // Fingerprint template files (Save template..., Load template...). A failed load or save
    // shows its error entry followed by a space and the reason entry.
    SaveTemplate,
    LoadTemplate,
    SaveTemplateOk,
    SaveTemplateError,
    LoadTemplateOk,
    LoadTemplateError,
    TemplateFileUnreadable,
    TemplateFileUnwritable,
    TemplateFileNotTemplate,
    TemplateFileBadFingerNo,
    TemplateFileBadPart,
    TemplateFilePartTooLong,

    // File dialogs: the kinds of file offered besides the icon files
    Pictures,
    FingerprintTemplates,
    AllFiles,

    // Frame history and port diagnostics: the View menu, the history window, the outcomes of
    // its rows, and why a port would not open (reason and advice; %1 is the device).
    MenuView,
    MenuFrameHistory,
    FrameHistoryTitle,
    ClearFrames,
    SaveFrames,
    SaveFramesFilter,
    FramesSaved,
    FramesNotSaved,
    ColumnTime,
    ColumnCommand,
    ColumnPort,
    ColumnDevice,
    ColumnLineSettings,
    ColumnSent,
    ColumnReceived,
    ColumnOutcome,
    ColumnReplyMs,
    OutcomeOk,
    OutcomeWrongChecksum,
    OutcomeSilence,
    OutcomeLineGone,
    OutcomeOverflow,
    OutcomeNotOpen,
    OutcomeTooLong,
    PortOpened,
    PortClosed,
    PortDidNotOpen,
    ReasonNotMapped,
    AdviceNotMapped,
    ReasonNoSuchDevice,
    AdviceNoSuchDevice,
    ReasonPermissionNotMember,
    AdvicePermissionNotMember,
    ReasonPermissionNotActive,
    AdvicePermissionNotActive,
    ReasonPermissionOwnerOnly,
    AdvicePermissionOwnerOnly,
    ReasonHeldByNamed,
    AdviceHeldByNamed,
    ReasonHeldByUnknown,
    AdviceHeldByUnknown,
    ReasonHeldHere,
    AdviceHeldHere,
    ReasonNotATerminal,
    AdviceNotATerminal,
    ReasonVanished,
    AdviceVanished,
    ReasonHungUp,
    AdviceHungUp,
    ReasonStalled,
    AdviceStalled,
    ReasonBadLineSettings,
    AdviceBadLineSettings,
    ReasonOther,
    AdviceOther,
    ReasonBadAddress,
    AdviceBadAddress,
    ReasonHostNotFound,
    AdviceHostNotFound,
    ReasonRefused,
    AdviceRefused,
    ReasonUnreachable,
    AdviceUnreachable,
    ReasonNoAnswer,
    AdviceNoAnswer,
    ReasonDropped,
    AdviceDropped,
    ReasonNotNegotiated,
    AdviceNotNegotiated,

    // The Help menu and its About box (%1 the version).
    MenuHelp,
    MenuAbout,
    AboutTitle,
    AboutText,

    // Why a text is not sent to a reader (the status bar shows it; nothing goes out). %1 is the
    // character, %2 its U+ code, %3 the code page; %1 of the template texts is the part number.
    CannotSendCharacter,
    TemplatePartEmpty,
    TemplatePartTooLong,
    TemplatePartSplitsFrame,

    // tagbench-cli: what was seen when no reader answered, beside "Reader not find"
    CauseChecksum,      // %1 replies
    CauseOtherType,     // %1 the reader type whose start character was answered
    CauseFastLine,      // %1 the line settings that were answered, %2 their index
    CauseFastLineScan,  // the same, for the scan, which never walks them
    // A port map entry of TAGBENCH_PORTS that is left out (%1 as written)
    PortsItemMalformed,
    // A line-settings change refused on a socket:// port (%1 the COM name)
    SocketLineFixed,
    // Reader profiles: the File menu's two items, the refusals of a profile, the change list
    // and the outcome list (%1 a setting's name or a line number).
    MenuSaveProfile,
    MenuApplyProfile,
    ReaderProfiles,
    ProfileWithSecrets,
    ProfileWithIdentity,
    ProfileSaved,
    ProfileDamaged,
    ProfileFormat,
    ProfileOtherType,
    ProfileUnknownSetting,
    ProfileBadValue,
    ProfileChanges,
    ProfileNothingToChange,
    ProfileIdentityConfirm,
    ProfileOutcome,
    ColumnSetting,
    ColumnNow,
    ColumnThen,
    StatusChanged,
    StatusUnchanged,
    StatusFailed,
    StatusNotSent,
    NotReported,
    Count  // not an entry
};

constexpr int kMsgCount = static_cast<int>(Msg::Count);

// The entry's text in a language (0 English, 1 Simplified, 2 Traditional Chinese). An
// unknown language index reads English. Notes on particular entries:
// - LanguageMenuItem: each language menu item shows its own language's text of this entry,
//   whatever the current language.
// - ReaderFindOk and ReaderDataError end in "(COM" and are shown followed by " : #", the port
//   number and ")"; ScanCom is followed by " : #" and the port number.
// - Key, KeyA, KeyB, Blank128 and Blank16 are the same in every language.
// - The samples are 64, 128 and 16 bytes long in the language's code page; nothing sends them.
QString Text(Msg msg, int language);

// The window font of a language: family from the FontName entry, point size, and the
// character set number the original platform knew it by (0 ANSI, 134 GB2312, 136 Big5).
struct LanguageFont {
    QString family;
    int pointSize;
    int charset;
};
LanguageFont FontOf(int language);

// The stored language name: "English", "ChineseGB", "ChineseBIG5".
QString LanguageName(int language);
// Exact, case-sensitive: "ChineseGB" gives 1, "ChineseBIG5" 2, any other text 0.
int LanguageFromName(const QString& name);

}  // namespace text
