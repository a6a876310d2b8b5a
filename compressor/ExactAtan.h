#pragma once

#include <cmath>
#include <cstddef>

#include "compressor/ExactExpLog.h"

namespace kestrom {

// The arc tangent on the lanes of an SSE2 or AVX register (or of two AVX
// registers in lockstep) returning exactly the bits that std::atan returns
// in this process (glibc's libm on x86-64), so a pass over many samples can
// compute it several at a time without changing a single output bit.
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

    // Element-wise over n values; when Usable(), eight lanes at a time
    // (width 8, two four-lane vectors in lockstep), four (width 4) or two
    // (width 2); otherwise through std::atan. For tests and the self-check.
    static void AtanArray(const double* x, double* y, std::size_t n, int width = 4);

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
    // Two four-lane vectors in lockstep (see TwinLanes.h), with and without
    // the library's lanes; `certain` has eight bits.
    KESTROM_TARGET_FMA_INLINE static lanes::Twin Atan8(lanes::Twin x);
    KESTROM_TARGET_FMA_INLINE static lanes::Twin Atan8Unchecked(lanes::Twin x, int& certain);
    // Out of line: y with each lane whose bit is clear in `certain` replaced
    // by std::atan of that lane of x.
    KESTROM_TARGET_FMA __attribute__((noinline, cold)) static __m256d ReplaceUncertainLanes(__m256d x, __m256d y,
                                                                                           int certain);
    KESTROM_TARGET_FMA_INLINE static __m128d Atan(__m128d x);

  private:
    // The one sequence of operations behind both forms.
    template <class T>
    KESTROM_TARGET_FMA_INLINE static T AtanLanes(T x, int& certain);
    KESTROM_TARGET_FMA_INLINE static void GatherEntries(__m256d k, __m256d& hi, __m256d& lo, __m256d& absoluteMargin,
                                                        __m256d& squareFactor);
    KESTROM_TARGET_FMA_INLINE static void GatherEntries(lanes::Twin k, lanes::Twin& hi, lanes::Twin& lo,
                                                        lanes::Twin& absoluteMargin, lanes::Twin& squareFactor);
#endif
};

#if KESTROM_EXACT_EXP_LOG

KESTROM_TARGET_FMA_INLINE __m256d ExactAtan::Atan4(__m256d x) {
    int certain;
    const __m256d y = Atan4Unchecked(x, certain);
    if (__builtin_expect(certain == 15, 1)) return y;
    return ReplaceUncertainLanes(x, y, certain);
}

// Entry k of the table for each lane's k (an integer in a double):
// four 32-byte loads per register, transposed.
KESTROM_TARGET_FMA_INLINE void ExactAtan::GatherEntries(__m256d k, __m256d& hi, __m256d& lo, __m256d& absoluteMargin,
                                                        __m256d& squareFactor) {
    const __m128i index = _mm256_cvtpd_epi32(k);
    const __m256d e0 = _mm256_load_pd(&kTable[_mm_cvtsi128_si32(index)].hi);
    const __m256d e1 = _mm256_load_pd(&kTable[_mm_extract_epi32(index, 1)].hi);
    const __m256d e2 = _mm256_load_pd(&kTable[_mm_extract_epi32(index, 2)].hi);
    const __m256d e3 = _mm256_load_pd(&kTable[_mm_extract_epi32(index, 3)].hi);
    const __m256d hi01 = _mm256_unpacklo_pd(e0, e1);  // hi0 hi1 abs0 abs1
    const __m256d lo01 = _mm256_unpackhi_pd(e0, e1);  // lo0 lo1 sq0 sq1
    const __m256d hi23 = _mm256_unpacklo_pd(e2, e3);
    const __m256d lo23 = _mm256_unpackhi_pd(e2, e3);
    hi = _mm256_permute2f128_pd(hi01, hi23, 0x20);
    lo = _mm256_permute2f128_pd(lo01, lo23, 0x20);
    absoluteMargin = _mm256_permute2f128_pd(hi01, hi23, 0x31);
    squareFactor = _mm256_permute2f128_pd(lo01, lo23, 0x31);
}
KESTROM_TARGET_FMA_INLINE void ExactAtan::GatherEntries(lanes::Twin k, lanes::Twin& hi, lanes::Twin& lo,
                                                        lanes::Twin& absoluteMargin, lanes::Twin& squareFactor) {
    GatherEntries(k.low, hi.low, lo.low, absoluteMargin.low, squareFactor.low);
    GatherEntries(k.high, hi.high, lo.high, absoluteMargin.high, squareFactor.high);
}

