#include "app/widgets/OptionMouseUp.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QMouseEvent>

namespace app {

OptionMouseUp::OptionMouseUp(QObject* parent) : QObject(parent) {}

void OptionMouseUp::watch(QAbstractButton* option) { option->installEventFilter(this); }

bool OptionMouseUp::eventFilter(QObject* watched, QEvent* event) {
    if (delivering_ || event->type() != QEvent::MouseButtonRelease) return false;
    auto* option = qobject_cast<QAbstractButton*>(watched);
    auto* mouse = static_cast<QMouseEvent*>(event);
    if (!option || mouse->button() != Qt::LeftButton) return false;

    // The option must see the release first: that is what checks it in its group.
    delivering_ = true;
    QCoreApplication::sendEvent(option, event);
    delivering_ = false;
    // The option has dealt with the release (and its parents, if it passed it on).
    event->accept();
    if (option->rect().contains(mouse->position().toPoint())) emit released(option->objectName());
    return true;
}

}  // namespace app
