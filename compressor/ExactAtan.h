#pragma once

#include <cmath>
#include <cstddef>

#include "compressor/ExactExpLog.h"

namespace kestrom {

// The arc tangent on the lanes of an SSE2 or AVX register returning exactly
// the bits that std::atan returns in this process (glibc's libm on x86-64),
// so a pass over many samples can compute it several at a time without
// changing a single output bit.
//
// libm's atan is not correctly rounded: it evaluates a polynomial around a
// table point and rounds the sum once, so its result is RN(y') where y'
// differs from atan(x) by at most a bound E (ExactAtan.cpp derives it). These
// lanes compute atan(x) far more accurately (relative error below 2^-65) as a
// double-double H + L and round that. Wherever no rounding boundary of the
// double format lies within 2E + 2^-63 |H| of H + L, RN(y') and RN(atan(x))
// are the same double, and the lane's result is libm's. Every other lane is
// handed to std::atan itself.
//
// Lanes covered: 2^-24 <= |x| <= 2^50, both signs (libm's atan is odd to the
// bit). Anything else (0, tiny, huge, inf, NaN) and the lanes too near a
// rounding boundary go to std::atan, so the result is that of the maths
// library for every input. Of arguments spread evenly over 0.001 .. 20, about
// 2 % take that route (0.15 % below 0.05 and 0.25 % above 18.3, but 19 % in
// [1/16, 1/8), where libm's own error is largest against its result).
//
// Usable() is ExactExpLog::Usable() (glibc x86-64 build, FMA and AVX2) plus a
// load-time check of these lanes against std::atan over the arguments the
// compressor uses. Callers use std::atan otherwise.
struct ExactAtan {
    struct alignas(32) Entry {
        double hi;
        double lo;
        double absoluteMargin;  // added to the margin
        double squareFactor;    // times x^2 |H|, added to the margin
    };

    static bool Usable();

    // Element-wise over n values; through the four-lane form when Usable(),
    // otherwise through std::atan. For tests and the self-check.
    static void AtanArray(const double* x, double* y, std::size_t n);
    // The same through the two-lane form.
    static void AtanArray2(const double* x, double* y, std::size_t n);

#if KESTROM_EXACT_EXP_LOG
    // atan(k/64) for k = 0 .. 64, then pi/2 - atan(k/64), each as hi + lo,
    // with the margin for the arguments that use the entry.
    static const Entry kTable[130];

