// What `tagbench` says of itself: its help and version on the command line (the manual page
// is made from the same help, so the two never drift), and its icon.
#pragma once

#include <QIcon>
#include <functional>
#include <string>

class QWidget;

namespace app {

// The text of `tagbench --help`.
std::string ProgramHelp();

// "tagbench 0.1"
std::string ProgramVersion();

// The program's icon in every size the desktop asks for; the same pictures as the installed
// icon theme's.
QIcon ProgramIcon();

// The window program from its application object to its end: the window built on the
// system's settings, shown (then `shown` is told of it), and the event loop until it closes.
// An error that escapes is shown in a message box and ends it with status 1.
int RunWindow(int& argc, char** argv, const std::function<void(QWidget&)>& shown = {});

}  // namespace app
