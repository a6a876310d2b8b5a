#pragma once

// Small signal helpers shared by the compressor's tests.
#include <cmath>
#include <cstddef>
#include <vector>

namespace kestrom::testing {

constexpr double kPi = 3.141592653589793;

inline std::vector<double> Sine(double amplitude, double hz, double rate, std::size_t frames) {
    std::vector<double> out(frames);
    for (std::size_t i = 0; i < frames; ++i)
        out[i] = amplitude * std::sin(2.0 * kPi * hz * static_cast<double>(i) / rate);
    return out;
}

// Peak magnitude of x[from, to).
inline double Peak(const std::vector<double>& x, std::size_t from, std::size_t to) {
    double p = 0.0;
    for (std::size_t i = from; i < to && i < x.size(); ++i) p = std::fmax(p, std::fabs(x[i]));
    return p;
}

inline double Rms(const std::vector<double>& x, std::size_t from, std::size_t to) {
    double sum = 0.0;
    std::size_t n = 0;
    for (std::size_t i = from; i < to && i < x.size(); ++i, ++n) sum += x[i] * x[i];
    return n ? std::sqrt(sum / static_cast<double>(n)) : 0.0;
}

inline double ToDb(double linear) { return 20.0 * std::log10(linear); }
inline double FromDb(double dB) { return std::pow(10.0, dB / 20.0); }

}  // namespace kestrom::testing
