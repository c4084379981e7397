#include "platform/CodePage.h"

#include <iconv.h>

#include <QList>
#include <array>
#include <cerrno>
#include <memory>
#include <utility>
#include <vector>

namespace platform {

namespace {

constexpr std::array<const char*, kLanguageCount> kCodePageNames = {"WINDOWS-1252", "GBK", "BIG5"};

// QString::toUcs4 and fromUcs4 use the host's byte order.
#if Q_BYTE_ORDER == Q_LITTLE_ENDIAN
constexpr const char* kUtf32 = "UTF-32LE";
#else
constexpr const char* kUtf32 = "UTF-32BE";
#endif

constexpr char16_t kReplacement = 0xFFFD;

int CheckedLanguage(int language) {
    return language >= 0 && language < kLanguageCount ? language : 0;
}

// One iconv descriptor, opened once and kept: opening loads the code page's tables.
class Converter {
public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~Converter() {
        if (valid()) iconv_close(cd_);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    bool valid() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

    // One step of the conversion; returns errno (0 when all input was taken).
    int step(char** in, std::size_t* inLeft, char** out, std::size_t* outLeft) {
        if (iconv(cd_, in, inLeft, out, outLeft) != static_cast<std::size_t>(-1)) return 0;
        return errno;
    }
    void reset() { iconv(cd_, nullptr, nullptr, nullptr, nullptr); }

private:
    iconv_t cd_;
};

// Descriptors carry shift state, so each thread keeps its own.
Converter& ConverterFor(int language, bool encoding) {
    thread_local std::array<std::unique_ptr<Converter>, 2 * kLanguageCount> cache;
    auto& slot = cache[static_cast<std::size_t>(2 * language + (encoding ? 1 : 0))];
    if (!slot) {
        const char* page = kCodePageNames[static_cast<std::size_t>(language)];
        slot = encoding ? std::make_unique<Converter>(page, kUtf32)
                        : std::make_unique<Converter>(kUtf32, page);
    }
    slot->reset();
    return *slot;
}

bool IsAscii(const QString& text) {
    for (QChar c : text) {
        if (c.unicode() >= 0x80) return false;
    }
    return true;
}

bool IsAscii(std::string_view bytes) {
    for (char c : bytes) {
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    }
    return true;
}

}  // namespace

const char* CodePageName(int language) {
    return kCodePageNames[static_cast<std::size_t>(CheckedLanguage(language))];
}

namespace {

// Index in the QString of the code point at `index` of its UCS-4 form.
qsizetype Utf16Position(const QList<uint>& ucs4, std::size_t index) {
    qsizetype position = 0;
    for (std::size_t i = 0; i < index; ++i)
        position += ucs4[static_cast<qsizetype>(i)] > 0xFFFF ? 2 : 1;
    return position;
}

// `replace`: a lacking character becomes "?" and the conversion goes on; otherwise it stops
// there and says which.
Encoding Encode(const QString& text, int language, bool replace) {
    Encoding result;
    std::string& out = result.bytes;
    // ASCII is the same in all three code pages.
    if (IsAscii(text)) {
        out = text.toLatin1().toStdString();
        return result;
    }

    // Lone surrogates come out of toUcs4 as U+FFFD, which no code page has.
    QList<uint> ucs4 = text.toUcs4();
    const auto lacking = [&](std::size_t index) {
        if (replace) {
            out.push_back('?');
            return false;
        }
        result.failure = Unencodable{static_cast<char32_t>(ucs4[static_cast<qsizetype>(index)]),
                                     Utf16Position(ucs4, index)};
        return true;
    };

    Converter& converter = ConverterFor(CheckedLanguage(language), true);
    if (!converter.valid()) {
        for (std::size_t i = 0; i < static_cast<std::size_t>(ucs4.size()); ++i) {
            const uint c = ucs4[static_cast<qsizetype>(i)];
            if (c < 0x80)
                out.push_back(static_cast<char>(c));
            else if (lacking(i))
                break;
        }
        return result;
    }

    // At most two bytes per character in all three code pages; E2BIG grows it all the same.
    out.resize(2 * static_cast<std::size_t>(ucs4.size()) + 4);
    char* const first = reinterpret_cast<char*>(ucs4.data());
    char* in = first;
    std::size_t inLeft = static_cast<std::size_t>(ucs4.size()) * sizeof(uint);
    std::size_t used = 0;
    while (inLeft > 0) {
        char* outPtr = out.data() + used;
        std::size_t outLeft = out.size() - used;
        const int error = converter.step(&in, &inLeft, &outPtr, &outLeft);
        used = out.size() - outLeft;
        if (error == 0) break;
        if (error == E2BIG) {
            out.resize(out.size() * 2);
            continue;
        }
        // A character the code page lacks (EILSEQ), or anything unexpected.
        out.resize(used);
        if (lacking(static_cast<std::size_t>(in - first) / sizeof(uint))) return result;
        used = out.size();
        out.resize(out.size() * 2 + 4);
        in += sizeof(uint);
        inLeft -= sizeof(uint);
        converter.reset();
    }
    out.resize(used);
    return result;
}

}  // namespace

const char* CodePageLabel(int language) {
    static constexpr std::array<const char*, kLanguageCount> kLabels = {"Windows-1252", "GBK",
                                                                        "Big5"};
    return kLabels[static_cast<std::size_t>(CheckedLanguage(language))];
}

std::string EncodeText(const QString& text, int language) {
    return Encode(text, language, true).bytes;
}

Encoding EncodeChecked(const QString& text, int language) { return Encode(text, language, false); }

QString DecodeText(std::string_view bytes, int language) {
    if (IsAscii(bytes))
        return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));

