#include "compressor/FirstOrderSection.h"

#include "compressor/ShelfGain.h"

namespace kestrom {

void FirstOrderSection::Configure(int newMode, double frequency, double rate, double shelfDb) {
    mode = newMode;
    const double w = 6.283185307179586 * frequency;  // 2*pi in double
    const double threeRate = 3.0 * rate;
    const double d = threeRate + w;
    gainCoef = w / d;
    pole = (threeRate - w) / d;
    shelf = (mode == kLowShelf || mode == kHighShelf) ? ShelfGain(shelfDb) - 1.0 : 0.0;
}

}  // namespace kestrom
