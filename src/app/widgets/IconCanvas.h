// The title-icon preview of the display page: an image with a drawing canvas, 258 x 36 pixels,
// enough for the display's 128 x 16 title icon drawn at twice its size. Like an empty picture
// it shows nothing until first drawn on; from then on it is white where nothing was drawn.
#pragma once

#include <QImage>
#include <QWidget>
#include <functional>

namespace app {

class IconCanvas : public QWidget {
    Q_OBJECT
public:
    static constexpr int kWidth = 258;
    static constexpr int kHeight = 36;
    static constexpr int kIconWidth = 128;
    static constexpr int kIconHeight = 16;
    static constexpr int kScale = 2;

    explicit IconCanvas(QWidget* parent = nullptr);

    // The canvas; a null image until something is drawn.
    const QImage& image() const { return image_; }

    // Draws the icon at twice its size at the top left, replacing the previous one; dark(x, y)
    // tells whether the icon's pixel at column x, row y (row 0 at the top) is dark.
    void drawIcon(const std::function<bool(int x, int y)>& dark);

    QSize sizeHint() const override { return {kWidth, kHeight}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage image_;
};

}  // namespace app
