// sorel-host: a headless VST 2 host for the command line.
#include "HostApplication.h"

#include <iostream>

int main(int argc, char** argv) {
    std::vector<std::string> arguments(argv + 1, argv + argc);
    return sorel::host::HostApplication(std::cout, std::cerr).run(arguments);
}
