// A lamp of the message panel: the round communication lamp or the rounded card lamp. Tests
// and screen readers read its colour through color() and the accessible description.
#pragma once

#include <QColor>
#include <QWidget>

namespace app {

class Lamp : public QWidget {
    Q_OBJECT
public:
    enum class Shape { Circle, RoundedRect };

    Lamp(Shape shape, const QColor& color, QWidget* parent = nullptr);

    QColor color() const { return color_; }
    void setColor(const QColor& color);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Shape shape_;
    QColor color_;
};

// The lamp colours: failure or not linked, success, the card lamp at rest.
inline const QColor kLampRed{255, 0, 0};
inline const QColor kLampYellow{255, 255, 0};
inline const QColor kLampWhite{255, 255, 255};

}  // namespace app
