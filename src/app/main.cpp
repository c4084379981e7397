// Tag Bench, the window.
#include <cstdio>
#include <string_view>

#include "app/Program.h"

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
    return app::RunWindow(argc, argv);
}
