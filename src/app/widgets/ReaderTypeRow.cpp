#include "app/widgets/ReaderTypeRow.h"

#include <QHBoxLayout>
#include <QPushButton>

namespace app {

ReaderTypeRow::ReaderTypeRow(const QStringList& pages, const QStringList& captions,
                             QWidget* parent)
    : QWidget(parent) {
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(2);
    group_.setExclusive(true);
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
    connect(&group_, &QButtonGroup::idClicked, this, &ReaderTypeRow::currentChanged);
}

int ReaderTypeRow::currentIndex() const { return group_.checkedId(); }

void ReaderTypeRow::setCurrentIndex(int index) {
    if (QAbstractButton* page = group_.button(index)) {
        page->setChecked(true);
        return;
    }
    // An exclusive group will not let its last checked button go.
    group_.setExclusive(false);
    for (QAbstractButton* page : group_.buttons()) page->setChecked(false);
    group_.setExclusive(true);
}

}  // namespace app
