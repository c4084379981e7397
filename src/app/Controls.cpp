#include "app/Controls.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHash>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QStackedWidget>
#include <QTabWidget>

namespace app {
namespace {

QString WithoutMnemonic(QString text) {
    text.replace("&&", "\x01");
    text.remove('&');
    text.replace("\x01", "&");
    return text.trimmed();
}

}  // namespace

void Name(QWidget* control, const char* name) {
    control->setObjectName(QString::fromLatin1(name));
    control->setAccessibleDescription(QString::fromLatin1(name));
}

QLabel* MakeLabel(QWidget* parent, const char* name) {
    return MakeLabel(parent, name, EnglishCaption(name));
}

QLabel* MakeLabel(QWidget* parent, const char* name, const QString& caption) {
    auto* label = new QLabel(caption, parent);
    Name(label, name);
    return label;
}

QLabel* MakePanel(QWidget* parent, const char* name, const QString& caption) {
    auto* panel = MakeLabel(parent, name, caption);
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    panel->setAutoFillBackground(true);
    QPalette colours = panel->palette();
    colours.setColor(QPalette::Window, QColor(0xA6, 0xCA, 0xF0));  // sky blue
    colours.setColor(QPalette::WindowText, Qt::black);
    panel->setPalette(colours);
    panel->setMinimumHeight(22);
    return panel;
}

QLabel* MakeValuePanel(QWidget* parent, const char* name, const QString& caption) {
    QLabel* panel = MakePanel(parent, name, caption);
    panel->setAlignment(Qt::AlignCenter);
    panel->setMinimumWidth(36);
    return panel;
}

QGridLayout* CompactGrid(QWidget* group) {
    auto* grid = new QGridLayout(group);
    grid->setContentsMargins(6, 2, 6, 4);
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(3);
    return grid;
}

ValueRow AddValueRow(QGridLayout* grid, int row, QWidget* group, const char* labelName,
                     const char* panelName, const QString& panelText, const ScrollBarShape& bar) {
    ValueRow made{
        MakeLabel(group, labelName), MakeValuePanel(group, panelName, panelText),
        MakeScrollBar(group, bar.name, bar.minimum, bar.maximum, bar.largeStep, bar.position)};
    made.label->setBuddy(made.bar);
    grid->addWidget(made.label, row, 0);
    grid->addWidget(made.panel, row, 1);
    grid->addWidget(made.bar, row, 2);
    return made;
}

QPushButton* MakeButton(QWidget* parent, const char* name) {
    auto* button = new QPushButton(EnglishCaption(name), parent);
    Name(button, name);
    return button;
}

QCheckBox* MakeCheckBox(QWidget* parent, const char* name) {
    return MakeCheckBox(parent, name, EnglishCaption(name));
}

QCheckBox* MakeCheckBox(QWidget* parent, const char* name, const QString& caption) {
    auto* box = new QCheckBox(caption, parent);
    Name(box, name);
    return box;
}

QRadioButton* MakeRadioButton(QWidget* parent, const char* name) {
    return MakeRadioButton(parent, name, EnglishCaption(name));
}

QRadioButton* MakeRadioButton(QWidget* parent, const char* name, const QString& caption) {
    auto* option = new QRadioButton(caption, parent);
    Name(option, name);
    return option;
}

QGroupBox* MakeGroupBox(QWidget* parent, const char* name) {
    return MakeGroupBox(parent, name, EnglishCaption(name));
}

QGroupBox* MakeGroupBox(QWidget* parent, const char* name, const QString& caption) {
    auto* group = new QGroupBox(caption, parent);
    Name(group, name);
    return group;
}

QComboBox* MakeComboBox(QWidget* parent, const char* name, const QStringList& items) {
    auto* list = new QComboBox(parent);
    Name(list, name);
    list->addItems(items);
    if (!items.isEmpty()) list->setCurrentIndex(0);
    return list;
}

QScrollBar* MakeScrollBar(QWidget* parent, const char* name, int minimum, int maximum,
                          int largeStep, int position) {
    auto* bar = new QScrollBar(Qt::Horizontal, parent);
    Name(bar, name);
    bar->setRange(minimum, maximum);
    bar->setPageStep(largeStep);
    bar->setSingleStep(1);
    bar->setValue(position);
    bar->setMinimumWidth(80);
    return bar;
}

QLineEdit* MakeEdit(QWidget* parent, const char* name, const QString& text, int maxLength) {
    auto* edit = new QLineEdit(text, parent);
    Name(edit, name);
    if (maxLength > 0) edit->setMaxLength(maxLength);
    return edit;
}

void ForceUpperCase(QLineEdit* edit) {
    QObject::connect(edit, &QLineEdit::textEdited, edit, [edit](const QString& text) {
        const QString upper = text.toUpper();
        if (upper == text) return;
        const int cursor = edit->cursorPosition();
        edit->setText(upper);
        edit->setCursorPosition(cursor);
    });
}

namespace {

QString EnclosingGroupTitle(const QWidget* control) {
    for (const QWidget* up = control->parentWidget(); up; up = up->parentWidget())
        if (const auto* group = qobject_cast<const QGroupBox*>(up))
            return WithoutMnemonic(group->title());
    return {};
}

bool IsInputControl(const QWidget* widget) {
    return qobject_cast<const QLineEdit*>(widget) || qobject_cast<const QScrollBar*>(widget) ||
           qobject_cast<const QComboBox*>(widget);
}

}  // namespace

void ApplyAccessibleNames(QWidget* root) {
    QHash<QWidget*, QString> labelled;
    // Labels and panels keep no accessible name of their own: screen readers then read
    // their current text, which panels change all the time.
    for (QLabel* label : root->findChildren<QLabel*>()) {
        if (QWidget* input = label->buddy()) labelled.insert(input, WithoutMnemonic(label->text()));
    }
    for (QWidget* widget : root->findChildren<QWidget*>()) {
        // Only our own named controls; a combo box's inner parts keep theirs.
        if (IsInputControl(widget) && !widget->objectName().isEmpty() &&
            !widget->accessibleDescription().isEmpty()) {
            const QString name = labelled.value(widget, EnclosingGroupTitle(widget));
            if (!name.isEmpty()) widget->setAccessibleName(name);  // else the caller names it
        }
    }
    for (QAbstractButton* button : root->findChildren<QAbstractButton*>())
        button->setAccessibleName(WithoutMnemonic(button->text()));
    for (QGroupBox* group : root->findChildren<QGroupBox*>())
        group->setAccessibleName(WithoutMnemonic(group->title()));
}

void SetCaption(QWidget* control, const QString& caption) {
    if (auto* button = qobject_cast<QAbstractButton*>(control)) {
        button->setText(caption);
        button->setAccessibleName(WithoutMnemonic(caption));
    } else if (auto* label = qobject_cast<QLabel*>(control)) {
        label->setText(caption);
    } else if (auto* group = qobject_cast<QGroupBox*>(control)) {
        group->setTitle(caption);
        group->setAccessibleName(WithoutMnemonic(caption));
    } else if (auto* stack = qobject_cast<QStackedWidget*>(control->parentWidget())) {
        // A function page: its caption is its tab's text.
        if (auto* pages = qobject_cast<QTabWidget*>(stack->parentWidget()))
            pages->setTabText(pages->indexOf(control), caption);
    }
}

void ShowPosition(QLabel* panel, const QScrollBar* bar, const char* format) {
    panel->setText(QString::asprintf(format, bar->value()));
}

}  // namespace app
