// Template files as both front ends save and load them: the file read with its size bound,
// written atomically, and each problem named by its catalogue entry.
#pragma once

#include <QString>
#include <optional>

#include "actions/Procedure.h"
#include "commands/fingerprint/TemplateFile.h"
#include "text/Catalogue.h"

namespace actions {

struct TemplateFileLoad {
    std::optional<commands::fingerprint::TemplateFile> file;
    Reason problem{text::Msg::TemplateFileNotTemplate, {}};  // when there is no file
};
// An older file's characters are read in the code page of `language` (TemplateFile.h).
TemplateFileLoad LoadTemplateFile(const QString& path, int language);

// None when saved; otherwise why not (nothing is left half-written).
std::optional<text::Msg> SaveTemplateFile(const QString& path,
                                          const commands::fingerprint::TemplateFile& file);

// What is wrong with a template or its file, as the message after "Load template error!".
text::Msg TemplateProblemMessage(commands::fingerprint::TemplateFileProblem problem);

}  // namespace actions
