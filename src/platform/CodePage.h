// Code pages: where texts leave the program as bytes (commands to a reader, byte-counted length
// limits) and where reader bytes come back to be shown. Inside the program every text is a
// QString; texts go out in the code page of the window's current language: language 0
// English: Windows-1252, 1 Simplified Chinese: GBK, 2 Traditional Chinese: Big5.
// Conversion goes through glibc's iconv; ASCII-only texts, the common case for commands, take a
// direct path. An unknown language index is treated as English.
#pragma once

#include <QString>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

constexpr int kLanguageCount = 3;

// The code page's name as iconv knows it: "WINDOWS-1252", "GBK" or "BIG5".
const char* CodePageName(int language);

// The code page's name as a user reads it: "Windows-1252", "GBK" or "Big5".
const char* CodePageLabel(int language);

// The bytes of `text` in the language's code page. A character the code page lacks becomes one
// "?", so a text never grows unexpectedly; what goes to a reader takes EncodeChecked instead.
std::string EncodeText(const QString& text, int language);

// The first character of a text that a code page lacks.
struct Unencodable {
    char32_t character = 0;
    qsizetype position = 0;  // its index in the QString (UTF-16 units)
};

// A text in a code page, or where it cannot be: `bytes` then holds what came before.
struct Encoding {
    std::string bytes;
    std::optional<Unencodable> failure;
    bool ok() const { return !failure; }
};
Encoding EncodeChecked(const QString& text, int language);

// `bytes` read in the language's code page. A byte that starts no valid character becomes
// U+FFFD and the next byte is read afresh, so one stray byte cannot swallow the CR after it.
QString DecodeText(std::string_view bytes, int language);

// Length of `text` in bytes of the language's code page: the unit of every length limit on
// texts sent to a reader.
std::size_t EncodedLength(const QString& text, int language);

// Bytes a reader sent that must come back unchanged (template parts, fingerprint IDs), as an edit
// box shows them: where one or two bytes decode in the code page to a printable character that
// encodes back to the same bytes, that character; a backslash as "\\"; every other byte as
// "\xHH" (upper-case digits). BytesFromText reads that form back exactly; it also takes
// lower-case digits, and a backslash that starts neither escape stands for itself. Its failure
// is the first character the code page lacks.
QString BytesAsText(std::string_view bytes, int language);
Encoding BytesFromText(const QString& text, int language);
// Bytes the text stands for, counted as EncodedLength counts (a lacking character as one).
std::size_t BytesFromTextLength(const QString& text, int language);

}  // namespace platform
