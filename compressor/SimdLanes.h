#pragma once

// One set of names for the double-precision operations on two lanes (SSE2,
// __m128d) and on four (AVX2, __m256d), so that a routine written once as a
// template runs at either width with exactly the same IEEE operations per
// lane. x86-64 only; every function is expanded in place under the AVX2 +
// FMA target, so callers must have checked that the CPU has both.
#if defined(__x86_64__) && defined(__GNUC__)

#include <immintrin.h>

#include <cstdint>

// The vector types' alignment attributes do not matter to the templates
// below, which only name the type; GCC warns that it drops them.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wignored-attributes"

namespace kestrom {
namespace lanes {

#define KESTROM_LANES_INLINE __attribute__((always_inline, target("avx2,fma"))) inline

// Integer lanes of the same width.
template <class T>
struct IntOf;
template <>
struct IntOf<__m128d> {
    using Type = __m128i;
};
template <>
struct IntOf<__m256d> {
    using Type = __m256i;
};

template <class T>
KESTROM_LANES_INLINE T Splat(double x);
template <>
KESTROM_LANES_INLINE __m128d Splat<__m128d>(double x) { return _mm_set1_pd(x); }
template <>
KESTROM_LANES_INLINE __m256d Splat<__m256d>(double x) { return _mm256_set1_pd(x); }

template <class T>
KESTROM_LANES_INLINE typename IntOf<T>::Type SplatInt(std::int64_t x);
template <>
KESTROM_LANES_INLINE __m128i SplatInt<__m128d>(std::int64_t x) { return _mm_set1_epi64x(x); }
template <>
KESTROM_LANES_INLINE __m256i SplatInt<__m256d>(std::int64_t x) { return _mm256_set1_epi64x(x); }

KESTROM_LANES_INLINE __m128d Add(__m128d a, __m128d b) { return _mm_add_pd(a, b); }
KESTROM_LANES_INLINE __m256d Add(__m256d a, __m256d b) { return _mm256_add_pd(a, b); }
KESTROM_LANES_INLINE __m128d Sub(__m128d a, __m128d b) { return _mm_sub_pd(a, b); }
KESTROM_LANES_INLINE __m256d Sub(__m256d a, __m256d b) { return _mm256_sub_pd(a, b); }
KESTROM_LANES_INLINE __m128d Mul(__m128d a, __m128d b) { return _mm_mul_pd(a, b); }
KESTROM_LANES_INLINE __m256d Mul(__m256d a, __m256d b) { return _mm256_mul_pd(a, b); }
KESTROM_LANES_INLINE __m128d Div(__m128d a, __m128d b) { return _mm_div_pd(a, b); }
KESTROM_LANES_INLINE __m256d Div(__m256d a, __m256d b) { return _mm256_div_pd(a, b); }
KESTROM_LANES_INLINE __m128d Sqrt(__m128d a) { return _mm_sqrt_pd(a); }
KESTROM_LANES_INLINE __m256d Sqrt(__m256d a) { return _mm256_sqrt_pd(a); }
// a * b + c with one rounding.
KESTROM_LANES_INLINE __m128d Fmadd(__m128d a, __m128d b, __m128d c) { return _mm_fmadd_pd(a, b, c); }
KESTROM_LANES_INLINE __m256d Fmadd(__m256d a, __m256d b, __m256d c) { return _mm256_fmadd_pd(a, b, c); }
// -(a * b) + c with one rounding.
KESTROM_LANES_INLINE __m128d Fnmadd(__m128d a, __m128d b, __m128d c) { return _mm_fnmadd_pd(a, b, c); }
KESTROM_LANES_INLINE __m256d Fnmadd(__m256d a, __m256d b, __m256d c) { return _mm256_fnmadd_pd(a, b, c); }
// a * b - c with one rounding.
KESTROM_LANES_INLINE __m128d Fmsub(__m128d a, __m128d b, __m128d c) { return _mm_fmsub_pd(a, b, c); }
KESTROM_LANES_INLINE __m256d Fmsub(__m256d a, __m256d b, __m256d c) { return _mm256_fmsub_pd(a, b, c); }
// To the nearest integer, ties to even, raising no inexact flag.
KESTROM_LANES_INLINE __m128d RoundNearest(__m128d a) {
    return _mm_round_pd(a, _MM_FROUND_TO_NEAREST_INT | _MM_FROUND_NO_EXC);
}
KESTROM_LANES_INLINE __m256d RoundNearest(__m256d a) {
    return _mm256_round_pd(a, _MM_FROUND_TO_NEAREST_INT | _MM_FROUND_NO_EXC);
}
KESTROM_LANES_INLINE __m128d Xor(__m128d a, __m128d b) { return _mm_xor_pd(a, b); }
KESTROM_LANES_INLINE __m256d Xor(__m256d a, __m256d b) { return _mm256_xor_pd(a, b); }
KESTROM_LANES_INLINE __m128d And(__m128d a, __m128d b) { return _mm_and_pd(a, b); }
KESTROM_LANES_INLINE __m256d And(__m256d a, __m256d b) { return _mm256_and_pd(a, b); }
// ~a & b.
KESTROM_LANES_INLINE __m128d AndNot(__m128d a, __m128d b) { return _mm_andnot_pd(a, b); }
KESTROM_LANES_INLINE __m256d AndNot(__m256d a, __m256d b) { return _mm256_andnot_pd(a, b); }
// Lane masks of the ordered comparisons (false where either side is NaN).
KESTROM_LANES_INLINE __m128d Less(__m128d a, __m128d b) { return _mm_cmplt_pd(a, b); }
KESTROM_LANES_INLINE __m256d Less(__m256d a, __m256d b) { return _mm256_cmp_pd(a, b, _CMP_LT_OS); }
KESTROM_LANES_INLINE __m128d LessEqual(__m128d a, __m128d b) { return _mm_cmple_pd(a, b); }
KESTROM_LANES_INLINE __m256d LessEqual(__m256d a, __m256d b) { return _mm256_cmp_pd(a, b, _CMP_LE_OS); }
KESTROM_LANES_INLINE __m128d Equal(__m128d a, __m128d b) { return _mm_cmpeq_pd(a, b); }
KESTROM_LANES_INLINE __m256d Equal(__m256d a, __m256d b) { return _mm256_cmp_pd(a, b, _CMP_EQ_OQ); }
KESTROM_LANES_INLINE __m128d Greater(__m128d a, __m128d b) { return _mm_cmpgt_pd(a, b); }
KESTROM_LANES_INLINE __m256d Greater(__m256d a, __m256d b) { return _mm256_cmp_pd(a, b, _CMP_GT_OS); }
KESTROM_LANES_INLINE __m128d GreaterEqual(__m128d a, __m128d b) { return _mm_cmpge_pd(a, b); }
KESTROM_LANES_INLINE __m256d GreaterEqual(__m256d a, __m256d b) { return _mm256_cmp_pd(a, b, _CMP_GE_OS); }
// mask ? a : b, lane by lane.
KESTROM_LANES_INLINE __m128d Select(__m128d mask, __m128d a, __m128d b) { return _mm_blendv_pd(b, a, mask); }
KESTROM_LANES_INLINE __m256d Select(__m256d mask, __m256d a, __m256d b) { return _mm256_blendv_pd(b, a, mask); }
// One bit per lane, lane 0 lowest.
KESTROM_LANES_INLINE int MoveMask(__m128d mask) { return _mm_movemask_pd(mask); }
KESTROM_LANES_INLINE int MoveMask(__m256d mask) { return _mm256_movemask_pd(mask); }
constexpr int AllLanes(__m128d) { return 3; }
constexpr int AllLanes(__m256d) { return 15; }
// The larger of a and b: a if a > b, else b (so b where either is NaN).
KESTROM_LANES_INLINE __m128d Max(__m128d a, __m128d b) { return _mm_max_pd(a, b); }
KESTROM_LANES_INLINE __m256d Max(__m256d a, __m256d b) { return _mm256_max_pd(a, b); }

KESTROM_LANES_INLINE __m128d Load(const double* p) { return _mm_load_pd(p); }
KESTROM_LANES_INLINE void Store(double* p, __m128d v) { _mm_store_pd(p, v); }
KESTROM_LANES_INLINE void Store(double* p, __m256d v) { _mm256_store_pd(p, v); }
template <class T>
KESTROM_LANES_INLINE T LoadAligned(const double* p);
template <>
KESTROM_LANES_INLINE __m128d LoadAligned<__m128d>(const double* p) { return _mm_load_pd(p); }
template <>
KESTROM_LANES_INLINE __m256d LoadAligned<__m256d>(const double* p) { return _mm256_load_pd(p); }

KESTROM_LANES_INLINE __m128i AsInt(__m128d v) { return _mm_castpd_si128(v); }
KESTROM_LANES_INLINE __m256i AsInt(__m256d v) { return _mm256_castpd_si256(v); }
KESTROM_LANES_INLINE __m128d AsDouble(__m128i v) { return _mm_castsi128_pd(v); }
KESTROM_LANES_INLINE __m256d AsDouble(__m256i v) { return _mm256_castsi256_pd(v); }
KESTROM_LANES_INLINE __m128i AddInt(__m128i a, __m128i b) { return _mm_add_epi64(a, b); }
KESTROM_LANES_INLINE __m256i AddInt(__m256i a, __m256i b) { return _mm256_add_epi64(a, b); }
KESTROM_LANES_INLINE __m128i SubInt(__m128i a, __m128i b) { return _mm_sub_epi64(a, b); }
KESTROM_LANES_INLINE __m256i SubInt(__m256i a, __m256i b) { return _mm256_sub_epi64(a, b); }
KESTROM_LANES_INLINE __m128i AndInt(__m128i a, __m128i b) { return _mm_and_si128(a, b); }
KESTROM_LANES_INLINE __m256i AndInt(__m256i a, __m256i b) { return _mm256_and_si256(a, b); }
template <int kBits>
KESTROM_LANES_INLINE __m128i ShiftLeft(__m128i a) { return _mm_slli_epi64(a, kBits); }
template <int kBits>
KESTROM_LANES_INLINE __m256i ShiftLeft(__m256i a) { return _mm256_slli_epi64(a, kBits); }
template <int kBits>
KESTROM_LANES_INLINE __m128i ShiftRight(__m128i a) { return _mm_srli_epi64(a, kBits); }
template <int kBits>
KESTROM_LANES_INLINE __m256i ShiftRight(__m256i a) { return _mm256_srli_epi64(a, kBits); }

// (double)(t >> 52) with an arithmetic shift, for every 64-bit lane: the
// high 32 bits shifted by 20, gathered into consecutive 32-bit slots and
// converted exactly.
KESTROM_LANES_INLINE __m128d ExponentField(__m128i t) {
    return _mm_cvtepi32_pd(_mm_shuffle_epi32(_mm_srai_epi32(t, 20), _MM_SHUFFLE(3, 1, 3, 1)));
}
KESTROM_LANES_INLINE __m256d ExponentField(__m256i t) {
    const __m256i high = _mm256_srai_epi32(t, 20);
    const __m256i packed = _mm256_permutevar8x32_epi32(high, _mm256_setr_epi32(1, 3, 5, 7, 1, 3, 5, 7));
    return _mm256_cvtepi32_pd(_mm256_castsi256_si128(packed));
}

// The two 64-bit patterns of entry `index` of a table of 16-byte pairs
// (first at table[2 index], second at table[2 index + 1]), for each lane's
// index: one 16-byte load per lane, then transposed.
KESTROM_LANES_INLINE void GatherPairs(const std::uint64_t* table, __m128i index, __m128i& first, __m128i& second) {
    const __m128i* pairs = reinterpret_cast<const __m128i*>(table);
    const __m128i p0 = _mm_loadu_si128(pairs + _mm_cvtsi128_si64(index));
    const __m128i p1 = _mm_loadu_si128(pairs + _mm_extract_epi64(index, 1));
    first = _mm_unpacklo_epi64(p0, p1);
    second = _mm_unpackhi_epi64(p0, p1);
}
// Four scalar indices and 16-byte loads: the AVX2 gather instruction is
// slower than that on common CPUs.
KESTROM_LANES_INLINE void GatherPairs(const std::uint64_t* table, __m256i index, __m256i& first, __m256i& second) {
    const __m128i* pairs = reinterpret_cast<const __m128i*>(table);
    const __m128i low = _mm256_castsi256_si128(index);
    const __m128i high = _mm256_extracti128_si256(index, 1);
    // Lanes 0 and 2, and lanes 1 and 3, of the result in one register each.
    const __m128i p0 = _mm_loadu_si128(pairs + _mm_cvtsi128_si64(low));
    const __m128i p1 = _mm_loadu_si128(pairs + _mm_extract_epi64(low, 1));
    const __m128i p2 = _mm_loadu_si128(pairs + _mm_cvtsi128_si64(high));
    const __m128i p3 = _mm_loadu_si128(pairs + _mm_extract_epi64(high, 1));
    const __m256i even = _mm256_inserti128_si256(_mm256_castsi128_si256(p0), p2, 1);
    const __m256i odd = _mm256_inserti128_si256(_mm256_castsi128_si256(p1), p3, 1);
    first = _mm256_unpacklo_epi64(even, odd);
    second = _mm256_unpackhi_epi64(even, odd);
}

}  // namespace lanes
}  // namespace kestrom

#pragma GCC diagnostic pop

#endif  // x86-64
