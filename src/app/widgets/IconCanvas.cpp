#include "app/widgets/IconCanvas.h"

#include <QPainter>

namespace app {

IconCanvas::IconCanvas(QWidget* parent) : QWidget(parent) { setFixedSize(kWidth, kHeight); }

void IconCanvas::drawIcon(const std::function<bool(int x, int y)>& dark) {
    if (image_.isNull()) {
        image_ = QImage(kWidth, kHeight, QImage::Format_RGB32);
        image_.fill(Qt::white);
    }
    QPainter painter(&image_);
    for (int y = 0; y < kIconHeight; ++y)
        for (int x = 0; x < kIconWidth; ++x)
            painter.fillRect(x * kScale, y * kScale, kScale, kScale,
                             dark(x, y) ? Qt::black : Qt::white);
    painter.end();
    update();
}

void IconCanvas::paintEvent(QPaintEvent*) {
    if (image_.isNull()) return;
    QPainter painter(this);
    painter.drawImage(0, 0, image_);
}

}  // namespace app
