#pragma once

#include <ostream>

namespace kestrom::tool {

// Where a command writes: results and the summary to `out`, errors and the
// progress bar to `err`. The bar is drawn only when `errIsTerminal`.
struct Console {
    std::ostream& out;
    std::ostream& err;
    bool errIsTerminal = false;
};

}  // namespace kestrom::tool
