#include "compressor/ColorStage.h"

#include "core/Decibels.h"

namespace kestrom {

namespace {
// The stage's fixed drive setting (dB) and the offset added to it.
constexpr double kDriveDb = 6.0;
constexpr double kDriveOffsetDb = 18.0;
}  // namespace

void ColorStage::Configure(double rate) {
    enabled = 1;
    preShelf.Configure(FirstOrderSection::kHighShelf, 5000.0, rate, -10.0);
    postShelf.Configure(FirstOrderSection::kHighShelf, 10000.0, rate, 10.0);
    drive1 = 1.0;
    drive2 = 1.0;
    asymmetry = 0.005;
    preGain = std::exp((-kDriveDb - kDriveOffsetDb) * kDbToLog);  // -24 dB
    postGain = 1.0 / preGain;
}

}  // namespace kestrom
