#pragma once

#include "tools/kestrom/Console.h"
#include "tools/kestrom/ProcessOptions.h"

namespace kestrom::tool {

// `kestrom process`: reads options.input, runs it block by block through the
// compressor, writes options.output (and the meter file) only when everything
// succeeded, and prints a summary. Returns the exit status; any failure is one
// line on console.err and leaves no output behind.
int RunProcess(const ProcessOptions& options, Console& console);

}  // namespace kestrom::tool
