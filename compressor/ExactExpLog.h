#pragma once

#include <cmath>
#include <cstddef>
#include <cstdint>

// The two-lane routines exist where the C library is glibc on x86-64: there the
// maths library's exp and log follow the table-driven algorithm reproduced
// here. Elsewhere (other C libraries, 32-bit targets) only the plain calls of
// std::exp and std::log remain.
// A build may set KESTROM_EXACT_EXP_LOG=0 to leave only the plain calls.
#ifndef KESTROM_EXACT_EXP_LOG
#if defined(__x86_64__) && defined(__GLIBC__) && defined(__GNUC__)
#define KESTROM_EXACT_EXP_LOG 1
#else
#define KESTROM_EXACT_EXP_LOG 0
#endif
#endif

#if KESTROM_EXACT_EXP_LOG
#include <immintrin.h>
#define KESTROM_TARGET_FMA __attribute__((target("avx2,fma")))
#define KESTROM_TARGET_FMA_INLINE __attribute__((always_inline, target("avx2,fma"))) inline
#endif

namespace kestrom {

// exp and log on the two lanes of an SSE2 register that return exactly the
// bits that std::exp and std::log return in this process, so the processing
// can keep its states in registers and overlap the two channels without
// changing a single output bit.
//
// On CPUs with FMA and AVX2, glibc's libm runs variants of exp and log built
// with fused multiply-add. Both are table-driven:
//   exp(x): k = round(x * 128/ln2), r = x - k * ln2/128 (in two FMA steps with
//           a split ln2/128), exp(x) = 2^(k/128) * (1 + t + r + r^2 P(r)),
//           2^(j/128) = h_j * (1 + t_j) from kExpTable, j = k mod 128.
//           Error below 0.51 ulp; the result is not always correctly rounded,
//           which is why only this exact sequence of roundings reproduces it.
//   log(x): x = 2^k z with z in [0.6875, 1.375), split into 128 subintervals
//           with a centre c each (kLogTable holds 1/c and ln(c)),
//           r = z/c - 1 by one FMA, log(x) = k ln2 + ln(c) + r + r^2 Q(r), the
//           sum kept in two parts. Error below 0.52 ulp. Near 1, in
//           [0.9375, 1.0647), log(1 + r) = r - r^2/2 + r^3 P(r) with r = x - 1
//           and r - r^2/2 kept exact by splitting r.
// The lanes this fast form covers are 2^-54 <= |x| < 512 for exp and the
// positive normal numbers for log. Any other lane (0, tiny, huge, subnormal,
// negative, inf, NaN) is handed to std::exp or std::log itself, so the result
// is that of the maths library for every input.
//
// Usable() says whether this process may rely on that: true only on a glibc
// x86-64 build, on a CPU where libm selects its FMA variants (FMA and AVX2
// usable, the same test libm makes), and after a self-check at load time
// found the lanes identical to std::exp and std::log on a set of inputs where
// the FMA and non-FMA variants of libm differ, plus a sweep over the ranges
// the compressor uses. Callers use the plain std:: calls otherwise.
struct ExactExpLog {
    struct LogEntry {
        double inverseCentre;  // 1/c
        double logCentre;      // ln(c)
    };

    static bool Usable();

    // Element-wise over n values; through the lanes when Usable(), otherwise
    // through std::exp / std::log. For tests and the self-check.
    static void ExpArray(const double* x, double* y, std::size_t n);
    static void LogArray(const double* x, double* y, std::size_t n);

#if KESTROM_EXACT_EXP_LOG
    static const std::uint64_t kExpTable[256];
    static const LogEntry kLogTable[128];

