#include "text/Catalogue.h"

#include <array>
#include <cstddef>

namespace text {

namespace {

struct Row {
    Msg msg;
    std::array<const char*, kLanguageCount> texts;  // UTF-8: English, Simplified, Traditional
};

#define TB_SPACES16 "                "
constexpr char kBlank16[] = TB_SPACES16;
constexpr char kBlank128[] =
    TB_SPACES16 TB_SPACES16 TB_SPACES16 TB_SPACES16 TB_SPACES16 TB_SPACES16 TB_SPACES16 TB_SPACES16;
#undef TB_SPACES16

// Samples for the display's message fields, padded with spaces to exactly 64 and 128 bytes in
// their own code page (a Chinese character takes two bytes in GBK and Big5).
constexpr char kSmallEn[] =
    "Local team wins the city cup after a thrilling final"
    "            ";
constexpr char kSmallSc[] =
    "本地球队在精彩决赛后赢得城市杯"
    "                                  ";
constexpr char kSmallTc[] =
    "本地球隊在精彩決賽後贏得城市杯"
    "                                  ";
constexpr char kScreenEn[] =
    "City council approves the new riverside park: work starts next spring and the park opens "
    "to the public in the summer of 2027."
    "   ";
constexpr char kScreenSc[] =
    "市议会批准新的河滨公园计划,明年春季动工,公园将于2027年夏季对外开放."
    "                                                             ";
constexpr char kScreenTc[] =
    "市議會批准新的河濱公園計畫,明年春季動工,公園將於2027年夏季對外開放."
    "                                                             ";

static_assert(sizeof(kBlank16) == 16 + 1 && sizeof(kBlank128) == 128 + 1);
static_assert(sizeof(kSmallEn) == 64 + 1 && sizeof(kScreenEn) == 128 + 1);

// clang-format off
constexpr Row kRows[] = {
    // Window, menus, discovery and settings read-out
    {Msg::FontName, {"Courier New", "宋体", "細明體"}},
    {Msg::WindowTitle, {"Tag Bench D0542", "读卡机设定工具程式 D0542", "讀卡機設定工具程式 D0542"}},
    {Msg::OpenCom, {"Open COM", "开启COM", "開啟COM"}},
    {Msg::Error, {"Error", "错误", "錯誤"}},
    {Msg::SerialNumber, {"S/N", "序号", "序號"}},
    {Msg::Version, {"VER", "版本", "版本"}},
    {Msg::MenuLanguage, {"&Language", "语言(&L)", "語言(&L)"}},
    {Msg::MenuFile, {"&File", "档案(&F)", "檔案(&F)"}},
    {Msg::MenuSetup, {"&Setup", "设定(&S)", "設定(&S)"}},
    {Msg::MenuExit, {"E&xit", "离开(&X)", "離開(&X)"}},
    {Msg::LanguageMenuItem, {"&English", "&Simplified chinese(简体)", "&Traditional chinese(繁體)"}},
    {Msg::PleaseWaiting, {"Please waiting...", "请稍候...", "請稍候..."}},
    {Msg::ScanReader, {"Scan reader", "扫描读卡机", "掃描讀卡機"}},
    {Msg::LinkReader, {"Link reader", "连线读卡机", "連線讀卡機"}},
    {Msg::ScanCom, {"Scan COM", "扫描COM", "掃描COM"}},
    {Msg::SerialPort, {"Serial Port", "通讯埠", "通訊埠"}},
    {Msg::ReaderFindOk, {"Reader find ok. (COM", "读卡机连线完成. (COM", "讀卡機連線完成. (COM"}},
    {Msg::ReaderDataError, {"Reader data error! (COM", "读卡机资料错误! (COM", "讀卡機資料錯誤! (COM"}},
    {Msg::ReaderNotFind, {"Reader not find", "读卡机没有连线", "讀卡機沒有連線"}},
    {Msg::StartSelectReaderType, {"Start select reader type.", "请选择读卡机类型.", "請選擇讀卡機類型."}},
    {Msg::GetSettingData, {"Get setting data", "读取设定资料", "讀取設定資料"}},
    {Msg::GetSettingDataOk, {"Get setting data ok.", "读取设定资料完成.", "讀取設定資料完成."}},
    {Msg::GetSettingDataError, {"Get setting data error!", "读取设定资料错误!", "讀取設定資料錯誤!"}},

    // Identity, line and output
    {Msg::Id, {"ID", "识别码", "識別碼"}},
    {Msg::SetId, {"Set ID", "设定识别码(ID)", "設定識別碼(ID)"}},
    {Msg::SetIdOk, {"Set ID ok.", "设定识别码(ID)完成.", "設定識別碼(ID)完成."}},
    {Msg::SetIdError, {"Set ID error!", "设定识别码(ID)错误!", "設定識別碼(ID)錯誤!"}},
    {Msg::BaudRate, {"Baud rate", "传输速率", "傳輸速率"}},
    {Msg::Lock, {"Lock", "锁定", "鎖定"}},
    {Msg::SetReaderBaudRate, {"Set reader baud rate", "设定读卡机传输速率", "設定讀卡機傳輸速率"}},
    {Msg::SetReaderBaudRateOk, {"Set Reader baud rate ok.", "设定读卡机传输速率完成.", "設定讀卡機傳輸速率完成."}},
    {Msg::SetReaderBaudRateError, {"Set reader baud rate error!", "设定读卡机传输速率错误!", "設定讀卡機傳輸速率錯誤!"}},
    {Msg::Get, {"Get", "读取", "讀取"}},
    {Msg::Interface, {"Interface:", "介面:", "介面:"}},
    {Msg::Wiegand, {"Wiegand:", "韦根:", "韋根:"}},
    {Msg::SetReaderInterface, {"Set reader interface", "设定读卡机介面", "設定讀卡機介面"}},
    {Msg::SetReaderInterfaceOk, {"Set reader interface ok.", "设定读卡机介面完成.", "設定讀卡機介面完成."}},
    {Msg::SetReaderInterfaceError, {"Set reader interface error!", "设定读卡机介面错误!", "設定讀卡機介面錯誤!"}},
    {Msg::GetReaderInterface, {"Get reader interface", "读取读卡机介面", "讀取讀卡機介面"}},
    {Msg::GetReaderInterfaceOk, {"Get reader interface ok.", "读取读卡机介面完成.", "讀取讀卡機介面完成."}},
    {Msg::GetReaderInterfaceError, {"Get reader interface error!", "读取读卡机介面错误!", "讀取讀卡機介面錯誤!"}},

    // Card reading
    {Msg::ResetMode, {"Reset mode", "重置模式", "重置模式"}},
    {Msg::SetCardReadMode, {"Set card read mode", "设定读卡模式", "設定讀卡模式"}},
    {Msg::SetCardReadModeOk, {"Set card read mode ok.", "设定读卡模式完成.", "設定讀卡模式完成."}},
    {Msg::SetCardReadModeError, {"Set card read mode error!", "设定读卡模式错误!", "設定讀卡模式錯誤!"}},
    {Msg::CancelReadCard, {"Cancel read card", "取消读卡", "取消讀卡"}},
    {Msg::CardId, {"Card ID", "卡号", "卡號"}},
    {Msg::ReadCard, {"Read card", "读卡", "讀卡"}},
    {Msg::ReadCardTwoWay, {"Read card two-way", "双向读卡", "雙向讀卡"}},
    {Msg::Invalid, {"Invalid", "无效", "無效"}},
    {Msg::CardType, {"Card type:", "卡片类型:", "卡片類型:"}},
    {Msg::SetCardType, {"Set card type", "设定卡片类型", "設定卡片類型"}},
    {Msg::SetCardTypeOk, {"Set card type ok.", "设定卡片类型完成.", "設定卡片類型完成."}},
    {Msg::SetCardTypeError, {"Set card type error!", "设定卡片类型错误!", "設定卡片類型錯誤!"}},

    // Keypad settings
    {Msg::WiegandKey, {"Wiegand key:", "韦根按键:", "韋根按鍵:"}},
    {Msg::SetKeyParity, {"Set key parity", "设定按键同位检查", "設定按鍵同位檢查"}},
    {Msg::SetKeyParityOk, {"Set key parity ok.", "设定按键同位检查完成.", "設定按鍵同位檢查完成."}},
    {Msg::SetKeyParityError, {"Set key parity error!", "设定按键同位检查错误!", "設定按鍵同位檢查錯誤!"}},
    {Msg::GetKeyParity, {"Get key parity", "读取按键同位检查", "讀取按鍵同位檢查"}},
    {Msg::GetKeyParityOk, {"Get key parity ok.", "读取按键同位检查完成.", "讀取按鍵同位檢查完成."}},
    {Msg::GetKeyParityError, {"Get key parity error!", "读取按键同位检查错误!", "讀取按鍵同位檢查錯誤!"}},
    {Msg::KeyNumber, {"Key Number:", "按键数目:", "按鍵數目:"}},
    {Msg::SetKeyNumber, {"Set key number", "设定按键数目", "設定按鍵數目"}},
    {Msg::SetKeyNumberOk, {"Set key number ok.", "设定按键数目完成.", "設定按鍵數目完成."}},
    {Msg::SetKeyNumberError, {"Set key number error!", "设定按键数目错误!", "設定按鍵數目錯誤!"}},
    {Msg::GetKeyNumber, {"Get key number", "读取按键数目", "讀取按鍵數目"}},
    {Msg::GetKeyNumberOk, {"Get key number ok.", "读取按键数目完成.", "讀取按鍵數目完成."}},
    {Msg::GetKeyNumberError, {"Get key number error!", "读取按键数目错误!", "讀取按鍵數目錯誤!"}},
    {Msg::DelayTime, {"Delay time:", "延迟时间:", "延遲時間:"}},
    {Msg::Sec, {"Sec", "秒", "秒"}},
    {Msg::SetKeyStatusCode, {"Set key status code", "设定按键状态码", "設定按鍵狀態碼"}},
    {Msg::SetKeyStatusCodeOk, {"Set key status code ok.", "设定按键状态码完成.", "設定按鍵狀態碼完成."}},
    {Msg::SetKeyStatusCodeError, {"Set key status code error!", "设定按键状态码错误!", "設定按鍵狀態碼錯誤!"}},
    {Msg::GetKeyStatusCode, {"Get key status code", "读取按键状态码", "讀取按鍵狀態碼"}},
    {Msg::GetKeyStatusCodeOk, {"Get key status code ok.", "读取按键状态码完成.", "讀取按鍵狀態碼完成."}},
    {Msg::GetKeyStatusCodeError, {"Get key status code error!", "读取按键状态码错误!", "讀取按鍵狀態碼錯誤!"}},

    // Function pages, command test and system utility
    {Msg::SpecialSetting, {"Special setting", "特殊设定", "特殊設定"}},
    {Msg::Common, {"Common", "一般", "一般"}},
    {Msg::Keypad, {"Keypad", "键盘", "鍵盤"}},
    {Msg::CommandTest, {"Command test", "指令测试", "指令測試"}},
    {Msg::CommandTestOk, {"Command test ok.", "指令测试完成.", "指令測試完成."}},
    {Msg::CommandTestError, {"Command test error!", "指令测试错误!", "指令測試錯誤!"}},
    {Msg::SystemUtility, {"System utility", "系统工具", "系統工具"}},
    {Msg::SetReboot, {"Set reboot", "设定重新开机", "設定重新開機"}},
    {Msg::SetRebootOk, {"Set reboot ok.", "设定重新开机完成.", "設定重新開機完成."}},
    {Msg::SetRebootError, {"Set reboot error!", "设定重新开机错误!", "設定重新開機錯誤!"}},
    {Msg::Default, {"Default", "预设值", "預設值"}},
    {Msg::SetFactoryDefault, {"Set factory default", "设定出厂预设值", "設定出廠預設值"}},
    {Msg::SetFactoryDefaultOk, {"Set factory default ok.", "设定出厂预设值完成.", "設定出廠預設值完成."}},
    {Msg::SetFactoryDefaultError, {"Set factory default error!", "设定出厂预设值错误!", "設定出廠預設值錯誤!"}},

    // MIFARE card functions
    {Msg::Sector, {"Sector:", "扇区:", "扇區:"}},
    {Msg::Block, {"Block:", "区块:", "區塊:"}},
    {Msg::Byte, {"Byte:", "位元组:", "位元組:"}},
    {Msg::Key, {"Key:", "Key:", "Key:"}},
    {Msg::OldKey, {"Old key:", "旧金钥:", "舊金鑰:"}},
    {Msg::NewKey, {"New key:", "新金钥:", "新金鑰:"}},
    {Msg::KeyA, {"Key A", "Key A", "Key A"}},
    {Msg::KeyB, {"Key B", "Key B", "Key B"}},
    {Msg::KeyErrorMsg, {"Key error Msg:", "金钥错误讯息:", "金鑰錯誤訊息:"}},
    {Msg::CardIdSectorBlockByte, {"Card ID sector/block/byte", "卡号扇区/区块/位元组", "卡號扇區/區塊/位元組"}},
    {Msg::SetSectorBlockByte, {"Set sector/block/byte", "设定扇区/区块/位元组", "設定扇區/區塊/位元組"}},
    {Msg::SetSectorBlockByteOk, {"Set sector/block/byte ok.", "设定扇区/区块/位元组完成.", "設定扇區/區塊/位元組完成."}},
    {Msg::SetSectorBlockByteError, {"Set sector/block/byte error!", "设定扇区/区块/位元组错误!", "設定扇區/區塊/位元組錯誤!"}},
    {Msg::WriteKeyToEeprom, {"Write key to EEPROM", "写入金钥到EEPROM", "寫入金鑰到EEPROM"}},
    {Msg::SetKeyEeprom, {"Set key EEPROM", "设定EEPROM金钥", "設定EEPROM金鑰"}},
    {Msg::SetKeyEepromOk, {"Set key EEPROM ok.", "设定EEPROM金钥完成.", "設定EEPROM金鑰完成."}},
    {Msg::SetKeyEepromError, {"Set key EEPROM error!", "设定EEPROM金钥错误!", "設定EEPROM金鑰錯誤!"}},
    {Msg::WriteKeyToCard, {"Write key to card", "写入金钥到卡片", "寫入金鑰到卡片"}},
    {Msg::SetCardKey, {"Set card key", "设定卡片金钥", "設定卡片金鑰"}},
    {Msg::SetCardKeyOk, {"Set card key ok.", "设定卡片金钥完成.", "設定卡片金鑰完成."}},
    {Msg::SetCardKeyError, {"Set card key error!", "设定卡片金钥错误!", "設定卡片金鑰錯誤!"}},
    {Msg::CardDataReadWriteTest, {"Card data read/write test", "卡片资料读写测试", "卡片資料讀寫測試"}},
    {Msg::WriteCardData, {"Write card data", "写入卡片资料", "寫入卡片資料"}},
    {Msg::WriteCardDataOk, {"Write card data ok.", "写入卡片资料完成.", "寫入卡片資料完成."}},
    {Msg::WriteCardDataError, {"Write card data error!", "写入卡片资料错误!", "寫入卡片資料錯誤!"}},
    {Msg::ReadCardData, {"Read card data", "读取卡片资料", "讀取卡片資料"}},
    {Msg::ReadCardDataOk, {"Read card data ok.", "读取卡片资料完成.", "讀取卡片資料完成."}},
    {Msg::ReadCardDataError, {"Read card data error!", "读取卡片资料错误!", "讀取卡片資料錯誤!"}},
    {Msg::MifareCardFormat, {"MIFARE card format", "MIFARE卡片格式", "MIFARE卡片格式"}},

    // Display terminal
    {Msg::Display, {"Display", "显示器", "顯示器"}},
    {Msg::SystemParameterSetting, {"System parameter setting", "系统参数设定", "系統參數設定"}},
    {Msg::SetLanguage, {"Set language", "设定语言", "設定語言"}},
    {Msg::SetLanguageOk, {"Set language ok.", "设定语言完成.", "設定語言完成."}},
    {Msg::SetLanguageError, {"Set language error!", "设定语言错误!", "設定語言錯誤!"}},
    {Msg::Password, {"Password:", "密码:", "密碼:"}},
    {Msg::SetPassword, {"Set password", "设定密码", "設定密碼"}},
    {Msg::SetPasswordOk, {"Set password ok.", "设定密码完成.", "設定密碼完成."}},
    {Msg::SetPasswordError, {"Set password error!", "设定密码错误!", "設定密碼錯誤!"}},
    {Msg::SetScreenMode, {"Set screen mode", "设定萤幕模式", "設定螢幕模式"}},
    {Msg::SetScreenModeOk, {"Set screen mode ok.", "设定萤幕模式完成.", "設定螢幕模式完成."}},
    {Msg::SetScreenModeError, {"Set screen mode error!", "设定萤幕模式错误!", "設定螢幕模式錯誤!"}},
    {Msg::SetTimeMode, {"Set time mode", "设定时间模式", "設定時間模式"}},
    {Msg::SetTimeModeOk, {"Set time mode ok.", "设定时间模式完成.", "設定時間模式完成."}},
    {Msg::SetTimeModeError, {"Set time mode error!", "设定时间模式错误!", "設定時間模式錯誤!"}},
    {Msg::SetSmallMessage, {"Set small message", "设定小讯息", "設定小訊息"}},
    {Msg::SetSmallMessageOk, {"Set small message ok.", "设定小讯息完成.", "設定小訊息完成."}},
    {Msg::SetSmallMessageError, {"Set small message error!", "设定小讯息错误!", "設定小訊息錯誤!"}},
    {Msg::SetScreenMessage, {"Set screen message", "设定萤幕讯息", "設定螢幕訊息"}},
    {Msg::SetScreenMessageOk, {"Set screen message ok.", "设定萤幕讯息完成.", "設定螢幕訊息完成."}},
    {Msg::SetScreenMessageError, {"Set screen message error!", "设定萤幕讯息错误!", "設定螢幕訊息錯誤!"}},
    {Msg::TitleIdleMessage, {"Title idel message", "标题待机讯息", "標題待機訊息"}},
    {Msg::ScreenSmallMessage, {"Screen small message", "萤幕小讯息", "螢幕小訊息"}},
    {Msg::SetTitleMode, {"Set title mode", "设定标题模式", "設定標題模式"}},
    {Msg::SetTitleModeOk, {"Set title mode ok.", "设定标题模式完成.", "設定標題模式完成."}},
    {Msg::SetTitleModeError, {"Set title mode error!", "设定标题模式错误!", "設定標題模式錯誤!"}},
    {Msg::SetIcon, {"Set icon", "设定图示", "設定圖示"}},
    {Msg::SetIconOk, {"Set icon ok.", "设定图示完成.", "設定圖示完成."}},
    {Msg::SetIconError, {"Set icon error!", "设定图示错误!", "設定圖示錯誤!"}},
    {Msg::SetTitle, {"Set title", "设定标题", "設定標題"}},
    {Msg::SetTitleOk, {"Set title ok.", "设定标题完成.", "設定標題完成."}},
    {Msg::SetTitleError, {"Set title error!", "设定标题错误!", "設定標題錯誤!"}},
    {Msg::SampleSmallMessage, {kSmallEn, kSmallSc, kSmallTc}},
    {Msg::SampleScreenMessage, {kScreenEn, kScreenSc, kScreenTc}},
    {Msg::Blank128, {kBlank128, kBlank128, kBlank128}},
    {Msg::SampleTitle, {"Office Door     ", "办公室大门      ", "辦公室大門      "}},
    {Msg::Blank16, {kBlank16, kBlank16, kBlank16}},

    // Fingerprint reader and stand-alone door controller
    {Msg::Fingerprint, {"Fingerprint", "指纹", "指紋"}},
    {Msg::FacilityCodeAddFingerprint, {"Facility code(add fingerprint)", "场区码(新增指纹)", "場區碼(新增指紋)"}},
    {Msg::SetFacilityCode, {"Set facility code", "设定场区码", "設定場區碼"}},
    {Msg::SetFacilityCodeOk, {"Set facility code ok.", "设定场区码完成.", "設定場區碼完成."}},
    {Msg::SetFacilityCodeError, {"Set facility code error!", "设定场区码错误!", "設定場區碼錯誤!"}},
    {Msg::FingerprintNo, {"Fingerprint no:", "指纹编号:", "指紋編號:"}},
    {Msg::FingerprintId, {"Fingerprint ID", "指纹识别码", "指紋識別碼"}},
    {Msg::AddFingerprint, {"Add fingerprint", "新增指纹", "新增指紋"}},
    {Msg::AddFingerprintOk, {"Add fingerprint ok.", "新增指纹完成.", "新增指紋完成."}},
    {Msg::AddFingerprintError, {"Add fingerprint error!", "新增指纹错误!", "新增指紋錯誤!"}},
    {Msg::DelFingerprint, {"Del fingerprint", "删除指纹", "刪除指紋"}},
    {Msg::DelFingerprintOk, {"Del fingerprint ok.", "删除指纹完成.", "刪除指紋完成."}},
    {Msg::DelFingerprintError, {"Del fingerprint error!", "删除指纹错误!", "刪除指紋錯誤!"}},
    {Msg::GetFingerprintId, {"Get fingerprint ID", "读取指纹识别码", "讀取指紋識別碼"}},
    {Msg::GetFingerprintIdOk, {"Get fingerprint ID ok.", "读取指纹识别码完成.", "讀取指紋識別碼完成."}},
    {Msg::GetFingerprintIdError, {"Get fingerprint IDe error!", "读取指纹识别码错误!", "讀取指紋識別碼錯誤!"}},
    {Msg::SetFingerprintId, {"Set fingerprint ID", "设定指纹识别码", "設定指紋識別碼"}},
    {Msg::SetFingerprintIdOk, {"Set fingerprint ID ok.", "设定指纹识别码完成.", "設定指紋識別碼完成."}},
    {Msg::SetFingerprintIdError, {"Set fingerprint ID error!", "设定指纹识别码错误!", "設定指紋識別碼錯誤!"}},
    {Msg::SetTemplateData, {"Set template data", "设定样板资料", "設定樣板資料"}},
    {Msg::SetTemplateDataOk, {"Set template data ok.", "设定样板资料完成.", "設定樣板資料完成."}},
    {Msg::SetTemplateDataError, {"Set template data error!", "设定样板资料错误!", "設定樣板資料錯誤!"}},
    {Msg::GetTemplateData, {"Get template data", "读取样板资料", "讀取樣板資料"}},
    {Msg::GetTemplateDataOk, {"Get template data ok.", "读取样板资料完成.", "讀取樣板資料完成."}},
    {Msg::GetTemplateDataError, {"Get template data error!", "读取样板资料错误!", "讀取樣板資料錯誤!"}},
    {Msg::StandAloneVersion, {"Stand alone version", "单机版", "單機版"}},
    {Msg::SecDot, {"Sec.", "秒", "秒"}},
    {Msg::SetFingerprintScanMode, {"Set fingerprint scan mode", "设定指纹扫描模式", "設定指紋掃描模式"}},
    {Msg::SetScanMode, {"Set scan mode", "设定扫描模式", "設定掃描模式"}},
    {Msg::SetFingerprintScanModeOk, {"Set fingerprint scan mode ok.", "设定指纹扫描模式完成.", "設定指紋掃描模式完成."}},
    {Msg::SetFingerprintScanModeError, {"Set fingerprint scan mode error!", "设定指纹扫描模式错误!", "設定指紋掃描模式錯誤!"}},
    {Msg::SetStandAloneMode, {"Set stand alone mode", "设定单机模式", "設定單機模式"}},
    {Msg::SetStandAloneModeOk, {"Set stand alone mode ok.", "设定单机模式完成.", "設定單機模式完成."}},
    {Msg::SetStandAloneModeError, {"Set stand alone mode error!", "设定单机模式错误!", "設定單機模式錯誤!"}},
    {Msg::SetDoorTime, {"Set door time", "设定开门时间", "設定開門時間"}},
    {Msg::SetDoorTimeOk, {"Set door time ok.", "设定开门时间完成.", "設定開門時間完成."}},
    {Msg::SetDoorTimeError, {"Set door time error!", "设定开门时间错误!", "設定開門時間錯誤!"}},
    {Msg::SetAlarmTime, {"Set alarm time", "设定警报时间", "設定警報時間"}},
    {Msg::SetAlarmTimeOk, {"Set alarm time ok.", "设定警报时间完成.", "設定警報時間完成."}},
    {Msg::SetAlarmTimeError, {"Set alarm time error!", "设定警报时间错误!", "設定警報時間錯誤!"}},
    {Msg::SetAddCard, {"Set add card", "设定新增卡", "設定新增卡"}},
    {Msg::SetAddCardOk, {"Set add card ok.", "设定新增卡完成.", "設定新增卡完成."}},
    {Msg::SetAddCardError, {"Set add card error!", "设定新增卡错误!", "設定新增卡錯誤!"}},
    {Msg::SetDuressCard, {"Set duress card", "设定胁迫卡", "設定脅迫卡"}},
    {Msg::SetDuressCardOk, {"Set duress card ok.", "设定胁迫卡完成.", "設定脅迫卡完成."}},
    {Msg::SetDuressCardError, {"Set duress card error!", "设定胁迫卡错误!", "設定脅迫卡錯誤!"}},
    {Msg::SetClearCard, {"Set clear card", "设定清除卡", "設定清除卡"}},
    {Msg::SetClearCardOk, {"Set clear card ok.", "设定清除卡完成.", "設定清除卡完成."}},
    {Msg::SetClearCardError, {"Set clear card error!", "设定清除卡错误!", "設定清除卡錯誤!"}},
    {Msg::StandAloneDefault, {"Stand alone default", "单机预设值", "單機預設值"}},
    {Msg::SetStandAloneDefaultOk, {"Set stand alone default ok.", "设定单机预设值完成.", "設定單機預設值完成."}},
    {Msg::SetStandAloneDefaultError, {"Set stand alone default error!", "设定单机预设值错误!", "設定單機預設值錯誤!"}},

    // Title icon
    {Msg::CannotOpenFile, {"Cannot open file!", "文件开启错误!", "檔案開啟錯誤!"}},
    {Msg::NotAPictureFile, {"Not a picture file!", "不是图片文件!", "不是圖片檔案!"}},

    // Card key page: the red notice beside an access-bits text that would harm the sector
    {Msg::AccessBitsInvalid, {"Invalid access bits: sector unusable", "存取位元无效:扇区将无法使用", "存取位元無效:扇區將無法使用"}},
    {Msg::AccessBitsLockedForGood, {"Access bits can never be changed again", "存取位元将永远无法再更改", "存取位元將永遠無法再更改"}},
    {Msg::AccessBitsIncomplete, {"Not yet 8 hexadecimal digits", "尚未满8个十六进制数字", "尚未滿8個十六進位數字"}},

    // Reader texts
    {Msg::ReaderTextLimited, {"Text is limited to %1 bytes", "文字限制为%1个字节", "文字限制為%1個位元組"}},

    // Fingerprint template files
    {Msg::SaveTemplate, {"Save template...", "保存样板...", "儲存樣板..."}},
    {Msg::LoadTemplate, {"Load template...", "载入样板...", "載入樣板..."}},
    {Msg::SaveTemplateOk, {"Save template ok.", "保存样板完成.", "儲存樣板完成."}},
    {Msg::SaveTemplateError, {"Save template error!", "保存样板错误!", "儲存樣板錯誤!"}},
    {Msg::LoadTemplateOk, {"Load template ok.", "载入样板完成.", "載入樣板完成."}},
    {Msg::LoadTemplateError, {"Load template error!", "载入样板错误!", "載入樣板錯誤!"}},
    {Msg::TemplateFileUnreadable, {"The file cannot be read.", "无法读取文件.", "無法讀取檔案."}},
    {Msg::TemplateFileUnwritable, {"The file cannot be written.", "无法写入文件.", "無法寫入檔案."}},
    {Msg::TemplateFileNotTemplate, {"Not a template file.", "不是样板文件.", "不是樣板檔案."}},
    {Msg::TemplateFileBadFingerNo, {"Its fingerprint no is not 000000 to 009500.", "指纹编号不在000000至009500之间.", "指紋編號不在000000至009500之間."}},
    {Msg::TemplateFileBadPart, {"A template part is missing or damaged.", "样板资料缺少或损坏.", "樣板資料缺少或損壞."}},
    {Msg::TemplateFilePartTooLong, {"A template part is longer than 256 characters.", "样板资料超过256个字符.", "樣板資料超過256個字元."}},

    // File dialogs: the kinds of file offered besides the icon files
    {Msg::Pictures, {"Pictures", "图片", "圖片"}},
    {Msg::FingerprintTemplates, {"Fingerprint templates", "指纹样板", "指紋樣板"}},
    {Msg::AllFiles, {"All files", "所有文件", "所有檔案"}},

    // Frame history and port diagnostics
    {Msg::MenuView, {"&View", "检视(&V)", "檢視(&V)"}},
    {Msg::MenuFrameHistory, {"&Frame history", "通讯记录(&F)", "通訊記錄(&F)"}},
    {Msg::FrameHistoryTitle, {"Frame history", "通讯记录", "通訊記錄"}},
    {Msg::ClearFrames, {"Clear", "清除", "清除"}},
    {Msg::SaveFrames, {"Save", "储存", "儲存"}},
    {Msg::SaveFramesFilter, {"Tab-separated text (*.tsv *.txt)", "Tab 分隔文字档 (*.tsv *.txt)", "Tab 分隔文字檔 (*.tsv *.txt)"}},
    {Msg::FramesSaved, {"%1 entries saved to %2", "已储存 %1 笔记录至 %2", "已儲存 %1 筆記錄至 %2"}},
    {Msg::FramesNotSaved, {"Could not write %1", "无法写入 %1", "無法寫入 %1"}},
    {Msg::ColumnTime, {"Time", "时间", "時間"}},
    {Msg::ColumnCommand, {"Command", "命令", "命令"}},
    {Msg::ColumnPort, {"Port", "通讯埠", "通訊埠"}},
    {Msg::ColumnDevice, {"Device", "装置", "裝置"}},
    {Msg::ColumnLineSettings, {"Line settings", "传输设定", "傳輸設定"}},
    {Msg::ColumnSent, {"Sent", "送出", "送出"}},
    {Msg::ColumnReceived, {"Received", "收到", "收到"}},
    {Msg::ColumnOutcome, {"Outcome", "结果", "結果"}},
    {Msg::ColumnReplyMs, {"Reply (ms)", "回应(ms)", "回應(ms)"}},
    {Msg::OutcomeOk, {"Ok", "成功", "成功"}},
    {Msg::OutcomeWrongChecksum, {"Wrong checksum", "检查码错误", "檢查碼錯誤"}},
    {Msg::OutcomeSilence, {"Silence after %1 ms", "%1 ms 无回应", "%1 ms 無回應"}},
    {Msg::OutcomeLineGone, {"Line gone", "线路中断", "線路中斷"}},
    {Msg::OutcomeOverflow, {"Overflow: %1 bytes without a frame", "溢位: %1 个字节没有完整讯框", "溢位: %1 個位元組沒有完整訊框"}},
    {Msg::OutcomeNotOpen, {"Port not open", "通讯埠未开启", "通訊埠未開啟"}},
    {Msg::OutcomeTooLong, {"Refused: command too long", "拒绝: 命令太长", "拒絕: 命令太長"}},
    {Msg::PortOpened, {"Port opened", "通讯埠已开启", "通訊埠已開啟"}},
    {Msg::PortClosed, {"Port closed", "通讯埠已关闭", "通訊埠已關閉"}},
    {Msg::PortDidNotOpen, {"Port did not open", "通讯埠无法开启", "通訊埠無法開啟"}},
    {Msg::ReasonNotMapped, {"%1 names no device.", "%1 没有对应的装置.", "%1 沒有對應的裝置."}},
    {Msg::AdviceNotMapped, {"Choose a port from the list, or map it in TAGBENCH_PORTS.", "请从清单选择通讯埠, 或在 TAGBENCH_PORTS 中设定.", "請從清單選擇通訊埠, 或在 TAGBENCH_PORTS 中設定."}},
    {Msg::ReasonNoSuchDevice, {"%1 does not exist: the adapter is unplugged or has another name now.", "%1 不存在: 转接器已拔除或已改名.", "%1 不存在: 轉接器已拔除或已改名."}},
    {Msg::AdviceNoSuchDevice, {"Plug the adapter in again, or choose its port anew.", "请重新插上转接器, 或重新选择通讯埠.", "請重新插上轉接器, 或重新選擇通訊埠."}},
    {Msg::ReasonPermissionNotMember, {"Permission denied on %1: the user %2 is not in the group %3 that owns it.", "%1 权限不足: 使用者 %2 不在拥有它的群组 %3 中.", "%1 權限不足: 使用者 %2 不在擁有它的群組 %3 中."}},
    {Msg::AdvicePermissionNotMember, {"Add the user to the group: sudo usermod -aG %3 %2, then log out and in again.", "将使用者加入群组: sudo usermod -aG %3 %2, 然后登出再登入.", "將使用者加入群組: sudo usermod -aG %3 %2, 然後登出再登入."}},
    {Msg::ReasonPermissionNotActive, {"Permission denied on %1: the user %2 joined the group %3 after this login.", "%1 权限不足: 使用者 %2 在本次登入后才加入群组 %3.", "%1 權限不足: 使用者 %2 在本次登入後才加入群組 %3."}},
    {Msg::AdvicePermissionNotActive, {"Log out and in again, or start the program from: newgrp %3", "请登出再登入, 或从以下命令启动程式: newgrp %3", "請登出再登入, 或從以下命令啟動程式: newgrp %3"}},
    {Msg::ReasonPermissionOwnerOnly, {"Permission denied on %1: only its owner may open it, the group %3 may not.", "%1 权限不足: 只有拥有者可以开启, 群组 %3 不行.", "%1 權限不足: 只有擁有者可以開啟, 群組 %3 不行."}},
    {Msg::AdvicePermissionOwnerOnly, {"Ask the administrator for a udev rule that gives the group %3 read and write.", "请系统管理员设定 udev 规则, 给群组 %3 读写权限.", "請系統管理員設定 udev 規則, 給群組 %3 讀寫權限."}},
    {Msg::ReasonHeldByNamed, {"%1 is held by another program: %2 (process %3, %4).", "%1 被其他程式占用: %2 (行程 %3, %4).", "%1 被其他程式佔用: %2 (行程 %3, %4)."}},
    {Msg::AdviceHeldByNamed, {"Close %2, or end it with: kill %3", "请关闭 %2, 或用以下命令结束它: kill %3", "請關閉 %2, 或用以下命令結束它: kill %3"}},
    {Msg::ReasonHeldByUnknown, {"%1 is held by another program (%2).", "%1 被其他程式占用 (%2).", "%1 被其他程式佔用 (%2)."}},
    {Msg::AdviceHeldByUnknown, {"Close the other program that uses the port (a serial terminal, a modem manager).", "请关闭使用此通讯埠的其他程式 (终端机程式, 数据机管理程式).", "請關閉使用此通訊埠的其他程式 (終端機程式, 數據機管理程式)."}},
    {Msg::ReasonHeldHere, {"%1 is already open in this program.", "%1 已被本程式开启.", "%1 已被本程式開啟."}},
    {Msg::AdviceHeldHere, {"Stop the continuous card reading first.", "请先停止连续读卡.", "請先停止連續讀卡."}},
    {Msg::ReasonNotATerminal, {"%1 is not a terminal device, so it is no serial port.", "%1 不是终端装置, 因此不是串列埠.", "%1 不是終端裝置, 因此不是串列埠."}},
    {Msg::AdviceNotATerminal, {"Check which device the port names (TAGBENCH_PORTS or the stored extra ports).", "请检查通讯埠对应的装置 (TAGBENCH_PORTS 或储存的额外通讯埠).", "請檢查通訊埠對應的裝置 (TAGBENCH_PORTS 或儲存的額外通訊埠)."}},
    {Msg::ReasonVanished, {"%1 vanished during the exchange: the adapter was unplugged.", "%1 在通讯中消失: 转接器被拔除.", "%1 在通訊中消失: 轉接器被拔除."}},
    {Msg::AdviceVanished, {"Plug the adapter in again and repeat the command.", "请重新插上转接器并重试命令.", "請重新插上轉接器並重試命令."}},
    {Msg::ReasonHungUp, {"%1 hung up during the exchange.", "%1 在通讯中断线.", "%1 在通訊中斷線."}},
    {Msg::AdviceHungUp, {"Check the cable and the adapter, then repeat the command.", "请检查线材与转接器, 然后重试命令.", "請檢查線材與轉接器, 然後重試命令."}},
    {Msg::ReasonStalled, {"%1 did not send the frame within %2 ms: the line is stalled.", "%1 未在 %2 毫秒内送出命令: 线路停滞.", "%1 未在 %2 毫秒內送出命令: 線路停滯."}},
    {Msg::AdviceStalled, {"Unplug the adapter and plug it in again, then repeat the command.", "请拔除转接器后重新插上, 然后重试命令.", "請拔除轉接器後重新插上, 然後重試命令."}},
    {Msg::ReasonBadLineSettings, {"%1 was not opened: the line settings \"%2\" are not a baud rate, parity, data bits and stop bits such as \"19200,e,8,1\".", "%1 未开启: 通讯参数 \"%2\" 不是 \"19200,e,8,1\" 这样的波特率, 校验, 数据位与停止位.", "%1 未開啟: 通訊參數 \"%2\" 不是 \"19200,e,8,1\" 這樣的鮑率, 同位檢查, 資料位元與停止位元."}},
    {Msg::AdviceBadLineSettings, {"Choose the line settings from the list.", "请从列表中选择通讯参数.", "請從列表中選擇通訊參數."}},
    {Msg::ReasonOther, {"%1 did not open: %2 (error %3).", "%1 无法开启: %2 (错误 %3).", "%1 無法開啟: %2 (錯誤 %3)."}},
    {Msg::AdviceOther, {"Check the device and its driver.", "请检查装置与驱动程式.", "請檢查裝置與驅動程式."}},
    {Msg::ReasonBadAddress, {"%1 is not a network port address.", "%1 不是网络通讯埠地址.", "%1 不是網路通訊埠位址."}},
    {Msg::AdviceBadAddress, {"Write it as rfc2217://HOST:PORT or socket://HOST:PORT.", "请写成 rfc2217://HOST:PORT 或 socket://HOST:PORT.", "請寫成 rfc2217://HOST:PORT 或 socket://HOST:PORT."}},
    {Msg::ReasonHostNotFound, {"%1: the server name %2 is not known (%3).", "%1: 无法解析服务器名称 %2 (%3).", "%1: 無法解析伺服器名稱 %2 (%3)."}},
    {Msg::AdviceHostNotFound, {"Check the server's name, or give its IP address instead.", "请检查服务器名称, 或改用它的 IP 地址.", "請檢查伺服器名稱, 或改用它的 IP 位址."}},
    {Msg::ReasonRefused, {"%1 refused the connection.", "%1 拒绝连线.", "%1 拒絕連線."}},
    {Msg::AdviceRefused, {"Check the address and TCP port, that the server serves the serial line on that port, and that no other client has it.", "请检查地址与 TCP 埠号, 服务器是否在该埠提供串列线路, 以及是否有其他用户端占用它.", "請檢查位址與 TCP 埠號, 伺服器是否在該埠提供串列線路, 以及是否有其他用戶端佔用它."}},
    {Msg::ReasonUnreachable, {"%1 cannot be reached: %2 (error %3).", "%1 无法连上: %2 (错误 %3).", "%1 無法連上: %2 (錯誤 %3)."}},
    {Msg::AdviceUnreachable, {"Check the server's address and port, and that the server is on the network.", "请检查服务器的地址与埠号, 以及服务器是否已连上网络.", "請檢查伺服器的位址與埠號, 以及伺服器是否已連上網路."}},
    {Msg::ReasonNoAnswer, {"%1 did not answer within %2 ms.", "%1 在 %2 ms 内没有回应.", "%1 在 %2 ms 內沒有回應."}},
    {Msg::AdviceNoAnswer, {"Check that the server is switched on and on the network, and that no firewall blocks the port.", "请检查服务器是否已开机并连上网络, 以及防火墙是否挡住该埠.", "請檢查伺服器是否已開機並連上網路, 以及防火牆是否擋住該埠."}},
    {Msg::ReasonDropped, {"%1: the connection dropped during the exchange.", "%1: 通讯中连线中断.", "%1: 通訊中連線中斷."}},
    {Msg::AdviceDropped, {"Check the server and the network, then repeat the command.", "请检查服务器与网络, 然后重试命令.", "請檢查伺服器與網路, 然後重試命令."}},
    {Msg::ReasonNotNegotiated, {"%1 accepted the connection but did not take up RFC 2217 (the COM-PORT option) within %2 ms.", "%1 接受了连线, 但在 %2 ms 内没有启用 RFC 2217 (COM-PORT 选项).", "%1 接受了連線, 但在 %2 ms 內沒有啟用 RFC 2217 (COM-PORT 選項)."}},
    {Msg::AdviceNotNegotiated, {"Set the server's port up for RFC 2217 (telnet with the COM-PORT option), or name a raw TCP port socket://HOST:PORT.", "请将服务器的该埠设为 RFC 2217 (含 COM-PORT 选项的 telnet), 或将纯 TCP 埠写成 socket://HOST:PORT.", "請將伺服器的該埠設為 RFC 2217 (含 COM-PORT 選項的 telnet), 或將純 TCP 埠寫成 socket://HOST:PORT."}},

    // The Help menu and its About box
    {Msg::MenuHelp, {"&Help", "说明(&H)", "說明(&H)"}},
    {Msg::MenuAbout, {"&About Tag Bench", "关于 Tag Bench(&A)", "關於 Tag Bench(&A)"}},
    {Msg::AboutTitle, {"About Tag Bench", "关于 Tag Bench", "關於 Tag Bench"}},
    {Msg::AboutText, {"Tag Bench %1\n\nFinds access-control card readers on serial ports, reads and changes their settings, and tests them.\n\nReleased under the MIT license.", "Tag Bench %1\n\n在串口上查找门禁读卡器, 读取和修改设定并测试.\n\n以 MIT 授权发布.", "Tag Bench %1\n\n在序列埠上尋找門禁讀卡機, 讀取和修改設定並測試.\n\n以 MIT 授權釋出."}},

    // Why a text is not sent to a reader
    {Msg::CannotSendCharacter, {"Cannot send \"%1\" (%2) in code page %3", "无法用代码页 %3 发送 \"%1\" (%2)", "無法以字碼頁 %3 送出 \"%1\" (%2)"}},
    {Msg::TemplatePartEmpty, {"Template part %1 is empty.", "样板资料 %1 是空的.", "樣板資料 %1 是空的."}},
    {Msg::TemplatePartTooLong, {"Template part %1 does not fit in a command.", "样板资料 %1 超出命令长度.", "樣板資料 %1 超出命令長度."}},
    {Msg::TemplatePartSplitsFrame, {"Template part %1 holds a TAB or CR, which would split the frame.", "样板资料 %1 含有 TAB 或 CR, 会切断讯框.", "樣板資料 %1 含有 TAB 或 CR, 會切斷訊框."}},

    // tagbench-cli: what was seen when no reader answered; the port map; socket:// ports
    {Msg::CauseChecksum, {"%1 replies with a wrong checksum", "%1 个回应的校验和错误", "%1 個回應的檢查碼錯誤"}},
    {Msg::CauseOtherType, {"a %1 answered; use --type %1", "%1 读卡器有回应; 请用 --type %1", "%1 讀卡機有回應; 請用 --type %1"}},
    {Msg::CauseFastLine, {"a reader answered at %1; use --settings %2", "读卡器在 %1 有回应; 请用 --settings %2", "讀卡機在 %1 有回應; 請用 --settings %2"}},
    {Msg::CauseFastLineScan, {"a reader answered at %1, which the scan does not walk; use --settings %2 --lock", "读卡器在 %1 有回应, 扫描不会尝试此设定; 请用 --settings %2 --lock", "讀卡機在 %1 有回應, 掃描不會嘗試此設定; 請用 --settings %2 --lock"}},
    {Msg::PortsItemMalformed, {"TAGBENCH_PORTS: '%1' is not COMn=PATH, COMn=rfc2217://HOST:PORT nor COMn=socket://HOST:PORT", "TAGBENCH_PORTS: '%1' 不是 COMn=路径, COMn=rfc2217://主机:埠 或 COMn=socket://主机:埠", "TAGBENCH_PORTS: '%1' 不是 COMn=路徑, COMn=rfc2217://主機:埠 或 COMn=socket://主機:埠"}},
    {Msg::SocketLineFixed, {"%1 is a socket:// port, where the server's own line settings apply; use rfc2217:// or change the server's settings", "%1 是 socket:// 通讯埠, 使用服务器本身的通讯设定; 请改用 rfc2217:// 或修改服务器的设定", "%1 是 socket:// 通訊埠, 使用伺服器本身的通訊設定; 請改用 rfc2217:// 或修改伺服器的設定"}},
    // Reader profiles
    {Msg::MenuSaveProfile, {"Save reader &profile...", "储存读卡器设定档(&P)...", "儲存讀卡機設定檔(&P)..."}},
    {Msg::MenuApplyProfile, {"&Apply reader profile...", "套用读卡器设定档(&A)...", "套用讀卡機設定檔(&A)..."}},
    {Msg::ReaderProfiles, {"Reader profiles (*.tbprofile *.txt)", "读卡器设定档 (*.tbprofile *.txt)", "讀卡機設定檔 (*.tbprofile *.txt)"}},
    {Msg::ProfileWithSecrets, {"Save the keys and passwords typed too (the file is then for its owner only).", "一并储存输入的密钥与密码 (文件将只限拥有者读取).", "一併儲存輸入的金鑰與密碼 (檔案將只限擁有者讀取)."}},
    {Msg::ProfileWithIdentity, {"Save the reader's ID and line settings too.", "一并储存读卡器的 ID 与通讯参数.", "一併儲存讀卡機的 ID 與通訊參數."}},
    {Msg::ProfileSaved, {"Profile saved to %1", "设定档已储存至 %1", "設定檔已儲存至 %1"}},
    {Msg::ProfileDamaged, {"The profile is damaged at line %1: nothing was sent.", "设定档第 %1 行损坏: 未送出任何命令.", "設定檔第 %1 行損壞: 未送出任何命令."}},
    {Msg::ProfileFormat, {"The profile is of format %1, which this program does not read: nothing was sent.", "设定档格式为 %1, 本程式无法读取: 未送出任何命令.", "設定檔格式為 %1, 本程式無法讀取: 未送出任何命令."}},
    {Msg::ProfileOtherType, {"The profile is for a %1 reader, the linked reader is a %2: nothing was sent.", "设定档适用于 %1 读卡器, 已连线的是 %2: 未送出任何命令.", "設定檔適用於 %1 讀卡機, 已連線的是 %2: 未送出任何命令."}},
    {Msg::ProfileUnknownSetting, {"The profile names a setting this reader type does not have: %1. Nothing was sent.", "设定档含有此读卡器类型没有的设定: %1. 未送出任何命令.", "設定檔含有此讀卡機類型沒有的設定: %1. 未送出任何命令."}},
    {Msg::ProfileBadValue, {"The profile's setting %1 has a value it does not take: %2. Nothing was sent.", "设定档的设定 %1 数值无效: %2. 未送出任何命令.", "設定檔的設定 %1 數值無效: %2. 未送出任何命令."}},
    {Msg::ProfileChanges, {"These settings of the reader will change:", "读卡器的以下设定将会变更:", "讀卡機的以下設定將會變更:"}},
    {Msg::ProfileNothingToChange, {"The reader already has every setting of the profile.", "读卡器已具有设定档的所有设定.", "讀卡機已具有設定檔的所有設定."}},
    {Msg::ProfileIdentityConfirm, {"The profile also gives the reader's ID or line settings: change them too.", "设定档也包含读卡器的 ID 或通讯参数: 一并变更.", "設定檔也包含讀卡機的 ID 或通訊參數: 一併變更."}},
    {Msg::ProfileOutcome, {"Reader profile applied", "读卡器设定档套用结果", "讀卡機設定檔套用結果"}},
    {Msg::ColumnSetting, {"Setting", "设定", "設定"}},
    {Msg::ColumnNow, {"Now", "目前", "目前"}},
    {Msg::ColumnThen, {"Profile", "设定档", "設定檔"}},
    {Msg::StatusChanged, {"changed", "已变更", "已變更"}},
    {Msg::StatusUnchanged, {"unchanged", "未变更", "未變更"}},
    {Msg::StatusFailed, {"failed", "失败", "失敗"}},
    {Msg::StatusNotSent, {"not sent", "未送出", "未送出"}},
    {Msg::NotReported, {"(not reported)", "(无法读取)", "(無法讀取)"}},
};
// clang-format on

constexpr bool RowsInEnumOrder() {
    int index = 0;
    for (const Row& row : kRows) {
        if (static_cast<int>(row.msg) != index++) return false;
    }
    return index == kMsgCount;
}
static_assert(RowsInEnumOrder(), "one row per Msg enumerator, in the same order");

constexpr std::array<int, kLanguageCount> kFontPointSizes = {10, 12, 12};
constexpr std::array<int, kLanguageCount> kFontCharsets = {0, 134, 136};  // ANSI, GB2312, Big5
constexpr std::array<const char*, kLanguageCount> kLanguageNames = {"English", "ChineseGB",
                                                                    "ChineseBIG5"};

std::size_t CheckedLanguage(int language) {
    return static_cast<std::size_t>(language >= 0 && language < kLanguageCount ? language
                                                                               : kEnglish);
}

}  // namespace

QString Text(Msg msg, int language) {
    const int index = static_cast<int>(msg);
    if (index < 0 || index >= kMsgCount) return QString();
    return QString::fromUtf8(kRows[index].texts[CheckedLanguage(language)]);
}

LanguageFont FontOf(int language) {
    const std::size_t l = CheckedLanguage(language);
    return {Text(Msg::FontName, static_cast<int>(l)), kFontPointSizes[l], kFontCharsets[l]};
}

QString LanguageName(int language) {
    return QString::fromLatin1(kLanguageNames[CheckedLanguage(language)]);
}

int LanguageFromName(const QString& name) {
    for (int l = 0; l < kLanguageCount; ++l) {
        if (name == QLatin1String(kLanguageNames[static_cast<std::size_t>(l)])) return l;
    }
    return kEnglish;
}

}  // namespace text
