// Fingerprint replies: the fingerprint ID and the template parts read from replies of the input,
// and the stand-alone sequence with its restart wait, all through the link.
#include <cstdint>
#include <string>

#include "FuzzReader.h"
#include "commands/fingerprint/Enrolment.h"
#include "commands/fingerprint/Restart.h"
#include "commands/fingerprint/StandAlone.h"
#include "commands/fingerprint/Templates.h"

namespace {

using namespace commands::fingerprint;
using fuzz::Check;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Input in(data, size);
    const int which = in.below(5);
    const std::string finger = in.text();
    if (which == 0) {
        const std::string text = in.rest();
        const std::string trimmed = TrimBlanks(text);
        Check(trimmed.size() <= text.size() && text.find(trimmed) != std::string::npos &&
                  TrimBlanks(trimmed) == trimmed,
              "trimming is a part of the text, and settled");
        (void)SetFingerprintIdCommand(finger, text);
        return 0;
    }
    fuzz::Reader reader(in, "U01");
    const commands::Session& session = reader.session;
    switch (which) {
        case 1:
            if (const auto id = GetFingerprintId(session, finger))
                Check(id->size() == kFingerprintIdLength, "a fingerprint ID is 16 characters");
            (void)SetFingerprintId(session, finger, in.text());
            break;
        case 2: {
            const TemplateGet got = GetTemplate(session, finger);
            for (const auto& part : got.parts)
                Check(!part || part->size() == kTemplatePartLength, "a part is 256 characters");
            break;
        }
        case 3: {
            TemplateParts parts;
            for (std::string& part : parts) part = in.bytes(in.byte() * 2u);
            (void)PutTemplate(session, finger, parts);
            break;
        }
        case 4:
            (void)StandAloneDefault(session);
            break;
    }
    return 0;
}
