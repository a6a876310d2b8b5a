#include "compressor/DetectorFilter.h"

namespace kestrom {

void DetectorFilter::Configure(double highPassHz, double lowPassHz, double rate) {
    highPass.Configure(FirstOrderSection::kHighPass, highPassHz, rate);
    lowPass.Configure(FirstOrderSection::kLowPass, lowPassHz, rate);
    highPassOn = highPassHz > 20.0;
    lowPassOn = lowPassHz < 20000.0;
}

}  // namespace kestrom
