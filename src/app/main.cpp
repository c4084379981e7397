// Tag Bench, the window: the font substitutes are in place before the window is built; an
// error that escapes is shown in a message box, then the program ends with status 1.
#include <QApplication>
#include <QMessageBox>
#include <cstdio>
#include <exception>
#include <string_view>

#include "app/Fonts.h"
#include "app/Program.h"
#include "app/TfrmModule.h"
#include "tagbench/Version.h"

int main(int argc, char** argv) {
    // Answered before any window system is needed, so they work over ssh and in scripts.
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument == "--help" || argument == "-h") {
            std::fputs(app::ProgramHelp().c_str(), stdout);
            return 0;
        }
        if (argument == "--version") {
            std::puts(app::ProgramVersion().c_str());
            return 0;
        }
    }
    QApplication application(argc, argv);
    QApplication::setApplicationName("Tag Bench");
    QApplication::setApplicationVersion(tagbench::kVersion);
    QApplication::setWindowIcon(app::ProgramIcon());
    QGuiApplication::setDesktopFileName("org.tagbench.TagBench");
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