    Converter& converter = ConverterFor(CheckedLanguage(language), false);
    if (!converter.valid()) {
        QString out;
        out.reserve(static_cast<qsizetype>(bytes.size()));
        for (char c : bytes) {
            out.append(static_cast<unsigned char>(c) < 0x80 ? QChar(QLatin1Char(c))
                                                            : QChar(kReplacement));
        }
        return out;
    }

    // Every character takes at least one byte, so this is enough; E2BIG grows it all the same.
    std::vector<char32_t> ucs4(bytes.size() + 1);
    std::vector<char> input(bytes.begin(), bytes.end());  // iconv wants a mutable pointer
    char* in = input.data();
    std::size_t inLeft = input.size();
    std::size_t used = 0;
    while (inLeft > 0) {
        char* outPtr = reinterpret_cast<char*>(ucs4.data() + used);
        std::size_t outLeft = (ucs4.size() - used) * sizeof(char32_t);
        const int error = converter.step(&in, &inLeft, &outPtr, &outLeft);
        used = ucs4.size() - outLeft / sizeof(char32_t);
        if (error == 0) break;
        if (error == E2BIG) {
            ucs4.resize(ucs4.size() * 2);
            continue;
        }
        // EILSEQ (invalid), EINVAL (a lead byte cut off at the end): skip exactly one byte.
        if (used == ucs4.size()) ucs4.resize(ucs4.size() * 2);
        ucs4[used++] = kReplacement;
        ++in;
        --inLeft;
        converter.reset();
    }
    return QString::fromUcs4(ucs4.data(), static_cast<qsizetype>(used));
}

std::size_t EncodedLength(const QString& text, int language) {
    if (IsAscii(text)) return static_cast<std::size_t>(text.size());
    return EncodeText(text, language).size();
}

}  // namespace platform

namespace platform {
namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

int HexValue(QChar c) {
    const char16_t u = c.unicode();
    if (u >= '0' && u <= '9') return u - '0';
    if (u >= 'A' && u <= 'F') return u - 'A' + 10;
    if (u >= 'a' && u <= 'f') return u - 'a' + 10;
    return -1;
}

// The one printable character that `bytes` are in the code page, when it encodes back to them.
std::optional<QString> OneCharacter(std::string_view bytes, int language) {
    const QString text = DecodeText(bytes, language);
    const QList<uint> ucs4 = text.toUcs4();
    if (ucs4.size() != 1 || ucs4[0] == kReplacement || ucs4[0] == '\\') return std::nullopt;
    if (!QChar::isPrint(static_cast<char32_t>(ucs4[0]))) return std::nullopt;
    const Encoding back = EncodeChecked(text, language);
    if (!back.ok() || back.bytes != bytes) return std::nullopt;
    return text;
}

// What BytesFromText reads at `at`: an escape's byte and its length, or nothing.
std::optional<std::pair<char, int>> Escape(const QString& text, qsizetype at) {
    if (text.at(at) != u'\\' || at + 1 >= text.size()) return std::nullopt;
    if (text.at(at + 1) == u'\\') return std::pair<char, int>{'\\', 2};
    if (text.at(at + 1) != u'x' || at + 3 >= text.size()) return std::nullopt;
    const int high = HexValue(text.at(at + 2));
    const int low = HexValue(text.at(at + 3));
    if (high < 0 || low < 0) return std::nullopt;
    return std::pair<char, int>{static_cast<char>(high * 16 + low), 4};
}

}  // namespace

QString BytesAsText(std::string_view bytes, int language) {
    QString text;
    for (std::size_t i = 0; i < bytes.size();) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        if (byte == '\\') {
            text += QStringLiteral("\\\\");
            ++i;
            continue;
        }
        if (byte >= 0x20 && byte < 0x7F) {
            text += QChar(byte);
            ++i;
            continue;
        }
        // A two-byte character of GBK or Big5 first, then a one-byte one.
        bool shown = false;
        for (std::size_t width : {std::size_t{2}, std::size_t{1}}) {
            if (byte < 0x80 || i + width > bytes.size()) continue;
            if (const auto one = OneCharacter(bytes.substr(i, width), language)) {
                text += *one;
                i += width;
                shown = true;
                break;
            }
        }
        if (shown) continue;
        text += QStringLiteral("\\x");
        text += QChar(kHexDigits[byte >> 4]);
        text += QChar(kHexDigits[byte & 0x0F]);
        ++i;
    }
    return text;
}

Encoding BytesFromText(const QString& text, int language) {
    Encoding result;
    qsizetype runStart = 0;  // the characters since the last escape, encoded together
    const auto flush = [&](qsizetype end) {
        if (end <= runStart) return true;
        const Encoding run = EncodeChecked(text.mid(runStart, end - runStart), language);
        result.bytes += run.bytes;
        if (run.failure) {
            result.failure = Unencodable{run.failure->character, runStart + run.failure->position};
            return false;
        }
        return true;
    };
    for (qsizetype at = 0; at < text.size();) {
        const auto escape = Escape(text, at);
        if (!escape) {
            ++at;
            continue;
        }
        if (!flush(at)) return result;
        result.bytes += escape->first;
        at += escape->second;
        runStart = at;
    }
    flush(text.size());
    return result;
}

std::size_t BytesFromTextLength(const QString& text, int language) {
    std::size_t length = 0;
    qsizetype runStart = 0;
    for (qsizetype at = 0; at < text.size();) {
        const auto escape = Escape(text, at);
        if (!escape) {
            ++at;
            continue;
        }
        length += EncodedLength(text.mid(runStart, at - runStart), language) + 1;
        at += escape->second;
        runStart = at;
    }
    return length + EncodedLength(text.mid(runStart), language);
}

}  // namespace platform
