#include "app/Program.h"

#include <QApplication>
#include <QMessageBox>
#include <exception>

#include "app/Fonts.h"
#include "app/TfrmModule.h"
#include "tagbench/Version.h"

namespace app {

std::string ProgramHelp() {
    return R"(Usage: tagbench [OPTION]...
Find an access-control card reader on a serial port, read and change its settings, and test
it: cards, MIFARE Classic blocks, free commands, display texts and fingerprints. The window
speaks English, Simplified Chinese and Traditional Chinese (the Language menu).

Options:
  -h, --help          show this help
      --version       show the program's version
  -platform NAME      the Qt platform to show the window on (xcb, wayland, offscreen...)

Environment:
  TAGBENCH_PORTS      extra COM ports, such as "COM5=/dev/pts/7,COM20=rfc2217://door:4001";
                      a device path, or a serial device server by rfc2217:// or socket://
  TAGBENCH_FRAME_LOG  a file to which every frame-history entry is appended as it happens
  XDG_CONFIG_HOME     where the user's settings file is kept (default ~/.config)
  TAGBENCH_SYSCONFDIR
                      where the machine's settings file is kept (default /etc/xdg)

Files:
  /etc/xdg/KORVA/TagBench.conf
                      the settings (language, reader type, port and line settings, card
                      reading, the COM numbers given to devices, extra ports), shared by
                      every user of the machine; written when the program may write it
  ~/.config/KORVA/TagBench.conf
                      the user's own settings, read first; written when the machine's
                      file cannot be

Exit status: 0 when the window is closed, 1 on an error that ends the program.
)";
}

std::string ProgramVersion() { return std::string("tagbench ") + tagbench::kVersion; }

QIcon ProgramIcon() {
    QIcon icon;
    for (const int size : {16, 22, 24, 32, 48, 64, 128, 256})
        icon.addFile(QString(":/icons/%1.png").arg(size), QSize(size, size));
    return icon;
}

int RunWindow(int& argc, char** argv, const std::function<void(QWidget&)>& shown) {
    QApplication application(argc, argv);
    QApplication::setApplicationName("Tag Bench");
    QApplication::setApplicationVersion(tagbench::kVersion);
    QApplication::setWindowIcon(ProgramIcon());
    QGuiApplication::setDesktopFileName("org.tagbench.TagBench");
    try {
        // The font substitutes are in place before the window is built.
        RegisterFontSubstitutes();
        TfrmModule window(ModuleServices::FromSystem());
        window.show();
        if (shown) shown(window);
        return QApplication::exec();
    } catch (const std::exception& error) {
        QMessageBox::critical(nullptr, "Tag Bench", QString::fromLocal8Bit(error.what()));
    } catch (...) {
        QMessageBox::critical(nullptr, "Tag Bench", "Unexpected error");
    }
    return 1;
}

}  // namespace app