    // Only to be called when Usable().
    KESTROM_TARGET_FMA_INLINE static __m128d Exp(__m128d x);
    KESTROM_TARGET_FMA_INLINE static __m128d Log(__m128d x);
#endif
};

#if KESTROM_EXACT_EXP_LOG

// Lanes whose input lies outside the range the vector code covers (bit clear
// in `covered`) take the maths library's own answer for that input.
template <typename Scalar>
KESTROM_TARGET_FMA_INLINE __m128d ReplaceUncoveredLanes(__m128d x, __m128d y, int covered, Scalar scalar) {
    if (covered == 3) return y;
    alignas(16) double lanes[2];
    alignas(16) double results[2];
    _mm_store_pd(lanes, x);
    _mm_store_pd(results, y);
    for (int lane = 0; lane < 2; ++lane)
        if (!(covered & (1 << lane))) results[lane] = scalar(lanes[lane]);
    return _mm_load_pd(results);
}

KESTROM_TARGET_FMA_INLINE __m128d ExactExpLog::Exp(__m128d x) {
    // 128/ln2, the rounding shifter 1.5 * 2^52, -ln2/128 in a high part with
    // trailing zeros and a low part, and the polynomial's coefficients
    // (about 1/2, 1/6, 1/24, 1/120, fitted).
    const __m128d invLn2N = _mm_set1_pd(0x1.71547652b82fep0 * 128.0);
    const __m128d shift = _mm_set1_pd(0x1.8p52);
    const __m128d negLn2HiN = _mm_set1_pd(-0x1.62e42fefa0000p-8);
    const __m128d negLn2LoN = _mm_set1_pd(-0x1.cf79abc9e3b3ap-47);
    const __m128d c2 = _mm_set1_pd(0x1.ffffffffffdbdp-2);
    const __m128d c3 = _mm_set1_pd(0x1.555555555543cp-3);
    const __m128d c4 = _mm_set1_pd(0x1.55555cf172b91p-5);
    const __m128d c5 = _mm_set1_pd(0x1.1111167a4d017p-7);

    // kd + shift = round(x * 128/ln2) + shift, whose low bits are k itself.
    __m128d kd = _mm_fmadd_pd(invLn2N, x, shift);
    const __m128i ki = _mm_castpd_si128(kd);
    kd = _mm_sub_pd(kd, shift);
    const __m128d r = _mm_fmadd_pd(kd, negLn2LoN, _mm_fmadd_pd(kd, negLn2HiN, x));

    const __m128i j = _mm_and_si128(ki, _mm_set1_epi64x(127));
    const std::int64_t j0 = _mm_cvtsi128_si64(j);
    const std::int64_t j1 = _mm_extract_epi64(j, 1);
    const __m128i tailBits = _mm_set_epi64x(static_cast<std::int64_t>(kExpTable[2 * j1]),
                                            static_cast<std::int64_t>(kExpTable[2 * j0]));
    const __m128i scaleBits = _mm_add_epi64(
        _mm_set_epi64x(static_cast<std::int64_t>(kExpTable[2 * j1 + 1]),
                       static_cast<std::int64_t>(kExpTable[2 * j0 + 1])),
        _mm_slli_epi64(ki, 45));
    const __m128d tail = _mm_castsi128_pd(tailBits);
    const __m128d scale = _mm_castsi128_pd(scaleBits);

    const __m128d r2 = _mm_mul_pd(r, r);
    __m128d sum = _mm_fmadd_pd(_mm_fmadd_pd(r, c3, c2), r2, _mm_add_pd(tail, r));
    sum = _mm_fmadd_pd(_mm_mul_pd(r2, r2), _mm_fmadd_pd(r, c5, c4), sum);
    __m128d y = _mm_fmadd_pd(scale, sum, scale);

    const __m128d magnitude = _mm_andnot_pd(_mm_set1_pd(-0.0), x);
    const __m128d inRange = _mm_and_pd(_mm_cmpge_pd(magnitude, _mm_set1_pd(0x1p-54)),
                                       _mm_cmplt_pd(magnitude, _mm_set1_pd(512.0)));
    return ReplaceUncoveredLanes(x, y, _mm_movemask_pd(inRange), [](double v) { return std::exp(v); });
}

KESTROM_TARGET_FMA_INLINE __m128d ExactExpLog::Log(__m128d x) {
    // ln2 in a high part with trailing zeros and a low part; the polynomial's
    // coefficients (about -1/2, 1/3, -1/4, 1/5, -1/6, fitted); the bits of
    // 0.6875, the start of the range of z.
    const __m128d ln2Hi = _mm_set1_pd(0x1.62e42fefa3800p-1);
    const __m128d ln2Lo = _mm_set1_pd(0x1.ef35793c76730p-45);
    const __m128d a0 = _mm_set1_pd(-0x1.0000000000001p-1);
    const __m128d a1 = _mm_set1_pd(0x1.555555551305bp-2);
    const __m128d a2 = _mm_set1_pd(-0x1.fffffffeb459p-3);
    const __m128d a3 = _mm_set1_pd(0x1.999b324f10111p-3);
    const __m128d a4 = _mm_set1_pd(-0x1.55575e506c89fp-3);
    const __m128i offset = _mm_set1_epi64x(0x3fe6000000000000LL);

    const __m128i ix = _mm_castpd_si128(x);
    const __m128i t = _mm_sub_epi64(ix, offset);
    const __m128i i = _mm_and_si128(_mm_srli_epi64(t, 45), _mm_set1_epi64x(127));
    // k = t >> 52 (arithmetic): the high 32 bits shifted by 20, gathered into
    // the two low 32-bit slots and converted.
    const __m128i kHigh = _mm_shuffle_epi32(_mm_srai_epi32(t, 20), _MM_SHUFFLE(3, 1, 3, 1));
    const __m128d kd = _mm_cvtepi32_pd(kHigh);
    const __m128i iz = _mm_sub_epi64(ix, _mm_and_si128(t, _mm_set1_epi64x(static_cast<std::int64_t>(0xfff0000000000000ULL))));
    const __m128d z = _mm_castsi128_pd(iz);

    const LogEntry& e0 = kLogTable[_mm_cvtsi128_si64(i)];
    const LogEntry& e1 = kLogTable[_mm_extract_epi64(i, 1)];
    const __m128d invC = _mm_set_pd(e1.inverseCentre, e0.inverseCentre);
    const __m128d logC = _mm_set_pd(e1.logCentre, e0.logCentre);

    const __m128d r = _mm_fmadd_pd(z, invC, _mm_set1_pd(-1.0));
    const __m128d w = _mm_fmadd_pd(kd, ln2Hi, logC);
    const __m128d hi = _mm_add_pd(w, r);
    const __m128d lo = _mm_fmadd_pd(kd, ln2Lo, _mm_add_pd(_mm_sub_pd(w, hi), r));
    const __m128d r2 = _mm_mul_pd(r, r);
    const __m128d p = _mm_fmadd_pd(_mm_fmadd_pd(r, a4, a3), r2, _mm_fmadd_pd(r, a2, a1));
    const __m128d sum = _mm_fmadd_pd(_mm_mul_pd(r, r2), p, _mm_fmadd_pd(r2, a0, lo));
    __m128d y = _mm_add_pd(sum, hi);

    // Near 1, [0.9375, 1.0647): libm uses log(1 + r) = r - r^2/2 + r^3 P(r)
    // with r = x - 1, the r - r^2/2 part split into high and low halves so
    // that it is exact (rhi keeps the top 26 bits of r). x = 1 gives +0.
    const __m128d nearOne = _mm_and_pd(_mm_cmpge_pd(x, _mm_set1_pd(0x1.ep-1)),
                                       _mm_cmplt_pd(x, _mm_set1_pd(0x1.109p0)));
    const int near = _mm_movemask_pd(nearOne);
    if (near) {
        const __m128d b0 = _mm_set1_pd(-0x1p-1);
        const __m128d rr = _mm_sub_pd(x, _mm_set1_pd(1.0));
        const __m128d rr2 = _mm_mul_pd(rr, rr);
        const __m128d rr3 = _mm_mul_pd(rr, rr2);
        // Coefficients b1 .. b10 of P (fitted; about 1/3, -1/4, 1/5, ...).
        const __m128d pLow = _mm_fmadd_pd(rr2, _mm_set1_pd(0x1.999999995dd0cp-3),
                                          _mm_fmadd_pd(rr, _mm_set1_pd(-0x1.ffffffffffdcbp-3),
                                                       _mm_set1_pd(0x1.5555555555577p-2)));
        const __m128d pMid = _mm_fmadd_pd(rr2, _mm_set1_pd(-0x1.fffffa4423d65p-4),
                                          _mm_fmadd_pd(rr, _mm_set1_pd(0x1.24924a344de3p-3),
                                                       _mm_set1_pd(-0x1.55555556745a7p-3)));
        const __m128d pHigh = _mm_fmadd_pd(
            rr3, _mm_set1_pd(-0x1.5521375d145cdp-4),
            _mm_fmadd_pd(rr2, _mm_set1_pd(0x1.78182f7afd085p-4),
                         _mm_fmadd_pd(rr, _mm_set1_pd(-0x1.999eb43b068ffp-4), _mm_set1_pd(0x1.c7184282ad6cap-4))));
        const __m128d poly = _mm_fmadd_pd(_mm_fmadd_pd(pHigh, rr3, pMid), rr3, pLow);
        const __m128d split = _mm_set1_pd(0x1p27);
        const __m128d rhi = _mm_fnmadd_pd(split, rr, _mm_fmadd_pd(rr, split, rr));
        const __m128d rlo = _mm_sub_pd(rr, rhi);
        const __m128d rhi2 = _mm_mul_pd(rhi, rhi);
        const __m128d hiNear = _mm_fmadd_pd(rhi2, b0, rr);
        __m128d loNear = _mm_fmadd_pd(rhi2, b0, _mm_sub_pd(rr, hiNear));
        loNear = _mm_fmadd_pd(_mm_mul_pd(b0, rlo), _mm_add_pd(rr, rhi), loNear);
        const __m128d yNear = _mm_add_pd(hiNear, _mm_fmadd_pd(poly, rr3, loNear));
        y = _mm_blendv_pd(y, yNear, nearOne);
    }

    // Anything but positive normal finite numbers (2^-1022 .. DBL_MAX).
    const __m128d normal = _mm_and_pd(_mm_cmpge_pd(x, _mm_set1_pd(0x1p-1022)),
                                      _mm_cmple_pd(x, _mm_set1_pd(0x1.fffffffffffffp1023)));
    return ReplaceUncoveredLanes(x, y, _mm_movemask_pd(normal), [](double v) { return std::log(v); });
}

#endif  // KESTROM_EXACT_EXP_LOG

}  // namespace kestrom
