// MIFARE, on the -M types: where the reader takes the card ID, its stored keys, and the card's
// trailers and blocks; and access bits in words, with no reader.
#include <QString>
#include <ostream>

#include "actions/Limits.h"
#include "actions/Requests.h"
#include "cli/AccessWords.h"
#include "cli/Output.h"
#include "cli/Registry.h"
#include "cli/Runner.h"
#include "commands/Session.h"
#include "commands/mifare/CardGeometry.h"
#include "commands/mifare/MifareCommands.h"
#include "link/ReplyFields.h"

namespace cli {
namespace {

using A = actions::ActionId;
using text::Msg;
namespace mifare = commands::mifare;

const TypeRule kMifare{commands::FunctionPage::Mifare, "MIFARE functions", true};
const Option kKeySlotOption{"key", "A|B", "authenticate with Key A or Key B (default A)"};
const Option kKeyHexOption{"key-hex", "KEY", "the key (default FFFFFFFFFFFF)"};

// Keys, access bits and block data as the window's upper-case edit boxes hold them.
actions::TypedText Typed(const std::string& text) {
    return {QString::fromUtf8(text.c_str()).toUpper(), kCodePage1252};
}

actions::KeyText KeyOf(const Invocation& run) { return {run.keySlot, Typed(run.key)}; }

bool Sector(Reading& reading, const std::string& text) {
    return reading.integer(text, "sector", reading.run.sector);
}

// A block within the sector already read: which blocks a sector has is the card's.
bool Block(Reading& reading, const std::string& text) {
    Invocation& run = reading.run;
    if (!reading.integer(text, "block", run.block)) return false;
    if (run.sector < 0 || run.sector >= mifare::kSectorCount) return true;
    const int last = mifare::BlocksInSector(run.sector) - 1;
    if (run.block <= last) return true;
    return reading.bad("block '" + text + "' is not 0 to " + std::to_string(last) + " (sector " +
                       std::to_string(run.sector) + ")");
}

// Access bits (with the user byte) bound for a trailer: ones that spoil the sector for good
// only with --force.
bool SafeAccess(Reading& reading, const std::string& access) {
    using mifare::AccessBitsNotice;
    const AccessBitsNotice notice = mifare::NoticeFor(access);
    if (notice == AccessBitsNotice::None || reading.run.force) return true;
    return reading.bad(reading.run.name() + ": access bits " + access +
                       (notice == AccessBitsNotice::LockedForGood
                            ? " would let no key change them ever again"
                            : " would make the sector unusable for good") +
                       " (see access-bits); give --force to write them all the same");
}

bool TrailerAccess(Reading& reading) {
    Invocation& run = reading.run;
    if (run.conditions) {
        if (reading.accessGiven)
            return reading.bad("write-trailer takes --access or --conditions, not both");
        run.access = mifare::AccessBitsText(*run.conditions);
    }
    return SafeAccess(reading, run.access);
}

// A trailer's 16 bytes: Key A, then the access bits and the user byte (bytes 6 to 9), then Key B.
constexpr std::size_t kTrailerAccessAt = 2 * 6;

bool BlockData(Reading& reading, const std::string& text) {
    Invocation& run = reading.run;
    if (!reading.hex(text, actions::kBlockDataBytes, "write-block: DATA")) return false;
    run.data = Upper(text);
    if (mifare::TrailerBlock(run.sector) != run.block) return true;
    return SafeAccess(reading, run.data.substr(kTrailerAccessAt, actions::kAccessBitsBytes));
}

// The card commands' replies carry a status: "00" done, else why not (a wrong key, no card,
// conditions that forbid it).
JsonObject CardReply(Runner& r, Outcome& outcome, Values& values) {
    if (outcome.reason != "reply") return {};
    const tblink::ReaderLink& link = *values.link;
    const int length = link.ReplyLength();
    if (length != mifare::kStatusReplyLength && length != mifare::kBlockReplyLength) return {};
    const std::string status = tblink::ReplyField(link.ReplyText(), 6, 2);
    if (status != "00")
        outcome.detail = "the reader answered status " + status;
    else if (r.entry.name == "write-block")
        outcome.detail = "the block read back differs from DATA";
    return {};
}

JsonObject PrintBlock(Runner& r, Outcome& outcome, Values& values) {
    CardReply(r, outcome, values);
    if (!outcome.ok()) return {};
    const Invocation& run = r.run;
    const auto cardBlock = mifare::CardBlock(run.sector, run.block);
    const std::string card = mifare::HexByteText(cardBlock.value_or(0));
    if (run.json) {
        JsonObject json;
        json.add("kind", "block").add("sector", run.sector).add("block", run.block);
        json.add("cardBlock", cardBlock.value_or(0)).add("data", *values.block);
        r.out << json.text() << '\n';
        return {};
    }
    PrintSettings(r.out, {},
                  {{"sector", commands::TwoDigits(run.sector)},
                   {"block", std::to_string(run.block)},
                   {"card block", card},
                   {"data", *values.block}});
    return {};
}

bool AccessBitsArguments(Reading& reading, const Arguments& a) {
    if (a.empty() == !reading.run.conditions)
        return reading.bad("access-bits takes TEXT to read or --conditions to encode, one of them");
    if (a.empty()) return true;
    const std::string text = Upper(a[0]);
    if (mifare::ReadAccessBitsText(text).verdict == mifare::AccessTextVerdict::NotEightHexDigits)
        return reading.bad("access-bits: '" + a[0] + "' is not 8 hexadecimal characters");
    reading.run.accessText = text;
    return true;
}

// access-bits: no reader, the two tables of the access conditions.
int RunAccessBits(Runner& r) {
    const Invocation& run = r.run;
    std::string text;
    mifare::SectorConditions conditions{};
    std::uint8_t userByte = mifare::kEditorUserByte;
    if (run.accessText) {
        text = *run.accessText;
        const auto read = mifare::ReadAccessBitsText(text);
        if (read.verdict != mifare::AccessTextVerdict::Valid) {
            JsonObject json;
            json.add("kind", "access-bits").add("text", text).add("valid", false);
            if (run.json)
                r.out << json.text() << '\n';
            else
                r.out << "access bits  " << text << '\n';
            return r.report({kExitFailed, English(Msg::AccessBitsInvalid), "invalid",
                             "the inverted copies of the bits disagree"});
        }
        conditions = read.conditions;
        userByte = read.userByte;
    } else {
        conditions = *run.conditions;
        text = mifare::AccessBitsText(conditions);
    }
    const bool locked = mifare::AccessBitsLockedForGood(conditions);
    const std::string user = mifare::HexByteText(userByte);
    const auto parts = DescribeConditions(conditions);
    if (run.json) {
        JsonObject json;
        json.add("kind", "access-bits").add("text", text).add("valid", true);
        json.add("userByte", user).add("lockedForGood", locked);
        for (const PartRights& part : parts) {
            JsonObject rights;
            rights.add("condition", part.bits);
            for (const Right& right : part.rights) rights.add(right.key, KeysWord(right.keys));
            json.add(part.part == "trailer" ? "trailer" : "block" + part.part.substr(6), rights);
        }
        r.out << json.text() << '\n';
    } else {
        std::vector<std::pair<std::string, std::string>> rows = {{"access bits", text},
                                                                 {"user byte", user}};
        for (const PartRights& part : parts)
            rows.push_back({part.part, part.bits + "  " + RightsText(part)});
        PrintSettings(r.out, {}, rows);
    }
    return r.report({kExitOk, locked ? English(Msg::AccessBitsLockedForGood) : "", {}, {}});
}

Subcommand Card(const char* name, const char* synopsis, int count, const char* summary,
                const char* help, A action) {
    Subcommand entry = Entry(name, synopsis, count, summary, help);
    entry.types = kMifare;
    entry.actions = {action};
    entry.print = CardReply;
    return entry;
}

}  // namespace

std::vector<Subcommand> MifareSubcommands() {
    std::vector<Subcommand> page;

    Subcommand location = Card("set-id-location", "SECTOR BLOCK BYTE", 3,
                               "where on the card the reader takes the card ID",
                               "SECTOR 0 to 39, BLOCK 0 to 3 within it, BYTE 0 to 31 within the "
                               "block.\n",
                               A::SetIdLocation);
    location.section = "MIFARE (the -M types)";
    location.options = {
        {"key", "A|B", "the key the reader authenticates with (default A)"},
        {"key-error", "E", "how it signals a key error: none, led, beep or beep+led (default led)"},
    };
    location.print = nullptr;  // its reply carries no card status
    location.arguments = [](Reading& reading, const Arguments& a) {
        return Sector(reading, a[0]) && reading.integer(a[1], "block", reading.run.block) &&
               reading.integer(a[2], "byte", reading.run.idByte);
    };
    location.request = [](const Invocation& run, Values&) {
        return actions::SetIdLocation(
            {run.sector, run.block, run.idByte, run.keySlot == mifare::KeySlot::B, run.keyError});
    };
    page.push_back(location);

    Subcommand store =
        Card("store-key", "SECTOR KEY", 2, "keep a key of a sector in the reader's EEPROM",
             "SECTOR 0 to 39; KEY 12 hexadecimal characters, such as "
             "FFFFFFFFFFFF.\n",
             A::StoreKey);
    store.options = {{"key", "A|B", "store it as the sector's Key A or Key B (default A)"}};
    store.arguments = [](Reading& reading, const Arguments& a) {
        if (!reading.hex(a[1], actions::kKeyBytes, "store-key: KEY")) return false;
        reading.run.key = Upper(a[1]);
        return Sector(reading, a[0]);
    };
    store.request = [](const Invocation& run, Values&) {
        return actions::StoreKey(run.sector, KeyOf(run));
    };
    page.push_back(store);

    Subcommand trailer =
        Card("write-trailer", "SECTOR", 1, "write a sector trailer: new keys and access bits",
             "Opens SECTOR (0 to 39) of the card with its old key and writes Key A, the access "
             "bits and\nKey B to its trailer. Each defaults to the card's delivery value.\n",
             A::WriteTrailer);
    trailer.options = {
        {"old-key", "KEY", "the key that opens the sector now (default FFFFFFFFFFFF)"},
        {"key", "A|B", "which of the sector's keys the old key is (default A)"},
        {"key-a", "KEY", "the new Key A (default FFFFFFFFFFFF)"},
        {"access", "TEXT",
         "the access bits and user byte, 8 hexadecimal characters (default\nFF0780AA: data "
         "blocks 000, trailer 001)"},
        {"conditions", "L", "the access bits from conditions instead, as for access-bits"},
        {"key-b", "KEY", "the new Key B (default FFFFFFFFFFFF)"},
        {"force", "",
         "write access bits that make the sector unusable, or that no key may\never change "
         "again; without it such a trailer is refused"},
    };
    trailer.arguments = [](Reading& reading, const Arguments& a) {
        return Sector(reading, a[0]) && TrailerAccess(reading);
    };
    trailer.request = [](const Invocation& run, Values&) {
        return actions::WriteTrailer({run.sector,
                                      {run.keySlot, Typed(run.oldKey)},
                                      Typed(run.keyA),
                                      Typed(run.access),
                                      Typed(run.keyB)});
    };
    page.push_back(trailer);

    Subcommand read = Card("read-block", "SECTOR BLOCK", 2, "read one block of the card",
                           "SECTOR 0 to 39, BLOCK 0 to 3 within it (0 to 15 in sectors 32 to "
                           "39).\n",
                           A::ReadBlock);
    read.options = {
        kKeySlotOption,
        kKeyHexOption,
        {"eeprom", "", "the key the reader keeps for the sector (see store-key) instead"}};
    read.arguments = [](Reading& reading, const Arguments& a) {
        if (reading.run.eeprom && reading.keyGiven)
            return reading.bad("read-block takes --key-hex or --eeprom, not both");
        return Sector(reading, a[0]) && Block(reading, a[1]);
    };
    read.request = [](const Invocation& run, Values& values) {
        return actions::ReadBlock(run.sector, run.block, KeyOf(run), run.eeprom, values.block);
    };
    read.print = PrintBlock;
    page.push_back(read);

    Subcommand write = Card(
        "write-block", "SECTOR BLOCK DATA", 3, "write one block of the card and check its echo",
        "DATA is the block's 16 bytes as exactly 32 hexadecimal characters; anything else is "
        "refused\nand nothing is sent. The write succeeds when the reader echoes DATA exactly. "
        "DATA for a\nsector trailer (block 3, or 15 in sectors 32 to 39) holds the access bits "
        "in characters\n13 to 20; ones that spoil the sector are refused, as write-trailer "
        "refuses them.\n",
        A::WriteBlock);
    write.options = {
        kKeySlotOption,
        kKeyHexOption,
        {"force", "", "write a trailer whose access bits spoil the sector all the same"}};
    write.arguments = [](Reading& reading, const Arguments& a) {
        return Sector(reading, a[0]) && Block(reading, a[1]) && BlockData(reading, a[2]);
    };
    write.request = [](const Invocation& run, Values& values) {
        return actions::WriteBlock(run.sector, run.block, KeyOf(run), Typed(run.data),
                                   values.block);
    };
    write.print = PrintBlock;
    page.push_back(write);

    Subcommand bits =
        Entry("access-bits", "[TEXT]", 1, "access bits in words, and back (no reader)",
              "With TEXT (8 hexadecimal characters such as FF0780AA, as the trailer holds them) "
              "says\nwhat each key may do with each block. With --conditions gives the text for "
              "them.\n");
    bits.options = {{"conditions", "L",
                     "C1C2C3 of data blocks 0, 1, 2 and the trailer, such as\n000,000,000,001; the "
                     "user byte is AA, as the window writes it"}};
    bits.helpAfter =
        "In sectors 32 to 39, block 0 stands for blocks 0-4, 1 for 5-9 and 2 for 10-14.\n"
        "A/B means either key, never no key. Exit status 1 for access bits that make the sector\n"
        "unusable.\n";
    bits.optionalArguments = 1;
    bits.needsPort = false;
    bits.ignores = {"port", "settings", "id", "type", "trace"};  // nothing goes to a reader
    bits.arguments = AccessBitsArguments;
    bits.run = RunAccessBits;
    page.push_back(bits);
    return page;
}

}  // namespace cli
