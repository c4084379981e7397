// The settings read-out that follows every Scan and Link: the version, then what the reader
// type's page shows, each command after a plain 50 ms pause.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "commands/ReaderTypes.h"
#include "commands/Session.h"
#include "commands/config/Identity.h"
#include "link/Discovery.h"

namespace commands {

// The firmware version: 16 characters from a 24-byte reply, else 8.
std::string VersionText(const std::string& reply, int replyLength);

constexpr int kKeyErrorCount = 4;
constexpr int kKeyParityCount = 2;

// What the read-out found. A value is set exactly when the read-out got to it: a field that is
// not a number ends the read-out there, and what came before it stays.
struct ReadOutValues {
    std::optional<std::string> version;  // set when "V" answered: the reader counts as linked
    std::optional<int> mode, wiegand, rs485, cardType;
    std::optional<int> keyNumber, keyParity;
    std::optional<int> keyStatusNumber, keyDelaySeconds;
    std::optional<int> idSector, idBlock, idByte, idKeyError;
    std::optional<bool> idKeyB;
    bool complete = false;  // the page's sequence ran to its end after a good "A"
};

// Reading each reply into `values`, field by field in reply order; false at the first field
// that is not a number of its list (the fields before it are kept).
bool DecodeOutputReply(const std::string& reply, int replyLength, const ReadOutPlan& plan,
                       ReadOutValues& values);
bool DecodeCardIdLocation(const std::string& reply, ReadOutValues& values);

// Whole replies of the keypad gets: nullopt unless every field is a number.
std::optional<int> DecodeKeyNumber(const std::string& reply);  // characters 6-7
std::optional<int> DecodeKeyParity(const std::string& reply);  // character 6, an item index
std::optional<KeyStatus> DecodeKeyStatus(const std::string& reply);

// With the port open: "V" (2 attempts after kept-alive pauses), then the page's commands.
// `plan` empty: nothing is read after "V" (tagbench-cli's scan and census read the version
// alone). `versionRead` is told the version as soon as it is known.
ReadOutValues ReadOut(const Session& session, const std::optional<ReadOutPlan>& plan,
                      const std::function<void(const std::string&)>& versionRead = {});

// The reader's ID from a probe reply (characters 3-4): only "01" to "99" can address it.
std::optional<std::string> FoundReaderId(const std::string& reply);

// What the read-out after a find got to.
struct FoundReadOut {
    std::string serial;             // reply characters 6-13
    std::optional<std::string> id;  // "01" to "99"; nullopt: no ID that can address the reader
    bool portOpened = false;
    ReadOutValues values;  // empty unless the port opened
};

// Every Scan and Link ends here, port closed on entry and return: the found reply's ID, then
// with the port open the read-out, prefixed by `startCharacter` and that ID. Nothing is sent
// without an ID 01 to 99. `replyRead` is told the serial and ID before the port opens.
FoundReadOut ReadOutAfterFind(tblink::ReaderLink& link, tblink::Pacer& pacer,
                              const tblink::FoundReader& found, char startCharacter,
                              const std::optional<ReadOutPlan>& plan,
                              const std::function<void(const FoundReadOut&)>& replyRead = {},
                              const std::function<void(const std::string&)>& versionRead = {});

}  // namespace commands
