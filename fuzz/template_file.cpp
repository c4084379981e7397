// The template file: whatever a file holds, a template read from it passes the check and comes
// back unchanged from the text it is saved as; a template built from the input and passing the
// check survives a save and a load.
#include <cstdint>
#include <string>

#include "FuzzInput.h"
#include "commands/fingerprint/TemplateFile.h"

namespace {

using namespace commands::fingerprint;
using fuzz::Check;

void SaveAndLoad(const TemplateFile& file) {
    const TemplateFileRead again = ParseTemplateFile(FormatTemplateFile(file));
    Check(again.problem == TemplateFileProblem::None && again.file && *again.file == file,
          "a saved template loads back unchanged");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Input in(data, size);
    if (in.flag()) {
        const TemplateFileRead read = ParseTemplateFile(in.rest());
        Check(read.file.has_value() == (read.problem == TemplateFileProblem::None),
              "a template exactly when no problem");
        if (read.file) {
            Check(CheckTemplateFile(*read.file) == TemplateFileProblem::None,
                  "a loaded template passes the check");
            SaveAndLoad(*read.file);
        }
        return 0;
    }
    TemplateFile file;
    file.fingerNumber = in.text();
    for (std::string& part : file.parts) part = in.bytes(in.byte() * 2u);
    if (CheckTemplateFile(file) == TemplateFileProblem::None) SaveAndLoad(file);
    return 0;
}