template <class T>
KESTROM_TARGET_FMA_INLINE T ExactAtan::AtanLanes(T x, int& certain) {
    using namespace lanes;
    const T one = Splat<T>(1.0);
    const T signBit = Splat<T>(-0.0);
    const T sign = And(signBit, x);
    const T magnitude = AndNot(signBit, x);
    const T covered = And(GreaterEqual(magnitude, Splat<T>(0x1p-24)), LessEqual(magnitude, Splat<T>(0x1p50)));
    // Uncovered lanes compute atan(1) instead, so they raise no flags and
    // index the table within its bounds.
    const T a = Select(covered, magnitude, one);
    const T big = Greater(a, one);

    // w = a or 1/a, in [0, 1]; c = k/64 the nearest table point, |w - c| <=
    // 1/128. Above 1: atan(a) = pi/2 - atan(1/a). With t = (w - c) / (1 + w c),
    // atan(w) = atan(c) + atan(t) and |t| <= 1/128. For w = 1/a, t is
    // (1 - a c) / (a + c), which needs 1/a only to choose k.
    const T scaled = Select(big, Div(Splat<T>(64.0), a), Mul(a, Splat<T>(64.0)));
    const T kd = RoundNearest(scaled);
    const T c = Mul(kd, Splat<T>(1.0 / 64.0));
    const T p = Mul(a, c);
    const T pe = Fmsub(a, c, p);  // a c = p + pe exactly

    // Numerator nh + nl: a - c (exact) or 1 - p - pe, where 1 - p is exact
    // (p in [2/3, 2]) and a multiple of 2^-53 at least |pe|, so the fast
    // two-sum holds.
    const T n1 = Select(big, one, a);
    const T n2 = Xor(signBit, Select(big, p, c));
    const T n3 = And(big, Xor(signBit, pe));
    const T n0 = Add(n1, n2);
    const T nh = Add(n0, n3);
    const T nl = Add(Sub(n0, nh), n3);
    // Denominator dh + dl: 1 + p + pe or a + c, the larger term first.
    const T d1 = Select(big, a, one);
    const T d2 = Select(big, c, p);
    const T d3 = AndNot(big, pe);
    const T dh = Add(d1, d2);
    const T dl = Add(Add(Sub(d1, dh), d2), d3);

    // t = th + tl: th = nh / dh to within an ulp, from q = 1/dh; the
    // remainder nh - th dh by one FMA (to 2^-53 of itself, which is ample).
    const T q = Div(one, dh);
    const T th = Mul(nh, q);
    const T remainder = Fnmadd(th, dh, nh);
    const T tl = Mul(Add(remainder, Fnmadd(th, dl, nl)), q);

    // atan(t) = t - t^3/3 + t^5/5 - t^7/7 + t^9/9 (the next term is below
    // 2^-72 |t|), the odd part past t evaluated from th alone.
    const T s = Mul(th, th);
    const T poly = Fmadd(Fmadd(Fmadd(s, Splat<T>(1.0 / 9.0), Splat<T>(-1.0 / 7.0)), s, Splat<T>(1.0 / 5.0)), s,
                         Splat<T>(-1.0 / 3.0));
    const T tail = Mul(Mul(th, s), poly);

    // atan(c) or pi/2 - atan(c) from the table, entry k (below 1) or 65 + k
    // (above 1); above 1, atan(t) is subtracted.
    T tableHi, tableLo, absoluteMargin, squareFactor;
    GatherEntries(Add(kd, And(big, Splat<T>(65.0))), tableHi, tableLo, absoluteMargin, squareFactor);
    const T flip = And(big, signBit);
    const T signedTh = Xor(th, flip);
    const T signedLow = Xor(Add(tl, tail), flip);
    // |tableHi| > |th| unless tableHi is 0, so the fast two-sum is exact.
    const T high = Add(tableHi, signedTh);
    const T low = Add(Add(tableLo, signedLow), Add(Sub(tableHi, high), signedTh));

    // The margin: libm's bound E for the range of |x| (from the entry) plus
    // this code's own error, 2^-63 |H|.
    const T relative = Fmadd(Mul(a, a), squareFactor, Splat<T>(0x1p-63));
    const T margin = Fmadd(high, relative, absoluteMargin);
    const T up = Add(high, Add(low, margin));
    const T down = Add(high, Sub(low, margin));
    const T y = Xor(up, sign);

    certain = MoveMask(And(covered, Equal(up, down)));
    return y;
}

KESTROM_TARGET_FMA_INLINE __m256d ExactAtan::Atan4Unchecked(__m256d x, int& certain) { return AtanLanes(x, certain); }
KESTROM_TARGET_FMA_INLINE lanes::Twin ExactAtan::Atan8Unchecked(lanes::Twin x, int& certain) {
    return AtanLanes(x, certain);
}
KESTROM_TARGET_FMA_INLINE lanes::Twin ExactAtan::Atan8(lanes::Twin x) {
    int certain;
    const lanes::Twin y = Atan8Unchecked(x, certain);
    if (__builtin_expect(certain == 255, 1)) return y;
    return {ReplaceUncertainLanes(x.low, y.low, certain & 15), ReplaceUncertainLanes(x.high, y.high, certain >> 4)};
}

KESTROM_TARGET_FMA_INLINE __m128d ExactAtan::Atan(__m128d x) {
    // The four-lane form, its upper two lanes given 1.0 (atan(1) is far from
    // any rounding boundary, so those lanes never call the maths library).
    const __m256d wide = _mm256_insertf128_pd(_mm256_set1_pd(1.0), x, 0);
    return _mm256_castpd256_pd128(Atan4(wide));
}

#endif  // KESTROM_EXACT_EXP_LOG

}  // namespace kestrom
