#include "platform/CodePage.h"

#include <iconv.h>

#include <QList>
#include <array>
#include <cerrno>
#include <memory>
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

std::string EncodeText(const QString& text, int language) {
    // ASCII is the same in all three code pages.
    if (IsAscii(text)) return text.toLatin1().toStdString();

    // Lone surrogates come out of toUcs4 as U+FFFD, which no code page has: they become "?".
    QList<uint> ucs4 = text.toUcs4();

    Converter& converter = ConverterFor(CheckedLanguage(language), true);
    std::string out;
    if (!converter.valid()) {
        for (uint c : ucs4) out.push_back(c < 0x80 ? static_cast<char>(c) : '?');
        return out;
    }

    // At most two bytes per character in all three code pages; E2BIG grows it all the same.
    out.resize(2 * static_cast<std::size_t>(ucs4.size()) + 4);
    char* in = reinterpret_cast<char*>(ucs4.data());
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
        } else {
            // A character the code page lacks (EILSEQ), or anything unexpected: one "?".
            if (used == out.size()) out.resize(out.size() * 2);
            out[used++] = '?';
            in += sizeof(uint);
            inLeft -= sizeof(uint);
        }
    }
    out.resize(used);
    return out;
}

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
