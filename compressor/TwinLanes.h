#pragma once

// Two AVX registers as one eight-lane operand of the lane operations in
// SimdLanes.h. Each operation is the four-lane one applied to both halves,
// written side by side, so that a routine run on a Twin interleaves two
// independent dependency chains instruction by instruction. A long chain
// (a logarithm, an arc tangent) on one register leaves most of the
// processor waiting for the previous step; two chains in lockstep fill
// that time, where the out-of-order window alone, holding little more than
// one routine, does not. Lane k of a Twin is lane k of `low` for k < 4 and
// lane k - 4 of `high` otherwise, so the bits of every lane are those of
// the four-lane form.
#include <cstddef>

#include "compressor/SimdLanes.h"

#if defined(__x86_64__) && defined(__GNUC__)

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wignored-attributes"

namespace kestrom {
namespace lanes {

struct Twin {
    __m256d low, high;
};
struct TwinInt {
    __m256i low, high;
};
template <>
struct IntOf<Twin> {
    using Type = TwinInt;
};

template <>
KESTROM_LANES_INLINE Twin Splat<Twin>(double x) { return {_mm256_set1_pd(x), _mm256_set1_pd(x)}; }
template <>
KESTROM_LANES_INLINE TwinInt SplatInt<Twin>(std::int64_t x) { return {_mm256_set1_epi64x(x), _mm256_set1_epi64x(x)}; }

#define KESTROM_TWIN_UNARY(Name, Type) \
    KESTROM_LANES_INLINE Type Name(Type a) { return {Name(a.low), Name(a.high)}; }
#define KESTROM_TWIN_BINARY(Name, Type) \
    KESTROM_LANES_INLINE Type Name(Type a, Type b) { return {Name(a.low, b.low), Name(a.high, b.high)}; }
#define KESTROM_TWIN_TERNARY(Name) \
    KESTROM_LANES_INLINE Twin Name(Twin a, Twin b, Twin c) { return {Name(a.low, b.low, c.low), Name(a.high, b.high, c.high)}; }
KESTROM_TWIN_BINARY(Add, Twin)
KESTROM_TWIN_BINARY(Sub, Twin)
KESTROM_TWIN_BINARY(Mul, Twin)
KESTROM_TWIN_BINARY(Div, Twin)
KESTROM_TWIN_UNARY(Sqrt, Twin)
KESTROM_TWIN_TERNARY(Fmadd)
KESTROM_TWIN_TERNARY(Fnmadd)
KESTROM_TWIN_TERNARY(Fmsub)
KESTROM_TWIN_UNARY(RoundNearest, Twin)
KESTROM_TWIN_BINARY(Xor, Twin)
KESTROM_TWIN_BINARY(And, Twin)
KESTROM_TWIN_BINARY(AndNot, Twin)
KESTROM_TWIN_BINARY(Less, Twin)
KESTROM_TWIN_BINARY(LessEqual, Twin)
KESTROM_TWIN_BINARY(Equal, Twin)
KESTROM_TWIN_BINARY(Greater, Twin)
KESTROM_TWIN_BINARY(GreaterEqual, Twin)
KESTROM_TWIN_TERNARY(Select)
KESTROM_TWIN_BINARY(Max, Twin)
KESTROM_TWIN_BINARY(AddInt, TwinInt)
KESTROM_TWIN_BINARY(SubInt, TwinInt)
KESTROM_TWIN_BINARY(AndInt, TwinInt)
#undef KESTROM_TWIN_UNARY
#undef KESTROM_TWIN_BINARY
#undef KESTROM_TWIN_TERNARY

KESTROM_LANES_INLINE int MoveMask(Twin mask) { return MoveMask(mask.low) | MoveMask(mask.high) << 4; }
KESTROM_LANES_INLINE void Store(double* p, Twin v) {
    Store(p, v.low);
    Store(p + 4, v.high);
}
template <>
KESTROM_LANES_INLINE Twin LoadAligned<Twin>(const double* p) { return {_mm256_load_pd(p), _mm256_load_pd(p + 4)}; }
KESTROM_LANES_INLINE TwinInt AsInt(Twin v) { return {AsInt(v.low), AsInt(v.high)}; }
KESTROM_LANES_INLINE Twin AsDouble(TwinInt v) { return {AsDouble(v.low), AsDouble(v.high)}; }
template <int kBits>
KESTROM_LANES_INLINE TwinInt ShiftLeft(TwinInt a) { return {ShiftLeft<kBits>(a.low), ShiftLeft<kBits>(a.high)}; }
template <int kBits>
KESTROM_LANES_INLINE TwinInt ShiftRight(TwinInt a) { return {ShiftRight<kBits>(a.low), ShiftRight<kBits>(a.high)}; }
KESTROM_LANES_INLINE Twin ExponentField(TwinInt t) { return {ExponentField(t.low), ExponentField(t.high)}; }
KESTROM_LANES_INLINE void GatherPairs(const std::uint64_t* table, TwinInt index, TwinInt& first, TwinInt& second) {
    GatherPairs(table, index.low, first.low, second.low);
    GatherPairs(table, index.high, first.high, second.high);
}

// y[i] = f(x[i]) for i < n through the lane forms of one function: eight
// lanes at a time (width 8, kF8), four (width 4 or 8, kF4), then two and
// the last value alone (kF2). For the array forms of the exact maths.
template <Twin (*kF8)(Twin), __m256d (*kF4)(__m256d), __m128d (*kF2)(__m128d)>
KESTROM_LANES_INLINE void MapLanes(const double* x, double* y, std::size_t n, int width) {
    std::size_t i = 0;
    if (width == 8)
        for (; i + 8 <= n; i += 8) {
            const Twin r = kF8({_mm256_loadu_pd(x + i), _mm256_loadu_pd(x + i + 4)});
            _mm256_storeu_pd(y + i, r.low);
            _mm256_storeu_pd(y + i + 4, r.high);
        }
    if (width >= 4)
        for (; i + 4 <= n; i += 4) _mm256_storeu_pd(y + i, kF4(_mm256_loadu_pd(x + i)));
    for (; i + 2 <= n; i += 2) _mm_storeu_pd(y + i, kF2(_mm_loadu_pd(x + i)));
    if (i < n) y[i] = _mm_cvtsd_f64(kF2(_mm_set1_pd(x[i])));
}

}  // namespace lanes
}  // namespace kestrom

#pragma GCC diagnostic pop

#endif  // x86-64
