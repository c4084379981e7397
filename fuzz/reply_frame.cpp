// Reply frames as they arrive byte by byte (ReplyAssembler), their checksum, their display form,
// and the field readers every command decodes replies with.
#include <algorithm>
#include <cstdint>
#include <string>

#include "FuzzInput.h"
#include "link/Frame.h"
#include "link/ReplyAssembler.h"
#include "link/ReplyFields.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Input in(data, size);
    const int position = in.below(40) - 4;
    const int length = in.below(40) - 4;
    const std::string bytes = in.rest();
    const auto* raw = reinterpret_cast<const std::uint8_t*>(bytes.data());

    // A reply as it comes off the line, frame after frame.
    tblink::ReplyAssembler assembler;
    for (std::uint8_t b : bytes) {
        if (assembler.feed(b) == tblink::ReplyAssembler::Step::Complete) {
            const std::string frame = assembler.frameText();
            fuzz::Check(frame.size() <= assembler.length(), "frame text within the frame");
            (void)assembler.checksumOk();
            assembler.reset();
        }
        fuzz::Check(assembler.length() <= tblink::kBufferSize, "assembler stays in its buffer");
    }

    // A frame built around the bytes always verifies, and assembles whole when the bytes hold
    // no CR and it is shorter than the buffer (at 1050 bytes storing wraps to index 0).
    const std::string frame = fuzz::ReplyFrame(bytes);
    fuzz::Check(
        tblink::VerifyReply(reinterpret_cast<const std::uint8_t*>(frame.data()), frame.size()),
        "a checksummed frame verifies");
    if (bytes.find('\r') == std::string::npos && frame.size() < tblink::kBufferSize) {
        tblink::ReplyAssembler whole;
        tblink::ReplyAssembler::Step step = tblink::ReplyAssembler::Step::Collecting;
        for (char c : frame) step = whole.feed(static_cast<std::uint8_t>(c));
        fuzz::Check(step == tblink::ReplyAssembler::Step::Complete && whole.checksumOk() &&
                        whole.length() == frame.size(),
                    "a well-formed frame assembles and verifies");
    }
    (void)tblink::VerifyReply(raw, bytes.size());

    const std::string echo = tblink::EchoBytes(bytes.size(), raw);
    fuzz::Check(echo.size() <= tblink::kBufferSize, "echo within the echo buffer");
    fuzz::Check(tblink::SentEcho(bytes).size() >= bytes.size(), "sent echo holds the text");
    const std::string command = tblink::CommandFrame(bytes);
    fuzz::Check(
        command.size() == bytes.size() + 4 && command.front() == '\t' && command.back() == '\r',
        "command frame shape");

    const std::string field = tblink::ReplyField(bytes, position, length);
    fuzz::Check(field.size() <= static_cast<std::size_t>(length < 0 ? 0 : length),
                "field no longer than asked");
    if (const auto value = tblink::DecimalField(bytes, position, length))
        fuzz::Check(*value >= 0, "decimal field not negative");
    if (const auto value = tblink::HexField(bytes, position, length))
        fuzz::Check(*value >= 0, "hex field not negative");
    (void)tblink::HexToInt32(bytes);

    // The mask reads any text as 16 hex digits; on its own output it undoes itself.
    const std::string masked = tblink::MaskHex16(bytes);
    fuzz::Check(masked.size() == 16 && tblink::MaskHex16(tblink::MaskHex16(masked)) == masked,
                "mask applied twice");
    const std::string reversed = tblink::ReverseHexBytes(bytes);
    fuzz::Check(reversed.size() == std::min<std::size_t>(bytes.size(), 16),
                "byte swap keeps the characters");
    if (bytes.size() % 2 == 0 && bytes.size() <= 16)
        fuzz::Check(tblink::ReverseHexBytes(reversed) == bytes, "byte swap applied twice");
    return 0;
}
