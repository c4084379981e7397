// Making the window's controls. Every control gets its name as object name and as accessible
// description, so tests and screen readers find it by the name the rest of the code uses;
// input controls also get an accessible name from their label (see ApplyAccessibleNames).
#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <array>

class QCheckBox;
class QComboBox;
class QGridLayout;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QScrollBar;
class QWidget;

namespace app {

void Name(QWidget* control, const char* name);

// The captions the language menu changes live in one table (Language.cpp): the English caption
// of the control `name`, or a null string for a control outside it.
QString EnglishCaption(const char* name);
// The same in `language`.
QString CaptionIn(const char* name, int language);
// The controls of that table.
QList<const char*> TranslatedControls();

// Without a caption, a control of the table gets its English caption; the others keep the one
// given (a name the reader itself uses, the same in every language).
QLabel* MakeLabel(QWidget* parent, const char* name);
QLabel* MakeLabel(QWidget* parent, const char* name, const QString& caption);
// A sky-blue, lowered panel showing a value (pnMsg, pnID, ...).
QLabel* MakePanel(QWidget* parent, const char* name, const QString& caption);
// A panel beside a scroll bar, showing its position as the commands send it.
QLabel* MakeValuePanel(QWidget* parent, const char* name, const QString& caption);
QPushButton* MakeButton(QWidget* parent, const char* name);
QCheckBox* MakeCheckBox(QWidget* parent, const char* name);
QCheckBox* MakeCheckBox(QWidget* parent, const char* name, const QString& caption);
QRadioButton* MakeRadioButton(QWidget* parent, const char* name);
QRadioButton* MakeRadioButton(QWidget* parent, const char* name, const QString& caption);
QGroupBox* MakeGroupBox(QWidget* parent, const char* name);
QGroupBox* MakeGroupBox(QWidget* parent, const char* name, const QString& caption);
// A drop-down list of fixed items, item 0 selected.
QComboBox* MakeComboBox(QWidget* parent, const char* name, const QStringList& items);
// The items of one of the lists that commands/ shares with tagbench-cli.
template <std::size_t N>
QStringList Items(const std::array<const char*, N>& items) {
    QStringList list;
    for (const char* item : items) list << QString::fromLatin1(item);
    return list;
}
// A horizontal scroll bar with its range, large step and initial position.
QScrollBar* MakeScrollBar(QWidget* parent, const char* name, int minimum, int maximum,
                          int largeStep, int position);
// An edit box; maxLength 0 leaves the length free. Upper-case forcing is separate.
QLineEdit* MakeEdit(QWidget* parent, const char* name, const QString& text, int maxLength = 0);
// Letters typed into the box turn upper case as they are typed.
void ForceUpperCase(QLineEdit* edit);

// Changes a control's caption (a button's or label's text, a group's title, a function page's
// tab text). Buttons and groups carry their caption as accessible name too, so a screen reader
// always hears what is shown.
void SetCaption(QWidget* control, const QString& caption);

// The panel beside a scroll bar shows its position as the commands send it ("%02d", "%d"...).
void ShowPosition(QLabel* panel, const QScrollBar* bar, const char* format);

// A grid with the tight spacing the dense groups of the function pages need.
QGridLayout* CompactGrid(QWidget* group);

struct ScrollBarShape {
    const char* name;
    int minimum;
    int maximum;
    int largeStep;
    int position;
};

// A label (with its English caption), the panel showing the value and its scroll bar, in
// columns 0 to 2 of `row`; the label names the scroll bar for screen readers.
struct ValueRow {
    QLabel* label;
    QLabel* panel;
    QScrollBar* bar;
};
ValueRow AddValueRow(QGridLayout* grid, int row, QWidget* group, const char* labelName,
                     const char* panelName, const QString& panelText, const ScrollBarShape& bar);

// Gives every input control below `root` an accessible name: the text of the label whose buddy
// it is, else its own caption. Run after captions change.
void ApplyAccessibleNames(QWidget* root);

}  // namespace app
