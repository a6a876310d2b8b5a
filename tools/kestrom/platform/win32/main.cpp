// Entry point of `kestrom.exe`, the command-line tool on Windows; the work
// is in CommandLine. The progress bar is drawn only when the error stream is
// a console (GetConsoleMode succeeds; the NUL device, a file or a pipe has
// none). The console shows the tool's texts in UTF-8. Built only by Windows
// builds (tools/CMakeLists.txt).
#include <windows.h>

#include <iostream>

#include "tools/kestrom/CommandLine.h"
#include "tools/kestrom/Interruption.h"

int main(int argc, char** argv) {
    kestrom::tool::Interruption::Install();
    SetConsoleOutputCP(CP_UTF8);
    DWORD mode = 0;
    const bool errIsConsole = GetConsoleMode(GetStdHandle(STD_ERROR_HANDLE), &mode) != 0;
    kestrom::tool::Console console{std::cout, std::cerr, errIsConsole};
    return kestrom::tool::RunCommandLine(argc, argv, console);
}
