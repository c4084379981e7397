#include "cli/AccessWords.h"

namespace cli {

using commands::mifare::Keys;

std::string KeysWord(Keys keys) {
    switch (keys) {
        case Keys::Never:
            return "never";
        case Keys::A:
            return "A";
        case Keys::B:
            return "B";
        case Keys::AOrB:
            break;
    }
    return "A/B";
}

std::array<PartRights, 4> DescribeConditions(const commands::mifare::SectorConditions& conditions) {
    std::array<PartRights, 4> parts;
    for (int part = 0; part < 4; ++part) {
        const int c = conditions[part];
        PartRights& described = parts[part];
        described.bits = {char('0' + ((c >> 2) & 1)), char('0' + ((c >> 1) & 1)),
                          char('0' + (c & 1))};
        if (part == commands::mifare::kTrailerPart) {
            const auto& r = commands::mifare::TrailerRightsOf(c);
            described.part = "trailer";
            described.rights = {{"keyARead", "key A read", r.keyARead},
                                {"keyAWrite", "key A write", r.keyAWrite},
                                {"accessRead", "access bits read", r.accessRead},
                                {"accessWrite", "access bits write", r.accessWrite},
                                {"keyBRead", "key B read", r.keyBRead},
                                {"keyBWrite", "key B write", r.keyBWrite}};
        } else {
            const auto& r = commands::mifare::DataRights(c);
            described.part = "block " + std::to_string(part);
            described.rights = {{"read", "read", r.read},
                                {"write", "write", r.write},
                                {"increment", "increment", r.increment},
                                {"decrement", "decrement", r.decrement}};
        }
    }
    return parts;
}

std::string RightsText(const PartRights& part) {
    std::string text;
    std::string subject;  // the trailer's "key A", said once for its read and write
    for (const Right& right : part.rights) {
        std::string words = right.words;
        const std::size_t space = words.rfind(' ');
        const std::string head = space == std::string::npos ? "" : words.substr(0, space);
        if (!text.empty()) text += head == subject ? ", " : "; ";
        if (head != subject || head.empty()) {
            text += words;
        } else {
            text += words.substr(space + 1);
        }
        subject = head;
        text += " " + KeysWord(right.keys);
    }
    return text;
}

}  // namespace cli
