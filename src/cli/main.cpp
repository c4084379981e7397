#include <unistd.h>

#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include "cli/Program.h"

int main(int argc, char** argv) {
    try {
        const std::vector<std::string> args(argv + 1, argv + argc);
        cli::Environment environment;
        environment.ports = [] { return platform::PortMap::fromSystem(); };
        environment.progress = ::isatty(STDERR_FILENO) == 1;
        return cli::Run(args, std::cout, std::cerr, environment);
    } catch (const std::exception& error) {
        std::cerr << "tagbench-cli: " << error.what() << std::endl;
        return 1;
    }
}
