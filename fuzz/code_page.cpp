// The code pages of the three languages: byte counts agree with the bytes, ASCII passes through
// unchanged, and text read from reader bytes that held only whole characters is written back the
// same way it reads.
#include <QString>
#include <cstdint>
#include <string>
#include <string_view>

#include "FuzzInput.h"
#include "platform/CodePage.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Input in(data, size);
    const int language = in.below(platform::kLanguageCount + 1);
    const std::string bytes = in.rest();
    const QString decoded = platform::DecodeText(bytes, language);
    const std::string encoded = platform::EncodeText(decoded, language);
    fuzz::Check(platform::EncodedLength(decoded, language) == encoded.size(),
                "the length is the byte count");
    if (!decoded.contains(QChar(0xFFFD)))
        fuzz::Check(platform::DecodeText(encoded, language) == decoded,
                    "decoded text encodes to bytes that decode the same");

    const QString typed = QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
    const std::string sent = platform::EncodeText(typed, language);
    fuzz::Check(platform::EncodedLength(typed, language) == sent.size(),
                "the length of typed text is its byte count");
    bool ascii = true;
    for (char c : bytes) ascii = ascii && static_cast<unsigned char>(c) < 0x80;
    if (ascii) fuzz::Check(sent == bytes && decoded == typed, "ASCII passes through");
    return 0;
}
