// A length limit counted in bytes of the current language's code page, for edit boxes whose
// text goes to a reader: a Chinese character takes two of the reader's bytes, so a 16-byte
// title holds 8 of them. The language is asked afresh on every keystroke, so switching the
// window's language changes what still fits.
#pragma once

#include <QString>
#include <QValidator>
#include <functional>

class QLineEdit;

namespace app {

class ByteLimitValidator : public QValidator {
    Q_OBJECT
public:
    ByteLimitValidator(int maxBytes, std::function<int()> language, QObject* parent = nullptr);

    int maxBytes() const { return maxBytes_; }

    // A text that does not fit loses the characters just before the cursor, that is the end of
    // what was typed or pasted, until it fits: a paste is cut short rather than refused. A text
    // that was already too long (set by the program, or grown by a language switch) may still
    // be shortened, but nothing more goes in.
    State validate(QString& input, int& pos) const override;

private:
    int maxBytes_;
    std::function<int()> language_;
    QString current_;  // the edit box's text before the edit being validated
};

// Puts the byte limit on `edit` (the validator belongs to the edit box).
ByteLimitValidator* LimitBytes(QLineEdit* edit, int maxBytes, std::function<int()> language);

}  // namespace app
