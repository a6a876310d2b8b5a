#pragma once

#include <string>

#include "tools/kestrom/Console.h"

namespace kestrom::tool {

// `kestrom generate-demo`: writes the built-in demo music (DemoSignal) to
// `path` as stereo 32-bit float WAV, rendered and written block by block (any
// length in constant memory). Like `process` it stops on a terminating signal
// without leaving a file, and with `sync` flushes the file and its directory
// to disk. Returns the exit status.
int RunGenerateDemo(const std::string& path, double seconds, int sampleRate, bool sync, Console& console);

}  // namespace kestrom::tool
