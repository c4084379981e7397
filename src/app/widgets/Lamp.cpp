#include "app/widgets/Lamp.h"

#include <QPainter>

namespace app {

Lamp::Lamp(Shape shape, const QColor& color, QWidget* parent)
    : QWidget(parent), shape_(shape), color_(color) {
    setAttribute(Qt::WA_OpaquePaintEvent, false);
    setAccessibleName(color.name());
}

void Lamp::setColor(const QColor& color) {
    if (color == color_) return;
    color_ = color;
    setAccessibleName(color.name());
    update();
}

void Lamp::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(color_);
    const QRectF area = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    if (shape_ == Shape::Circle) {
        const qreal side = std::min(area.width(), area.height());
        painter.drawEllipse(
            QRectF(area.center().x() - side / 2, area.center().y() - side / 2, side, side));
    } else {
        painter.drawRoundedRect(area, 4, 4);
    }
}

}  // namespace app
