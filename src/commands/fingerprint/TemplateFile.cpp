#include "commands/fingerprint/TemplateFile.h"

#include <vector>

#include "commands/fingerprint/Enrolment.h"

namespace commands::fingerprint {
namespace {

using Problem = TemplateFileProblem;

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr std::string_view kFingerKey = "finger=";
constexpr std::size_t kFingerDigits = 6;

bool ControlByte(unsigned char byte) { return byte < 0x20 || byte == 0x7F; }

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// The number of characters in well-formed UTF-8; nullopt for anything else (stray continuation
// bytes, cut sequences, overlong forms, surrogates, values beyond U+10FFFF).
std::optional<std::size_t> Utf8Length(std::string_view text) {
    struct Form {
        unsigned char mask, lead;
        std::size_t extra;
        unsigned long smallest;
    };
    static constexpr Form kForms[] = {{0x80, 0x00, 0, 0},
                                      {0xE0, 0xC0, 1, 0x80},
                                      {0xF0, 0xE0, 2, 0x800},
                                      {0xF8, 0xF0, 3, 0x10000}};
    std::size_t characters = 0;
    for (std::size_t i = 0; i < text.size(); ++characters) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const Form* form = nullptr;
        for (const Form& candidate : kForms) {
            if ((lead & candidate.mask) == candidate.lead) {
                form = &candidate;
                break;
            }
        }
        if (!form || i + form->extra >= text.size()) return std::nullopt;
        unsigned long value = lead & static_cast<unsigned char>(~form->mask);
        for (std::size_t k = 1; k <= form->extra; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80) return std::nullopt;
            value = (value << 6) | (next & 0x3Fu);
        }
        if (value < form->smallest || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
            return std::nullopt;
        i += form->extra + 1;
    }
    return characters;
}

bool ValidFingerNumber(std::string_view text) {
    if (text.size() != kFingerDigits) return false;
    int value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        value = value * 10 + (c - '0');
    }
    return value <= kMaxFingerNumber;
}

std::string Escape(std::string_view part) {
    static const char kDigits[] = "0123456789ABCDEF";
    std::string escaped;
    for (char c : part) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '\\') {
            escaped += "\\\\";
        } else if (ControlByte(byte) || byte >= 0x80) {
            escaped += "\\x";
            escaped += kDigits[byte >> 4];
            escaped += kDigits[byte & 0x0F];
        } else {
            escaped += c;
        }
    }
    return escaped;
}

// A part line's bytes, or none; an older file's characters go through `oldText`, each run of them
// counting its characters against the part's length.
std::optional<std::string> Unescape(std::string_view text, const OldPartText& oldText,
                                    Problem& problem) {
    std::string part;
    std::size_t length = 0;
    problem = Problem::BadPart;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        const auto byte = static_cast<unsigned char>(c);
        if (ControlByte(byte)) return std::nullopt;
        if (byte >= 0x80) {
            std::size_t end = i;
            while (end < text.size() && static_cast<unsigned char>(text[end]) >= 0x80) ++end;
            const std::string_view run = text.substr(i, end - i);
            const auto characters = Utf8Length(run);
            if (!characters || !oldText) return std::nullopt;
            const auto bytes = oldText(run);
            if (!bytes) {
                problem = Problem::Unsendable;
                return std::nullopt;
            }
            part += *bytes;
            length += *characters;
            i = end - 1;
            continue;
        }
        ++length;
        if (c != '\\') {
            part += c;
        } else if (i + 1 < text.size() && text[i + 1] == '\\') {
            part += '\\';
            i += 1;
        } else if (i + 3 < text.size() && text[i + 1] == 'x' && HexDigit(text[i + 2]) >= 0 &&
                   HexDigit(text[i + 3]) >= 0) {
            part += static_cast<char>(HexDigit(text[i + 2]) * 16 + HexDigit(text[i + 3]));
            i += 3;
        } else {
            return std::nullopt;
        }
    }
    if (length > kTemplatePartLength) {
        problem = Problem::PartTooLong;
        return std::nullopt;
    }
    problem = Problem::None;
    return part;
}

std::vector<std::string_view> Lines(std::string_view text) {
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const auto end = text.find('\n');
        std::string_view line = text.substr(0, end);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        lines.push_back(line);
        if (end == std::string_view::npos) break;
        text.remove_prefix(end + 1);
    }
    while (!lines.empty() && lines.back().empty()) lines.pop_back();
    return lines;
}

std::string PartKey(std::size_t part) { return "part" + std::to_string(part + 1) + "="; }

}  // namespace

TemplateFileProblem CheckTemplateFile(const TemplateFile& file) {
    if (!ValidFingerNumber(file.fingerNumber)) return Problem::BadFingerNumber;
    for (const std::string& part : file.parts) {
        if (part.size() > kTemplatePartLength) return Problem::PartTooLong;
    }
    return Problem::None;
}

std::string FormatTemplateFile(const TemplateFile& file) {
    std::string text = std::string(kTemplateFileHeader) + "\n";
    text += std::string(kFingerKey) + file.fingerNumber + "\n";
    for (std::size_t part = 0; part < file.parts.size(); ++part)
        text += PartKey(part) + Escape(file.parts[part]) + "\n";
    return text;
}

TemplateFileRead ParseTemplateFile(std::string_view text, const OldPartText& oldText) {
    const auto refused = [](Problem problem) { return TemplateFileRead{std::nullopt, problem}; };
    if (text.size() > kMaxTemplateFileBytes) return refused(Problem::NotTemplateFile);
    if (text.substr(0, kByteOrderMark.size()) == kByteOrderMark)
        text.remove_prefix(kByteOrderMark.size());
    const std::vector<std::string_view> lines = Lines(text);
    constexpr std::size_t kLines = 2 + kTemplateParts;
    if (lines.empty() || lines[0] != kTemplateFileHeader) return refused(Problem::NotTemplateFile);
    if (lines.size() > kLines) return refused(Problem::NotTemplateFile);

    TemplateFile file;
    if (lines.size() < 2 || lines[1].substr(0, kFingerKey.size()) != kFingerKey)
        return refused(Problem::BadFingerNumber);
    file.fingerNumber = std::string(lines[1].substr(kFingerKey.size()));
    for (std::size_t part = 0; part < file.parts.size(); ++part) {
        const std::size_t at = 2 + part;
        const std::string key = PartKey(part);
        if (at >= lines.size() || lines[at].substr(0, key.size()) != key)
            return refused(Problem::BadPart);
        Problem problem = Problem::None;
        const auto unescaped = Unescape(lines[at].substr(key.size()), oldText, problem);
        if (!unescaped) return refused(problem);
        file.parts[part] = *unescaped;
    }
    // An older file's part may be more than 256 bytes once its characters are encoded.
    if (!ValidFingerNumber(file.fingerNumber)) return refused(Problem::BadFingerNumber);
    return {file, Problem::None};
}

}  // namespace commands::fingerprint
