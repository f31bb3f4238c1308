#include <unistd.h>

#include <exception>
#include <iostream>
#include <span>

#include "tool/run.h"

int main(int argc, char** argv) {
    try {
        return vorline::run_vorline(std::span<const char* const>(argv + 1, argv + argc), std::cout,
                                    std::cerr, STDERR_FILENO, STDOUT_FILENO);
    } catch (const std::exception& error) {
        std::cout << std::flush;
        std::cerr << error.what() << std::endl;
        return -1;
    }
}
