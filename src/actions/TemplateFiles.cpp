#include "actions/TemplateFiles.h"

#include <QFile>
#include <QSaveFile>

#include "actions/Requests.h"
#include "platform/CodePage.h"

namespace actions {

namespace fp = commands::fingerprint;
using text::Msg;

Msg TemplateProblemMessage(fp::TemplateFileProblem problem) {
    switch (problem) {
        case fp::TemplateFileProblem::BadFingerNumber:
            return Msg::TemplateFileBadFingerNo;
        case fp::TemplateFileProblem::BadPart:
            return Msg::TemplateFileBadPart;
        case fp::TemplateFileProblem::PartTooLong:
            return Msg::TemplateFilePartTooLong;
        case fp::TemplateFileProblem::None:
        case fp::TemplateFileProblem::NotTemplateFile:
        case fp::TemplateFileProblem::Unsendable:  // LoadTemplateFile names the character
            break;
    }
    return Msg::TemplateFileNotTemplate;
}

TemplateFileLoad LoadTemplateFile(const QString& path, int language) {
    TemplateFileLoad load;
    QFile in(path);
    if (!in.open(QIODevice::ReadOnly)) {
        load.problem = {Msg::TemplateFileUnreadable, {}};
        return load;
    }
    // One byte more than a template file may have tells a larger file from a whole one.
    const QByteArray bytes = in.read(static_cast<qint64>(fp::kMaxTemplateFileBytes) + 1);
    std::optional<platform::Unencodable> lacking;
    const auto oldText = [&](std::string_view utf8) -> std::optional<std::string> {
        const QString text = QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
        platform::Encoding encoded = platform::EncodeChecked(text, language);
        if (encoded.failure) {
            lacking = encoded.failure;
            return std::nullopt;
        }
        return std::move(encoded.bytes);
    };
    fp::TemplateFileRead read =
        fp::ParseTemplateFile(std::string_view(bytes.constData(), bytes.size()), oldText);
    if (read.file)
        load.file = std::move(read.file);
    else if (lacking)
        load.problem = CannotSend(*lacking, language);
    else
        load.problem = {TemplateProblemMessage(read.problem), {}};
    return load;
}

std::optional<Msg> SaveTemplateFile(const QString& path, const fp::TemplateFile& file) {
    if (const auto problem = fp::CheckTemplateFile(file); problem != fp::TemplateFileProblem::None)
        return TemplateProblemMessage(problem);
    const std::string text = fp::FormatTemplateFile(file);
    QSaveFile out(path);
    const bool saved = out.open(QIODevice::WriteOnly) &&
                       out.write(text.data(), static_cast<qint64>(text.size())) ==
                           static_cast<qint64>(text.size()) &&
                       out.commit();
    if (!saved) return Msg::TemplateFileUnwritable;
    return std::nullopt;
}

}  // namespace actions
