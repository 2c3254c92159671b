#include <unistd.h>

#include <iostream>
#include <string>
#include <vector>

#include "app/render/still/batchrender.h"

int main(int argc, char** argv)
{
    const std::vector<std::string> args(argv + 1, argv + argc);
    return kt::runbatchrender(args, std::cout, std::cerr, isatty(STDERR_FILENO) != 0);
}
