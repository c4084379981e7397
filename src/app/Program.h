// What `tagbench` says of itself: its help and version on the command line (the manual page
// is made from the same help, so the two never drift), and its icon.
#pragma once

#include <QIcon>
#include <string>

namespace app {

// The text of `tagbench --help`.
std::string ProgramHelp();

// "tagbench 0.1"
std::string ProgramVersion();

// The program's icon in every size the desktop asks for; the same pictures as the installed
// icon theme's.
QIcon ProgramIcon();

}  // namespace app
