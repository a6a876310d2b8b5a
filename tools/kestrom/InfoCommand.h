#pragma once

#include <string>

#include "tools/kestrom/Console.h"

namespace kestrom::tool {

// `kestrom info`: loads the plug-in module as a host does and prints what it
// registers (maker, product, IDs, category, effect types with their stem
// formats) and every host control of an instance: index, ID, class, names at
// widths 31, 8 and 4, range, step count, default and current value. Returns
// the exit status.
int RunInfo(const std::string& modulePath, Console& console);

}  // namespace kestrom::tool
