// The request of each reader action, from the values a front end read from its controls or its
// command line: the inputs checked against the action's rules, bound to the commands/ call.
// What an action reads back goes to the place its caller names, which must outlive Perform.
#pragma once

#include <QString>
#include <array>
#include <optional>
#include <string>

#include "actions/Procedure.h"
#include "commands/ReaderTypes.h"
#include "commands/config/CardReading.h"
#include "commands/config/Identity.h"
#include "commands/config/Keypad.h"
#include "commands/config/ReadOut.h"
#include "commands/config/SystemUtility.h"
#include "commands/display/MessagesAndTitles.h"
#include "commands/display/SystemParameters.h"
#include "commands/fingerprint/Templates.h"
#include "commands/mifare/MifareCommands.h"
#include "platform/CodePage.h"

namespace actions {

// A text as typed, going to the reader in the code page of a window language.
struct TypedText {
    QString text;
    int language = text::kEnglish;
};

// Why a text is not sent: its first character that the language's code page lacks.
Reason CannotSend(const platform::Unencodable& lacking, int language);

// Identity, line, output, card type and read mode
Request SetId(int newId);
Request SetLine(int settingsIndex);
Request SetInterface(const commands::InterfaceSettings& settings);
Request GetInterface(std::optional<commands::InterfaceSettings>& read);
Request SetCardType(int cardType);
Request SetReadMode(int readMode);

// Keypad
Request SetKeyParity(int parity);
Request GetKeyParity(std::optional<int>& read);
Request SetKeyNumber(int number);
Request GetKeyNumber(std::optional<int>& read);
Request SetKeyStatus(const commands::KeyStatus& status);
Request GetKeyStatus(std::optional<commands::KeyStatus>& read);

// System utility. The command tests give the reply's data field.
Request CommandTest(const TypedText& typed, std::string& replyData);
Request CommandTestAddressed(const TypedText& typed, std::string& replyData);
Request Reboot();
// `readdressed` learns the ID the reader took; `sequenceStarting` runs as the type's commands
// begin (the window puts the type's controls back then).
Request FactoryDefault(commands::ReaderType type,
                       std::function<void(const std::string&)> readdressed,
                       std::function<void()> sequenceStarting = {});

// MIFARE
struct KeyText {
    commands::mifare::KeySlot slot = commands::mifare::KeySlot::A;
    TypedText key;
};
Request SetIdLocation(const commands::CardIdLocation& location);
Request StoreKey(int sector, const KeyText& key);
struct TrailerTexts {
    int sector = 1;
    KeyText old;
    TypedText keyA, accessBits, keyB;
};
Request WriteTrailer(const TrailerTexts& trailer);
// `storedKey`: the key the reader keeps for the sector instead of the typed one.
Request ReadBlock(int sector, int block, const KeyText& key, bool storedKey,
                  std::optional<std::string>& data);
// `echo`: the block as the reader answered it, on success.
Request WriteBlock(int sector, int block, const KeyText& key, const TypedText& data,
                   std::optional<std::string>& echo);

// Display
Request DisplayLanguage(commands::display::DisplayLanguage language);
Request DisplayPassword(const TypedText& password);
Request DisplayScreenMode(commands::display::ScreenMode mode);
// The clock as it was read at the click, before anything else.
Request DisplayClock(const commands::display::ClockValue& clock,
                     commands::display::HourFormat format);
Request SmallMessage(const TypedText& text);
Request ScreenMessage(const TypedText& text);
Request ClearScreenMessage();
Request Title(commands::display::TitleLine line, const TypedText& text);
Request ClearTitle(commands::display::TitleLine line);
Request TitleMode(commands::display::TitleMode mode);
// `readIcon` is asked afresh at each attempt, as the file chosen may change in between.
Request TitleIcon(commands::display::IconSource readIcon);

// Fingerprint
Request FacilityCode(int code);
Request AddFinger(int finger);
Request DeleteFinger(int finger);
Request GetFingerId(int finger, std::optional<std::string>& id);
// `id` as the window shows reader bytes (platform::BytesAsText).
Request SetFingerId(int finger, const TypedText& id);
Request ScanMode(int mode);
Request GetTemplate(int finger, commands::fingerprint::TemplateGet& got);
// The parts in the reader's bytes; `put` says what came of them (a refused part sends nothing).
Request PutTemplate(int finger, const commands::fingerprint::TemplateParts& parts,
                    commands::fingerprint::TemplatePut& put);
// The parts as the window shows reader bytes (platform::BytesAsText).
Request PutTemplateShown(int finger,
                         const std::array<TypedText, commands::fingerprint::kTemplateParts>& shown,
                         commands::fingerprint::TemplatePut& put);
Request StandAlone();
Request DoorTime(const TypedText& seconds);
Request AlarmTime(const TypedText& seconds);
Request AddCard();
Request DuressCard();
Request ClearCard();
Request StandAloneDefault();

// The finger number as the window's panel shows it and the reader takes it: six digits.
std::string FingerNumberText(int finger);

}  // namespace actions
