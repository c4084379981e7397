#include "app/widgets/ReaderTextValidator.h"

#include <QLineEdit>
#include <utility>

#include "platform/CodePage.h"

namespace app {
namespace {

bool IsFrameCharacter(QChar ch) { return ch == u'\r' || ch == u'\n' || ch == u'\t'; }

}  // namespace

ReaderTextValidator::ReaderTextValidator(int maxBytes, std::function<int()> language,
                                         QObject* parent, ByteCount count)
    : QValidator(parent),
      maxBytes_(maxBytes),
      language_(std::move(language)),
      count_(count ? count : platform::EncodedLength) {
    if (auto* edit = qobject_cast<QLineEdit*>(parent)) {
        current_ = edit->text();
        connect(edit, &QLineEdit::textChanged, this,
                [this](const QString& text) { current_ = text; });
        // The box's own character limit cuts a paste before it gets here, and a refused edit
        // ends here too: both are the limit reached.
        connect(edit, &QLineEdit::inputRejected, this, [this] {
            if (maxBytes_ != kNoByteLimit) emit limitReached(maxBytes_);
        });
    }
}

QValidator::State ReaderTextValidator::validate(QString& input, int& pos) const {
    for (int i = static_cast<int>(input.size()) - 1; i >= 0; --i) {
        if (!IsFrameCharacter(input.at(i))) continue;
        input.remove(i, 1);
        if (i < pos) --pos;
    }
    if (maxBytes_ == kNoByteLimit) return Acceptable;

    const int language = language_();
    const auto bytes = [this, language](const QString& text) { return count_(text, language); };
    const auto limit = static_cast<std::size_t>(maxBytes_);
    if (bytes(input) <= limit) return Acceptable;
    const std::size_t before = bytes(current_);
    if (before > limit) return bytes(input) <= before ? Acceptable : Invalid;
    emit limitReached(maxBytes_);
    // Never split a surrogate pair: one character of the code page is one code point.
    while (pos > 0 && bytes(input) > limit) {
        const int width =
            pos >= 2 && input.at(pos - 1).isLowSurrogate() && input.at(pos - 2).isHighSurrogate()
                ? 2
                : 1;
        input.remove(pos - width, width);
        pos -= width;
    }
    return bytes(input) <= limit ? Acceptable : Invalid;
}

ReaderTextValidator* ForReader(QLineEdit* edit, int maxBytes, std::function<int()> language,
                               ReaderTextValidator::ByteCount count) {
    auto* validator = new ReaderTextValidator(maxBytes, std::move(language), edit, count);
    edit->setValidator(validator);
    return validator;
}

}  // namespace app
