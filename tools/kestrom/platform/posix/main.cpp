// Entry point of the `kestrom` command-line tool on Linux; the work is in
// CommandLine. Built only by the native build (tools/CMakeLists.txt).
#include <iostream>

#include <unistd.h>

#include "tools/kestrom/CommandLine.h"
#include "tools/kestrom/Interruption.h"

int main(int argc, char** argv) {
    kestrom::tool::Interruption::Install();
    kestrom::tool::Console console{std::cout, std::cerr, isatty(STDERR_FILENO) != 0};
    return kestrom::tool::RunCommandLine(argc, argv, console);
}
