#include "compressor/FiniteInput.h"

namespace kestrom {

bool AllFinite(const double* x, int frames) {
    return !AnyFlagged(x, frames, [](double v) { return NonFiniteFlag(v); });
}

int CopyReplacingNonFinite(const double* src, double* dst, int frames) {
    int replaced = 0;
    for (int i = 0; i < frames; ++i) {
        const double x = src[i];
        const bool bad = IsNonFinite(x);
        replaced += bad ? 1 : 0;
        dst[i] = bad ? 0.0 : x;
    }
    return replaced;
}

}  // namespace kestrom
