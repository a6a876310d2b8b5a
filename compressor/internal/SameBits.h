#pragma once

// Whether two doubles are the same bits: what the in-line maths's load-time
// checks ask of each lane against the maths library (== would take -0 for
// +0 and never match a NaN).
#include <cstring>

namespace kestrom {

inline bool SameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

}  // namespace kestrom
