#include "app/widgets/ReaderTypeRow.h"

#include <QFont>
#include <QHBoxLayout>
#include <QPushButton>

namespace app {

ReaderTypeRow::ReaderTypeRow(const QStringList& pages, const QStringList& captions, QWidget* parent)
    : QWidget(parent) {
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(2);
    group_.setExclusive(true);
    // The type names are the same in every language; a fixed, compact font keeps all eight
    // on one row whatever the window font is.
    setFont(QFont("Courier New", 9));
    setStyleSheet(
        "QPushButton { padding: 3px 4px; }"
        "QPushButton:checked { background: palette(mid); border: 1px solid palette(dark); }");
    for (int i = 0; i < pages.size(); ++i) {
        auto* page = new QPushButton(captions.value(i), this);
        page->setObjectName(pages[i]);
        page->setAccessibleDescription(pages[i]);
        page->setCheckable(true);
        page->setFlat(true);
        page->setAutoFillBackground(true);
        row->addWidget(page);
        group_.addButton(page, i);
    }
    connect(&group_, &QButtonGroup::idClicked, this, &ReaderTypeRow::pageClicked);
}

int ReaderTypeRow::currentIndex() const { return group_.checkedId(); }

void ReaderTypeRow::setCurrentIndex(int index) {
    selected_ = group_.button(index) ? index : -1;
    if (QAbstractButton* page = group_.button(index)) {
        page->setChecked(true);
        return;
    }
    // An exclusive group will not let its last checked button go.
    group_.setExclusive(false);
    for (QAbstractButton* page : group_.buttons()) page->setChecked(false);
    group_.setExclusive(true);
}

void ReaderTypeRow::pageClicked(int index) {
    // A click on the page already selected leaves the function pages as the user arranged them.
    if (index == selected_) return;
    selected_ = index;
    emit currentChanged(index);
}

}  // namespace app
