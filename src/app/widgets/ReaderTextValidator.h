// What an edit box whose text goes to a reader may hold. CR, LF and TAB never: TAB opens a
// command frame and CR ends it, so one of them inside the text would cut the frame short or
// start a new one; they are dropped wherever they come from (typed, pasted, set by code).
// Optionally a length limit counted in bytes of the current language's code page: a Chinese
// character takes two of the reader's bytes, so a 16-byte title holds 8 of them. The language
// is asked afresh on every keystroke, so switching the window's language changes what still
// fits.
#pragma once

#include <QString>
#include <QValidator>
#include <cstddef>
#include <functional>

class QLineEdit;

namespace app {

class ReaderTextValidator : public QValidator {
    Q_OBJECT
public:
    static constexpr int kNoByteLimit = 0;
    // How many of the reader's bytes a text is in a language: platform::EncodedLength, or
    // platform::BytesFromTextLength for a box that shows reader bytes.
    using ByteCount = std::size_t (*)(const QString& text, int language);

    ReaderTextValidator(int maxBytes, std::function<int()> language, QObject* parent = nullptr,
                        ByteCount count = nullptr);

    int maxBytes() const { return maxBytes_; }

    // The frame characters are taken out first. Then a text that does not fit loses the
    // characters just before the cursor, that is the end of what was typed or pasted, until it
    // fits: a paste is cut short rather than refused. A text that was already too long (set by
    // the program, or grown by a language switch) may still be shortened, but nothing more
    // goes in.
    State validate(QString& input, int& pos) const override;

signals:
    // An edit went past the limit (bytes, or the box's characters) and was cut there or
    // refused: the window says why.
    void limitReached(int maxBytes) const;

private:
    int maxBytes_;
    std::function<int()> language_;
    ByteCount count_;
    QString current_;  // the edit box's text before the edit being validated
};

// Puts the validator on `edit` (it belongs to the edit box); maxBytes kNoByteLimit: no limit.
ReaderTextValidator* ForReader(QLineEdit* edit, int maxBytes, std::function<int()> language,
                               ReaderTextValidator::ByteCount count = nullptr);

}  // namespace app
