// Code pages: where texts leave the program as bytes (commands to a reader, byte-counted length
// limits) and where reader bytes come back to be shown. Inside the program every text is a
// QString; texts go out in the code page of the window's current language: language 0
// English: Windows-1252, 1 Simplified Chinese: GBK, 2 Traditional Chinese: Big5.
// Conversion goes through glibc's iconv; ASCII-only texts, the common case for commands, take a
// direct path. An unknown language index is treated as English.
#pragma once

#include <QString>
#include <cstddef>
#include <string>
#include <string_view>

namespace platform {

constexpr int kLanguageCount = 3;

// The code page's name as iconv knows it: "WINDOWS-1252", "GBK" or "BIG5".
const char* CodePageName(int language);

// The bytes of `text` in the language's code page. A character the code page lacks becomes one
// "?", as the original platform's conversion did, so a text never grows unexpectedly.
std::string EncodeText(const QString& text, int language);

// `bytes` read in the language's code page. A byte that starts no valid character becomes
// U+FFFD and the next byte is read afresh, so one stray byte cannot swallow the CR after it.
QString DecodeText(std::string_view bytes, int language);

// Length of `text` in bytes of the language's code page: the unit of every length limit on
// texts sent to a reader.
std::size_t EncodedLength(const QString& text, int language);

}  // namespace platform
