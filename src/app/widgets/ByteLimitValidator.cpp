#include "app/widgets/ByteLimitValidator.h"

#include <QLineEdit>
#include <utility>

#include "platform/CodePage.h"

namespace app {

ByteLimitValidator::ByteLimitValidator(int maxBytes, std::function<int()> language, QObject* parent)
    : QValidator(parent), maxBytes_(maxBytes), language_(std::move(language)) {
    if (auto* edit = qobject_cast<QLineEdit*>(parent)) {
        current_ = edit->text();
        connect(edit, &QLineEdit::textChanged, this,
                [this](const QString& text) { current_ = text; });
    }
}

QValidator::State ByteLimitValidator::validate(QString& input, int& pos) const {
    const int language = language_();
    const auto bytes = [language](const QString& text) {
        return platform::EncodedLength(text, language);
    };
    const auto limit = static_cast<std::size_t>(maxBytes_);
    if (bytes(input) <= limit) return Acceptable;
    const std::size_t before = bytes(current_);
    if (before > limit) return bytes(input) <= before ? Acceptable : Invalid;
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

ByteLimitValidator* LimitBytes(QLineEdit* edit, int maxBytes, std::function<int()> language) {
    auto* validator = new ByteLimitValidator(maxBytes, std::move(language), edit);
    edit->setValidator(validator);
    return validator;
}

}  // namespace app
