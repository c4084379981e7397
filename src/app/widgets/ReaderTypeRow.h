// The reader-type row: eight flat, exclusive page buttons. Unlike a tab bar it can show no
// selection at all, which is a real state (a stored type outside the row).
#pragma once

#include <QButtonGroup>
#include <QStringList>
#include <QWidget>

class QAbstractButton;

namespace app {

class ReaderTypeRow : public QWidget {
    Q_OBJECT
public:
    // `pages`: object names of the buttons, in page order; `captions`: their texts.
    ReaderTypeRow(const QStringList& pages, const QStringList& captions, QWidget* parent = nullptr);

    // -1 when no page is selected.
    int currentIndex() const;
    // An index outside the row selects no page. Emits nothing: the caller applies the change.
    void setCurrentIndex(int index);
    int count() const { return static_cast<int>(group_.buttons().size()); }
    QAbstractButton* button(int index) const { return group_.button(index); }

signals:
    // Another page chosen by the user; a click on the selected page emits nothing.
    void currentChanged(int index);

private:
    void pageClicked(int index);

    QButtonGroup group_;
    int selected_ = -1;
};

}  // namespace app
