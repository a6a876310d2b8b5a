#pragma once

#include "tools/kestrom/Console.h"

namespace kestrom::tool {

// Exit statuses of the tool.
enum ExitStatus : int {
    kExitOk = 0,
    kExitFailure = 1,  // the command was understood but could not be carried out
    kExitUsage = 2,    // bad command line
};

// Parses the command line and runs its subcommand:
//   kestrom process INPUT OUTPUT [options]
//   kestrom editor --png FILE [parameter options] [--reduction DB] [--click X,Y]...
//   kestrom generate-demo OUTPUT [--seconds S] [--rate HZ]
//   kestrom --version
// Errors are reported as a single line on console.err. Returns the exit status.
int RunCommandLine(int argc, const char* const* argv, Console& console);

}  // namespace kestrom::tool
