// Tag Bench, the window: the font substitutes are in place before the window is built; an
// error that escapes is shown in a message box, then the program ends with status 1.
#include <QApplication>
#include <QMessageBox>
#include <exception>

#include "app/Fonts.h"
#include "app/TfrmModule.h"
#include "tagbench/Version.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setApplicationName("Tag Bench");
    QApplication::setApplicationVersion(tagbench::kVersion);
    try {
        app::RegisterFontSubstitutes();
        app::TfrmModule window(app::ModuleServices::FromSystem());
        window.show();
        return QApplication::exec();
    } catch (const std::exception& error) {
        QMessageBox::critical(nullptr, "Tag Bench", QString::fromLocal8Bit(error.what()));
    } catch (...) {
        QMessageBox::critical(nullptr, "Tag Bench", "Unexpected error");
    }
    return 1;
}
