#include "actions/Requests.h"

#include <cstdio>
#include <utility>

#include "commands/display/DisplayText.h"
#include "commands/fingerprint/Enrolment.h"
#include "commands/fingerprint/StandAlone.h"
#include "platform/CodePage.h"

namespace actions {
namespace {

namespace display = commands::display;
namespace fp = commands::fingerprint;
namespace mifare = commands::mifare;
using commands::Session;

// Start character and two-digit reader ID.
constexpr std::size_t kPrefixLength = 3;

// The bytes of an encoding; a character the code page lacks refuses the request, rather than
// go out as "?".
std::string Checked(Request& request, const platform::Encoding& encoded, int language) {
    if (encoded.failure) request.refuse(CannotSend(*encoded.failure, language));
    return encoded.bytes;
}

// A reader text's bytes, checked against the input's rule.
std::string TextInput(Request& request, const char* input, const TypedText& typed) {
    std::string bytes =
        Checked(request, platform::EncodeChecked(typed.text, typed.language), typed.language);
    request.checkText(input, bytes);
    return bytes;
}

// Reader bytes as an edit box shows them (platform::BytesAsText), back to the bytes.
std::string ShownBytes(Request& request, const TypedText& shown) {
    return Checked(request, platform::BytesFromText(shown.text, shown.language), shown.language);
}

Request Plain(ActionId id, bool (*command)(const Session&)) {
    return Request(id, [command](const Session& s) { return command(s); });
}

Request Finger(ActionId id, int finger, bool (*command)(const Session&, const std::string&)) {
    Request request(id, [command, number = FingerNumberText(finger)](const Session& s) {
        return command(s, number);
    });
    request.checkNumber("finger", finger);
    return request;
}

int LineNumber(display::TitleLine line) { return line == display::TitleLine::First ? 1 : 2; }

}  // namespace

Reason CannotSend(const platform::Unencodable& lacking, int language) {
    const QString code =
        QString::number(static_cast<uint>(lacking.character), 16).toUpper().rightJustified(4, u'0');
    return {text::Msg::CannotSendCharacter,
            {QString::fromUcs4(&lacking.character, 1), "U+" + code,
             QString::fromLatin1(platform::CodePageLabel(language))}};
}

std::string FingerNumberText(int finger) {
    char text[16];
    std::snprintf(text, sizeof text, "%06d", finger);
    return text;
}

Request SetId(int newId) {
    Request request(ActionId::SetId, [id = commands::TwoDigits(newId)](const Session& s) {
        return commands::SetReaderId(s, id);
    });
    request.checkNumber("new-id", newId);
    return request;
}

Request SetLine(int settingsIndex) {
    Request request(ActionId::SetLine, [settingsIndex](const Session& s) {
        return commands::SetLineSettings(s, settingsIndex);
    });
    request.checkNumber("settings", settingsIndex);
    return request;
}

Request SetInterface(const commands::InterfaceSettings& settings) {
    Request request(ActionId::SetInterface,
                    [settings](const Session& s) { return commands::SetInterface(s, settings); });
    request.checkNumber("mode", settings.mode);
    request.checkNumber("wiegand", settings.wiegand);
    request.checkNumber("rs485", settings.rs485);
    return request;
}

Request GetInterface(std::optional<commands::InterfaceSettings>& read) {
    return Request(ActionId::GetInterface, [&read](const Session& s) {
        read = commands::GetInterface(s);
        return read.has_value();
    });
}

Request SetCardType(int cardType) {
    Request request(ActionId::SetCardType,
                    [cardType](const Session& s) { return commands::SetCardType(s, cardType); });
    request.checkNumber("card-type", cardType);
    return request;
}

Request SetReadMode(int readMode) {
    Request request(ActionId::SetReadMode, [readMode](const Session& s) {
        return commands::SetCardReadMode(s, readMode);
    });
    request.checkNumber("read-mode", readMode);
    return request;
}

Request SetKeyParity(int parity) {
    Request request(ActionId::SetKeyParity,
                    [parity](const Session& s) { return commands::SetKeyParity(s, parity); });
    request.checkNumber("key-parity", parity);
    return request;
}

Request GetKeyParity(std::optional<int>& read) {
    return Request(ActionId::GetKeyParity, [&read](const Session& s) {
        read = commands::GetKeyParity(s);
        return read.has_value();
    });
}

Request SetKeyNumber(int number) {
    Request request(ActionId::SetKeyNumber, [text = commands::TwoDigits(number)](const Session& s) {
        return commands::SetKeyNumber(s, text);
    });
    request.checkNumber("key-number", number);
    return request;
}

Request GetKeyNumber(std::optional<int>& read) {
    return Request(ActionId::GetKeyNumber, [&read](const Session& s) {
        read = commands::GetKeyNumber(s);
        return read.has_value();
    });
}

Request SetKeyStatus(const commands::KeyStatus& status) {
    Request request(ActionId::SetKeyStatus,
                    [number = commands::TwoDigits(status.keyNumber),
                     delay = commands::TwoDigits(status.delaySeconds)](const Session& s) {
                        return commands::SetKeyStatus(s, number, delay);
                    });
    request.checkNumber("key-status-number", status.keyNumber);
    request.checkNumber("key-delay", status.delaySeconds);
    return request;
}

Request GetKeyStatus(std::optional<commands::KeyStatus>& read) {
    return Request(ActionId::GetKeyStatus, [&read](const Session& s) {
        read = commands::GetKeyStatus(s);
        return read.has_value();
    });
}

Request CommandTest(const TypedText& typed, std::string& replyData) {
    Request request(ActionId::CommandTest);
    const std::string bytes = TextInput(request, "text", typed);
    request.setRun([bytes, &replyData](const Session& s) {
        const bool ok = commands::CommandTest(s, bytes);
        if (ok) replyData = commands::ReplyDataField(s);
        return ok;
    });
    return request;
}

Request CommandTestAddressed(const TypedText& typed, std::string& replyData) {
    Request request(ActionId::CommandTestAddressed);
    const std::string bytes = TextInput(request, "text", typed);
    request.setRun([bytes, &replyData](const Session& s) {
        const bool ok = commands::CommandTestAddressed(s, bytes);
        if (ok) replyData = commands::ReplyDataField(s);
        return ok;
    });
    return request;
}

Request Reboot() { return Plain(ActionId::Reboot, commands::Reboot); }

Request FactoryDefault(commands::ReaderType type,
                       std::function<void(const std::string&)> readdressed,
                       std::function<void()> sequenceStarting) {
    commands::FactoryDefaultHooks hooks;
    hooks.readdressed = std::move(readdressed);
    hooks.sequenceStarting = std::move(sequenceStarting);
    return Request(ActionId::FactoryDefault, [type, hooks](const Session& s) {
        return commands::FactoryDefault(s, commands::Info(type).factoryDefault, hooks);
    });
}

Request SetIdLocation(const commands::CardIdLocation& location) {
    // A key-error signal outside its list gives no record: nothing is sent and the command
    // fails, rather than a record with a made-up signal.
    Request request(ActionId::SetIdLocation, [location](const Session& s) {
        return mifare::SetCardIdLocation(s, location);
    });
    request.checkNumber("sector", location.sector);
    request.checkNumber("block", location.block);
    request.checkNumber("byte", location.byte);
    return request;
}

Request StoreKey(int sector, const KeyText& key) {
    Request request(ActionId::StoreKey);
    request.checkNumber("sector", sector);
    const std::string bytes = TextInput(request, "key", key.key);
    request.setRun([sector, slot = key.slot, bytes](const Session& s) {
        return mifare::WriteKeyToEeprom(s, sector, slot, bytes);
    });
    return request;
}

Request WriteTrailer(const TrailerTexts& trailer) {
    Request request(ActionId::WriteTrailer);
    request.checkNumber("sector", trailer.sector);
    mifare::SectorTrailerWrite write;
    write.sector = trailer.sector;
    write.oldKeySlot = trailer.old.slot;
    write.oldKey = TextInput(request, "old-key", trailer.old.key);
    write.keyA = TextInput(request, "key-a", trailer.keyA);
    write.accessBits = TextInput(request, "access", trailer.accessBits);
    write.keyB = TextInput(request, "key-b", trailer.keyB);
    request.setRun([write](const Session& s) { return mifare::WriteSectorTrailer(s, write); });
    return request;
}

Request ReadBlock(int sector, int block, const KeyText& key, bool storedKey,
                  std::optional<std::string>& data) {
    Request request(ActionId::ReadBlock);
    request.checkNumber("sector", sector);
    request.checkNumber("block", block);
    const mifare::BlockRead read{sector, block, key.slot, storedKey,
                                 TextInput(request, "key", key.key)};
    request.setRun([read, &data](const Session& s) {
        data = mifare::ReadBlock(s, read);
        return data.has_value();
    });
    return request;
}

Request WriteBlock(int sector, int block, const KeyText& key, const TypedText& data,
                   std::optional<std::string>& echo) {
    Request request(ActionId::WriteBlock);
    request.checkNumber("sector", sector);
    request.checkNumber("block", block);
    const mifare::BlockWrite write{sector, block, key.slot, TextInput(request, "key", key.key),
                                   TextInput(request, "data", data)};
    request.setRun([write, &echo](const Session& s) {
        if (!mifare::WriteBlock(s, write)) return false;
        echo = mifare::BlockReplyData(s.Reply(), s.ReplyLength());
        return echo.has_value();
    });
    return request;
}

Request DisplayLanguage(display::DisplayLanguage language) {
    Request request(ActionId::DisplayLanguage, [language](const Session& s) {
        return display::SetDisplayLanguage(s, language);
    });
    request.checkNumber("language", static_cast<int>(language));
    return request;
}

Request DisplayPassword(const TypedText& password) {
    Request request(ActionId::DisplayPassword);
    const std::string bytes = TextInput(request, "password", password);
    request.setRun([bytes](const Session& s) { return display::SetDisplayPassword(s, bytes); });
    return request;
}

Request DisplayScreenMode(display::ScreenMode mode) {
    Request request(ActionId::DisplayScreenMode,
                    [mode](const Session& s) { return display::SetScreenMode(s, mode); });
    request.checkNumber("screen-mode", static_cast<int>(mode));
    return request;
}

Request DisplayClock(const display::ClockValue& clock, display::HourFormat format) {
    Request request(ActionId::DisplayClock, [clock, format](const Session& s) {
        return display::SetClock(s, clock, format);
    });
    request.checkNumber("hour-format", static_cast<int>(format));
    return request;
}

Request SmallMessage(const TypedText& text) {
    Request request(ActionId::SmallMessage);
    const std::string bytes = TextInput(request, "text", text);
    request.setRun([bytes, page = display::CodePageOfLanguage(text.language)](const Session& s) {
        return display::SetSmallMessage(s, bytes, page);
    });
    return request;
}

Request ScreenMessage(const TypedText& text) {
    Request request(ActionId::ScreenMessage);
    const std::string bytes = TextInput(request, "text", text);
    request.setRun([bytes, page = display::CodePageOfLanguage(text.language)](const Session& s) {
        return display::SetScreenMessage(s, bytes, page);
    });
    return request;
}

Request ClearScreenMessage() {
    return Plain(ActionId::ClearScreenMessage, display::ClearScreenMessage);
}

Request Title(display::TitleLine line, const TypedText& text) {
    Request request(ActionId::Title);
    request.checkNumber("line", LineNumber(line));
    const std::string bytes = TextInput(request, "text", text);
    request.setRun([line, bytes, page = display::CodePageOfLanguage(text.language)](
                       const Session& s) { return display::SetTitle(s, line, bytes, page); });
    return request;
}

Request ClearTitle(display::TitleLine line) {
    Request request(ActionId::ClearTitle,
                    [line](const Session& s) { return display::ClearTitle(s, line); });
    request.checkNumber("line", LineNumber(line));
    return request;
}

Request TitleMode(display::TitleMode mode) {
    Request request(ActionId::TitleMode,
                    [mode](const Session& s) { return display::SetTitleMode(s, mode); });
    request.checkNumber("title-mode", static_cast<int>(mode));
    return request;
}

Request TitleIcon(display::IconSource readIcon) {
    return Request(ActionId::TitleIcon, [readIcon = std::move(readIcon)](const Session& s) {
        return display::SetTitleIcon(s, readIcon) == display::IconOutcome::Sent;
    });
}

Request FacilityCode(int code) {
    char text[16];
    std::snprintf(text, sizeof text, "%05d", code);
    Request request(ActionId::FacilityCode, [facility = std::string(text)](const Session& s) {
        return fp::SetFacilityCode(s, facility);
    });
    request.checkNumber("facility-code", code);
    return request;
}

Request AddFinger(int finger) { return Finger(ActionId::AddFinger, finger, fp::AddFingerprint); }

Request DeleteFinger(int finger) {
    return Finger(ActionId::DeleteFinger, finger, fp::DeleteFingerprint);
}

Request GetFingerId(int finger, std::optional<std::string>& id) {
    Request request(ActionId::GetFingerId,
                    [number = FingerNumberText(finger), &id](const Session& s) {
                        id = fp::GetFingerprintId(s, number);
                        return id.has_value();
                    });
    request.checkNumber("finger", finger);
    return request;
}

Request SetFingerId(int finger, const TypedText& id) {
    Request request(ActionId::SetFingerId);
    request.checkNumber("finger", finger);
    const std::string bytes = ShownBytes(request, id);
    request.checkText("finger-id", bytes);
    request.setRun([number = FingerNumberText(finger), bytes](const Session& s) {
        return fp::SetFingerprintId(s, number, bytes);
    });
    return request;
}

Request ScanMode(int mode) {
    Request request(ActionId::ScanMode,
                    [mode](const Session& s) { return fp::SetScanMode(s, mode); });
    request.checkNumber("scan-mode", mode);
    return request;
}

Request GetTemplate(int finger, fp::TemplateGet& got) {
    Request request(ActionId::GetTemplate,
                    [number = FingerNumberText(finger), &got](const Session& s) {
                        got = fp::GetTemplate(s, number);
                        return got.ok;
                    });
    request.checkNumber("finger", finger);
    return request;
}

Request PutTemplate(int finger, const fp::TemplateParts& parts, fp::TemplatePut& put) {
    Request request(ActionId::PutTemplate,
                    [number = FingerNumberText(finger), parts, &put](const Session& s) {
                        put = fp::PutTemplate(s, number, parts);
                        return put == fp::TemplatePut::Written;
                    });
    request.checkNumber("finger", finger);
    const fp::TemplatePartCheck check = fp::CheckTemplateParts(parts, kPrefixLength);
    const auto why = [&]() -> std::optional<text::Msg> {
        switch (check.problem) {
            case fp::TemplatePut::EmptyPart:
                return text::Msg::TemplatePartEmpty;
            case fp::TemplatePut::PartTooLong:
                return text::Msg::TemplatePartTooLong;
            case fp::TemplatePut::SplitsFrame:
                return text::Msg::TemplatePartSplitsFrame;
            case fp::TemplatePut::Written:
            case fp::TemplatePut::Failed:
                break;
        }
        return std::nullopt;
    }();
    if (why) {
        put = check.problem;
        request.refuse(Reason{*why, {QString::number(check.part + 1)}});
    }
    return request;
}

Request PutTemplateShown(int finger, const std::array<TypedText, fp::kTemplateParts>& shown,
                         fp::TemplatePut& put) {
    Request unsendable(ActionId::PutTemplate);
    fp::TemplateParts parts;
    for (std::size_t part = 0; part < parts.size(); ++part)
        parts[part] = ShownBytes(unsendable, shown[part]);
    if (!unsendable.reason()) return PutTemplate(finger, parts, put);
    unsendable.checkNumber("finger", finger);
    put = fp::TemplatePut::Failed;
    return unsendable;
}

Request StandAlone() { return Plain(ActionId::StandAlone, fp::SetStandAloneMode); }

Request DoorTime(const TypedText& seconds) {
    Request request(ActionId::DoorTime);
    const std::string bytes = TextInput(request, "seconds", seconds);
    request.setRun([bytes](const Session& s) { return fp::SetDoorTime(s, bytes); });
    return request;
}

Request AlarmTime(const TypedText& seconds) {
    Request request(ActionId::AlarmTime);
    const std::string bytes = TextInput(request, "seconds", seconds);
    request.setRun([bytes](const Session& s) { return fp::SetAlarmTime(s, bytes); });
    return request;
}

Request AddCard() { return Plain(ActionId::AddCard, fp::SetAddCard); }

Request DuressCard() { return Plain(ActionId::DuressCard, fp::SetDuressCard); }

Request ClearCard() { return Plain(ActionId::ClearCard, fp::SetClearCard); }

Request StandAloneDefault() { return Plain(ActionId::StandAloneDefault, fp::StandAloneDefault); }

}  // namespace actions
