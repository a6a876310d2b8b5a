#pragma once

#include <cmath>

// Decibel conversions shared by the parameter model and the signal processing.
// Both constants are the single-precision roundings of the exact values,
// widened to double; every gain in the product uses these, so knob values,
// shelves and the meter agree to the last bit.
namespace kestrom {

// ln(10)/20 in single precision, widened (the exact double is 0.11512925464970229).
constexpr double kDbToLog = 0.115129254758358;
// 20/ln(10) in single precision, widened.
constexpr double kLogToDb = 8.68588924407959;

// Linear amplitude factor of a level in dB.
inline double DbToGain(double dB) { return std::exp(dB * kDbToLog); }

// Level in dB of a linear amplitude (its magnitude); ln(0) gives -inf.
inline double GainToDb(double x) { return std::log(std::fabs(x)) * kLogToDb; }

}  // namespace kestrom
