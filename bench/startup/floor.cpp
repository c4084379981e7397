// The floor of a start-up: the same toolkit showing an empty window of the same size.
#include <QApplication>

#include "FirstPaint.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QWidget window;
    window.resize(771, 660);
    window.show();
    FirstPaint::Watch(window);
    return QApplication::exec();
}