    // Only to be called when Usable(), from code compiled for AVX2 and FMA
    // (KESTROM_TARGET_FMA). Any double in any lane; both forms give the same
    // bits per lane. No allocation, no locks; a lane that needs std::atan
    // costs one call of it.
    KESTROM_TARGET_FMA_INLINE static __m256d Atan4(__m256d x);
    // Atan4 without the library's lanes: `certain` gets a bit per lane
    // (lane 0 lowest) set where the result is std::atan's; the others are
    // to be replaced by std::atan of their argument. For callers that gather
    // the few uncertain lanes of many vectors and mend them together.
    KESTROM_TARGET_FMA_INLINE static __m256d Atan4Unchecked(__m256d x, int& certain);
    // Out of line: y with each lane whose bit is clear in `certain` replaced
    // by std::atan of that lane of x.
    KESTROM_TARGET_FMA __attribute__((noinline, cold)) static __m256d ReplaceUncertainLanes(__m256d x, __m256d y,
                                                                                           int certain);
    KESTROM_TARGET_FMA_INLINE static __m128d Atan(__m128d x);
#endif
};

#if KESTROM_EXACT_EXP_LOG

KESTROM_TARGET_FMA_INLINE __m256d ExactAtan::Atan4(__m256d x) {
    int certain;
    const __m256d y = Atan4Unchecked(x, certain);
    if (__builtin_expect(certain == 15, 1)) return y;
    return ReplaceUncertainLanes(x, y, certain);
}

KESTROM_TARGET_FMA_INLINE __m256d ExactAtan::Atan4Unchecked(__m256d x, int& certain) {
    const __m256d one = _mm256_set1_pd(1.0);
    const __m256d signBit = _mm256_set1_pd(-0.0);
    const __m256d sign = _mm256_and_pd(signBit, x);
    const __m256d magnitude = _mm256_andnot_pd(signBit, x);
    const __m256d covered = _mm256_and_pd(_mm256_cmp_pd(magnitude, _mm256_set1_pd(0x1p-24), _CMP_GE_OQ),
                                          _mm256_cmp_pd(magnitude, _mm256_set1_pd(0x1p50), _CMP_LE_OQ));
    // Uncovered lanes compute atan(1) instead, so they raise no flags and
    // index the table within its bounds.
    const __m256d a = _mm256_blendv_pd(one, magnitude, covered);
    const __m256d big = _mm256_cmp_pd(a, one, _CMP_GT_OQ);

    // w = a or 1/a, in [0, 1]; c = k/64 the nearest table point, |w - c| <=
    // 1/128. Above 1: atan(a) = pi/2 - atan(1/a). With t = (w - c) / (1 + w c),
    // atan(w) = atan(c) + atan(t) and |t| <= 1/128. For w = 1/a, t is
    // (1 - a c) / (a + c), which needs 1/a only to choose k.
    const __m256d scaled = _mm256_blendv_pd(_mm256_mul_pd(a, _mm256_set1_pd(64.0)),
                                            _mm256_div_pd(_mm256_set1_pd(64.0), a), big);
    const __m256d kd = _mm256_round_pd(scaled, _MM_FROUND_TO_NEAREST_INT | _MM_FROUND_NO_EXC);
    const __m256d c = _mm256_mul_pd(kd, _mm256_set1_pd(1.0 / 64.0));
    const __m256d p = _mm256_mul_pd(a, c);
    const __m256d pe = _mm256_fmsub_pd(a, c, p);  // a c = p + pe exactly

    // Numerator nh + nl: a - c (exact) or 1 - p - pe, where 1 - p is exact
    // (p in [2/3, 2]) and a multiple of 2^-53 at least |pe|, so the fast
    // two-sum holds.
    const __m256d n1 = _mm256_blendv_pd(a, one, big);
    const __m256d n2 = _mm256_xor_pd(signBit, _mm256_blendv_pd(c, p, big));
    const __m256d n3 = _mm256_and_pd(big, _mm256_xor_pd(signBit, pe));
    const __m256d n0 = _mm256_add_pd(n1, n2);
    const __m256d nh = _mm256_add_pd(n0, n3);
    const __m256d nl = _mm256_add_pd(_mm256_sub_pd(n0, nh), n3);
    // Denominator dh + dl: 1 + p + pe or a + c, the larger term first.
    const __m256d d1 = _mm256_blendv_pd(one, a, big);
    const __m256d d2 = _mm256_blendv_pd(p, c, big);
    const __m256d d3 = _mm256_andnot_pd(big, pe);
    const __m256d dh = _mm256_add_pd(d1, d2);
    const __m256d dl = _mm256_add_pd(_mm256_add_pd(_mm256_sub_pd(d1, dh), d2), d3);

    // t = th + tl: th = nh / dh to within an ulp, from q = 1/dh; the
    // remainder nh - th dh by one FMA (to 2^-53 of itself, which is ample).
    const __m256d q = _mm256_div_pd(one, dh);
    const __m256d th = _mm256_mul_pd(nh, q);
    const __m256d remainder = _mm256_fnmadd_pd(th, dh, nh);
    const __m256d tl = _mm256_mul_pd(_mm256_add_pd(remainder, _mm256_fnmadd_pd(th, dl, nl)), q);

    // atan(t) = t - t^3/3 + t^5/5 - t^7/7 + t^9/9 (the next term is below
    // 2^-72 |t|), the odd part past t evaluated from th alone.
    const __m256d s = _mm256_mul_pd(th, th);
    const __m256d poly = _mm256_fmadd_pd(
        _mm256_fmadd_pd(_mm256_fmadd_pd(s, _mm256_set1_pd(1.0 / 9.0), _mm256_set1_pd(-1.0 / 7.0)), s,
                        _mm256_set1_pd(1.0 / 5.0)),
        s, _mm256_set1_pd(-1.0 / 3.0));
    const __m256d tail = _mm256_mul_pd(_mm256_mul_pd(th, s), poly);

    // atan(c) or pi/2 - atan(c) from the table; above 1, atan(t) is subtracted.
    // Entry k (below 1) or 65 + k (above 1): four 32-byte loads, transposed.
    const __m128i index = _mm256_cvtpd_epi32(_mm256_add_pd(kd, _mm256_and_pd(big, _mm256_set1_pd(65.0))));
    const __m256d e0 = _mm256_load_pd(&kTable[_mm_cvtsi128_si32(index)].hi);
    const __m256d e1 = _mm256_load_pd(&kTable[_mm_extract_epi32(index, 1)].hi);
    const __m256d e2 = _mm256_load_pd(&kTable[_mm_extract_epi32(index, 2)].hi);
    const __m256d e3 = _mm256_load_pd(&kTable[_mm_extract_epi32(index, 3)].hi);
    const __m256d hi01 = _mm256_unpacklo_pd(e0, e1);  // hi0 hi1 abs0 abs1
    const __m256d lo01 = _mm256_unpackhi_pd(e0, e1);  // lo0 lo1 sq0 sq1
    const __m256d hi23 = _mm256_unpacklo_pd(e2, e3);
    const __m256d lo23 = _mm256_unpackhi_pd(e2, e3);
    const __m256d tableHi = _mm256_permute2f128_pd(hi01, hi23, 0x20);
    const __m256d tableLo = _mm256_permute2f128_pd(lo01, lo23, 0x20);
    const __m256d absoluteMargin = _mm256_permute2f128_pd(hi01, hi23, 0x31);
    const __m256d squareFactor = _mm256_permute2f128_pd(lo01, lo23, 0x31);
    const __m256d flip = _mm256_and_pd(big, signBit);
    const __m256d signedTh = _mm256_xor_pd(th, flip);
    const __m256d signedLow = _mm256_xor_pd(_mm256_add_pd(tl, tail), flip);
    // |tableHi| > |th| unless tableHi is 0, so the fast two-sum is exact.
    const __m256d high = _mm256_add_pd(tableHi, signedTh);
    const __m256d low = _mm256_add_pd(_mm256_add_pd(tableLo, signedLow),
                                      _mm256_add_pd(_mm256_sub_pd(tableHi, high), signedTh));

    // The margin: libm's bound E for the range of |x| (from the entry) plus
    // this code's own error, 2^-63 |H|.
    const __m256d relative = _mm256_fmadd_pd(_mm256_mul_pd(a, a), squareFactor, _mm256_set1_pd(0x1p-63));
    const __m256d margin = _mm256_fmadd_pd(high, relative, absoluteMargin);
    const __m256d up = _mm256_add_pd(high, _mm256_add_pd(low, margin));
    const __m256d down = _mm256_add_pd(high, _mm256_sub_pd(low, margin));
    const __m256d y = _mm256_xor_pd(up, sign);

    certain = _mm256_movemask_pd(_mm256_and_pd(covered, _mm256_cmp_pd(up, down, _CMP_EQ_OQ)));
    return y;
}

KESTROM_TARGET_FMA_INLINE __m128d ExactAtan::Atan(__m128d x) {
    // The four-lane form, its upper two lanes given 1.0 (atan(1) is far from
    // any rounding boundary, so those lanes never call the maths library).
    const __m256d wide = _mm256_insertf128_pd(_mm256_set1_pd(1.0), x, 0);
    return _mm256_castpd256_pd128(Atan4(wide));
}

#endif  // KESTROM_EXACT_EXP_LOG

}  // namespace kestrom
