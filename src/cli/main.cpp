#include <unistd.h>

#include <QCoreApplication>
#include <clocale>
#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include "cli/Program.h"

int main(int argc, char** argv) {
    try {
        const std::vector<std::string> args(argv + 1, argv + argc);
        // For Qt's image readers (title-icon pictures); no display is needed.
        QCoreApplication application(argc, argv);
        // Qt takes the environment's locale; the output stays as the C locale writes it.
        std::setlocale(LC_ALL, "C");
        cli::Environment environment;
        environment.ports = [] { return platform::PortMap::fromSystem(); };
        environment.progress = ::isatty(STDERR_FILENO) == 1;
        return cli::Run(args, std::cout, std::cerr, environment);
    } catch (const std::exception& error) {
        std::cerr << "tagbench-cli: " << error.what() << std::endl;
        return 1;
    }
}
