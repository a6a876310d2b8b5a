#pragma once

#include <string>

#include "tools/kestrom/Console.h"

namespace kestrom::tool {

// `kestrom generate-demo`: writes the built-in demo music (DemoSignal) to
// `path` as stereo 32-bit float WAV. Returns the exit status.
int RunGenerateDemo(const std::string& path, double seconds, int sampleRate, Console& console);

}  // namespace kestrom::tool
