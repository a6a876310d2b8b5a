#pragma once

// What the tests that hold the in-line maths against the maths library, bit
// for bit, share: inputs from a fixed seed and the count of differing
// results.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace kestrom {

inline double FromBits(std::uint64_t bits) {
    double x;
    std::memcpy(&x, &bits, sizeof x);
    return x;
}

// count values of make(rng), the generator seeded the same every time.
template <class Make>
std::vector<double> Inputs(Make make, std::size_t count) {
    std::mt19937_64 rng(2024);
    std::vector<double> x(count);
    for (double& v : x) v = make(rng);
    return x;
}

// Number of i where y[i] differs in any bit from libm(x[i]); the first three
// are reported as failures, named by `what`.
template <class Libm>
std::size_t LibmMismatches(const std::vector<double>& x, const std::vector<double>& y, Libm libm,
                           const std::string& what) {
    std::size_t bad = 0;
    for (std::size_t i = 0; i < x.size(); ++i) {
        const double want = libm(x[i]);
        if (std::memcmp(&want, &y[i], sizeof want) != 0 && bad++ < 3)
            ADD_FAILURE() << what << "(" << std::hexfloat << x[i] << ") = " << y[i] << ", libm " << want;
    }
    return bad;
}

}  // namespace kestrom
