// A slot's template in a small text file, so that an installer can carry an enrolled
// fingerprint from one reader to another: Save template... writes the finger number and the
// three parts as the window holds them, Load template... puts them back.
//
// The file is UTF-8 text, one item a line:
//
//     Tag Bench fingerprint template
//     finger=000001
//     part1=<text>
//     part2=<text>
//     part3=<text>
//
// A part holds the reader's bytes. A printable ASCII byte is written as it stands, a backslash
// "\\" and every other byte "\xHH" with upper-case digits, so every part stays on its line and
// comes back byte for byte, whatever the language of the window that reads it. Files written
// before parts were kept byte for byte hold the window's text instead: UTF-8 characters
// besides the escapes. Such a character is read as the text it was, in the code page of the
// window that loads the file. Lines may end in LF or CR LF; a UTF-8 byte order mark in front
// and empty lines at the end are allowed. Anything else is not a template file, and reading it
// gives no template at all.
#pragma once

#include <array>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "commands/fingerprint/Templates.h"

namespace commands::fingerprint {

// A template file is never larger than this; a larger file is not one.
constexpr std::size_t kMaxTemplateFileBytes = 16 * 1024;
constexpr const char* kTemplateFileHeader = "Tag Bench fingerprint template";

struct TemplateFile {
    std::string fingerNumber;  // six digits, "000000" to "009500"
    TemplateParts parts;       // the reader's bytes, at most 256 each

    bool operator==(const TemplateFile& other) const {
        return fingerNumber == other.fingerNumber && parts == other.parts;
    }
};

// Why a file is not a template file, or why a template cannot be saved.
enum class TemplateFileProblem {
    None,
    NotTemplateFile,  // not our header, too large, or lines that do not belong
    BadFingerNumber,  // missing, or not six digits up to 009500
    BadPart,          // missing, out of place, a broken escape or not UTF-8
    PartTooLong,      // more than 256 bytes (or, in an older file, characters)
    Unsendable,       // an older file's character that the code page lacks
};

// What keeps `file` from being written (or, once read, from being used); None when nothing.
TemplateFileProblem CheckTemplateFile(const TemplateFile& file);
// The text of the file; `file` must pass the check.
std::string FormatTemplateFile(const TemplateFile& file);

struct TemplateFileRead {
    std::optional<TemplateFile> file;  // set exactly when problem is None
    TemplateFileProblem problem = TemplateFileProblem::None;
};
// The bytes of an older file's characters (UTF-8) in the code page of the window that loads it;
// none when the code page lacks one.
using OldPartText = std::function<std::optional<std::string>(std::string_view utf8)>;
// Without `oldText` an older file's characters make the part BadPart.
TemplateFileRead ParseTemplateFile(std::string_view text, const OldPartText& oldText = {});

}  // namespace commands::fingerprint
