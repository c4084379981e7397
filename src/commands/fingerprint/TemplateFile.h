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
// A part's text is written as it stands, except that a backslash is written "\\" and a control
// character (0x00 to 0x1F, 0x7F) "\xHH" with upper-case digits, so every part stays on its line
// and comes back exactly. Lines may end in LF or CR LF; a UTF-8 byte order mark in front and
// empty lines at the end are allowed. Anything else is not a template file, and reading it
// gives no template at all.
#pragma once

#include <array>
#include <cstddef>
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
    TemplateParts parts;       // UTF-8, at most 256 characters each

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
    PartTooLong,      // more than 256 characters
};

// What keeps `file` from being written (or, once read, from being used); None when nothing.
TemplateFileProblem CheckTemplateFile(const TemplateFile& file);
// The text of the file; `file` must pass the check.
std::string FormatTemplateFile(const TemplateFile& file);

struct TemplateFileRead {
    std::optional<TemplateFile> file;  // set exactly when problem is None
    TemplateFileProblem problem = TemplateFileProblem::None;
};
TemplateFileRead ParseTemplateFile(std::string_view text);

}  // namespace commands::fingerprint
