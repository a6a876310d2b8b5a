#pragma once

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <type_traits>

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

#include "compressor/SimdLanes.h"
#include "compressor/TwinLanes.h"
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

    // Element-wise over n values; through the lanes when Usable(), eight at
    // a time (width 8), four (width 4) or two (width 2), otherwise through
    // std::exp / std::log.
    // For tests and the self-check.
    static void ExpArray(const double* x, double* y, std::size_t n, int width = 4);
    static void LogArray(const double* x, double* y, std::size_t n, int width = 4);

#if KESTROM_EXACT_EXP_LOG
    static const std::uint64_t kExpTable[256];
    static const LogEntry kLogTable[128];

    // Only to be called when Usable(). The four- and eight-lane forms (AVX2)
    // give each lane exactly the bits the two-lane forms give it.
    KESTROM_TARGET_FMA_INLINE static __m128d Exp(__m128d x);
    KESTROM_TARGET_FMA_INLINE static __m128d Log(__m128d x);
    KESTROM_TARGET_FMA_INLINE static __m256d Exp4(__m256d x);
    KESTROM_TARGET_FMA_INLINE static __m256d Log4(__m256d x);
    // Two four-lane vectors in lockstep (see TwinLanes.h).
    KESTROM_TARGET_FMA_INLINE static lanes::Twin Exp8(lanes::Twin x);
    KESTROM_TARGET_FMA_INLINE static lanes::Twin Log8(lanes::Twin x);

  private:
    // The one sequence of operations behind every width.
    template <class T>
    KESTROM_TARGET_FMA_INLINE static T ExpLanes(T x);
    // kBranch: the near-1 form is computed only when a lane needs it (a
    // branch, for runs of inputs on one side); else always, and selected.
    template <class T, bool kBranch>
    KESTROM_TARGET_FMA_INLINE static T LogLanes(T x);
#endif
};

#if KESTROM_EXACT_EXP_LOG

// Lanes whose input lies outside the range the vector code covers (bit clear
// in `covered`) take the maths library's own answer for that input.
template <class T, typename Scalar>
KESTROM_TARGET_FMA_INLINE T ReplaceUncoveredLanes(T x, T y, int covered, Scalar scalar) {
    constexpr int kLanes = sizeof(T) / sizeof(double);
    if (covered == (1 << kLanes) - 1) return y;
    alignas(32) double in[kLanes];
    alignas(32) double results[kLanes];
    lanes::Store(in, x);
    lanes::Store(results, y);
    for (int lane = 0; lane < kLanes; ++lane)
        if (!(covered & (1 << lane))) results[lane] = scalar(in[lane]);
    return lanes::LoadAligned<T>(results);
}

// 1/c and ln(c) of each lane's log table entry.
static_assert(sizeof(ExactExpLog::LogEntry) == 16, "log table entries are 16-byte pairs");
template <class Index, class T>
KESTROM_TARGET_FMA_INLINE void GatherLogEntries(Index index, T& inverseCentre, T& logCentre) {
    Index inverseBits, logBits;
    lanes::GatherPairs(reinterpret_cast<const std::uint64_t*>(ExactExpLog::kLogTable), index, inverseBits, logBits);
    inverseCentre = lanes::AsDouble(inverseBits);
    logCentre = lanes::AsDouble(logBits);
}

template <class T>
KESTROM_TARGET_FMA_INLINE T ExactExpLog::ExpLanes(T x) {
    using namespace lanes;
    // 128/ln2, the rounding shifter 1.5 * 2^52, -ln2/128 in a high part with
    // trailing zeros and a low part, and the polynomial's coefficients
    // (about 1/2, 1/6, 1/24, 1/120, fitted).
    const T invLn2N = Splat<T>(0x1.71547652b82fep0 * 128.0);
    const T shift = Splat<T>(0x1.8p52);
    const T negLn2HiN = Splat<T>(-0x1.62e42fefa0000p-8);
    const T negLn2LoN = Splat<T>(-0x1.cf79abc9e3b3ap-47);
    const T c2 = Splat<T>(0x1.ffffffffffdbdp-2);
    const T c3 = Splat<T>(0x1.555555555543cp-3);
    const T c4 = Splat<T>(0x1.55555cf172b91p-5);
    const T c5 = Splat<T>(0x1.1111167a4d017p-7);

    // kd + shift = round(x * 128/ln2) + shift, whose low bits are k itself.
    T kd = Fmadd(invLn2N, x, shift);
    const auto ki = AsInt(kd);
    kd = Sub(kd, shift);
    const T r = Fmadd(kd, negLn2LoN, Fmadd(kd, negLn2HiN, x));

    // 2^(j/128) = scale * (1 + tail), j = k mod 128, the scale's exponent
    // field taking k / 128 as well.
    std::remove_const_t<decltype(ki)> tailBits, scaleBits;
    GatherPairs(kExpTable, AndInt(ki, SplatInt<T>(127)), tailBits, scaleBits);
    const T tail = AsDouble(tailBits);
    const T scale = AsDouble(AddInt(scaleBits, ShiftLeft<45>(ki)));

    const T r2 = Mul(r, r);
    T sum = Fmadd(Fmadd(r, c3, c2), r2, Add(tail, r));
    sum = Fmadd(Mul(r2, r2), Fmadd(r, c5, c4), sum);
    const T y = Fmadd(scale, sum, scale);

    const T magnitude = AndNot(Splat<T>(-0.0), x);
    const T inRange = And(GreaterEqual(magnitude, Splat<T>(0x1p-54)), Less(magnitude, Splat<T>(512.0)));
    return ReplaceUncoveredLanes(x, y, MoveMask(inRange), [](double v) { return std::exp(v); });
}

template <class T, bool kBranch>
KESTROM_TARGET_FMA_INLINE T ExactExpLog::LogLanes(T x) {
    using namespace lanes;
    // ln2 in a high part with trailing zeros and a low part; the polynomial's
    // coefficients (about -1/2, 1/3, -1/4, 1/5, -1/6, fitted); the bits of
    // 0.6875, the start of the range of z.
    const T ln2Hi = Splat<T>(0x1.62e42fefa3800p-1);
    const T ln2Lo = Splat<T>(0x1.ef35793c76730p-45);
    const T a0 = Splat<T>(-0x1.0000000000001p-1);
    const T a1 = Splat<T>(0x1.555555551305bp-2);
    const T a2 = Splat<T>(-0x1.fffffffeb459p-3);
    const T a3 = Splat<T>(0x1.999b324f10111p-3);
    const T a4 = Splat<T>(-0x1.55575e506c89fp-3);
    const auto offset = SplatInt<T>(0x3fe6000000000000LL);

    const auto ix = AsInt(x);
    const auto t = SubInt(ix, offset);
    const auto i = AndInt(ShiftRight<45>(t), SplatInt<T>(127));
    // k = t >> 52 (arithmetic), exactly.
    const T kd = ExponentField(t);
    const T z = AsDouble(SubInt(ix, AndInt(t, SplatInt<T>(static_cast<std::int64_t>(0xfff0000000000000ULL)))));

    T invC, logC;
    GatherLogEntries(i, invC, logC);

    const T r = Fmadd(z, invC, Splat<T>(-1.0));
    const T w = Fmadd(kd, ln2Hi, logC);
    const T hi = Add(w, r);
    const T lo = Fmadd(kd, ln2Lo, Add(Sub(w, hi), r));
    const T r2 = Mul(r, r);
    const T p = Fmadd(Fmadd(r, a4, a3), r2, Fmadd(r, a2, a1));
    const T sum = Fmadd(Mul(r, r2), p, Fmadd(r2, a0, lo));
    T y = Add(sum, hi);

    // Near 1, [0.9375, 1.0647): libm uses log(1 + r) = r - r^2/2 + r^3 P(r)
    // with r = x - 1, the r - r^2/2 part split into high and low halves so
    // that it is exact (rhi keeps the top 26 bits of r). x = 1 gives +0.
    const T nearOne = And(GreaterEqual(x, Splat<T>(0x1.ep-1)), Less(x, Splat<T>(0x1.109p0)));
    if (!kBranch || MoveMask(nearOne)) {
        const T b0 = Splat<T>(-0x1p-1);
        const T rr = Sub(x, Splat<T>(1.0));
        const T rr2 = Mul(rr, rr);
        const T rr3 = Mul(rr, rr2);
        // Coefficients b1 .. b10 of P (fitted; about 1/3, -1/4, 1/5, ...).
        const T pLow = Fmadd(rr2, Splat<T>(0x1.999999995dd0cp-3),
                             Fmadd(rr, Splat<T>(-0x1.ffffffffffdcbp-3), Splat<T>(0x1.5555555555577p-2)));
        const T pMid = Fmadd(rr2, Splat<T>(-0x1.fffffa4423d65p-4),
                             Fmadd(rr, Splat<T>(0x1.24924a344de3p-3), Splat<T>(-0x1.55555556745a7p-3)));
        const T pHigh = Fmadd(rr3, Splat<T>(-0x1.5521375d145cdp-4),
                              Fmadd(rr2, Splat<T>(0x1.78182f7afd085p-4),
                                    Fmadd(rr, Splat<T>(-0x1.999eb43b068ffp-4), Splat<T>(0x1.c7184282ad6cap-4))));
        const T poly = Fmadd(Fmadd(pHigh, rr3, pMid), rr3, pLow);
        const T split = Splat<T>(0x1p27);
        const T rhi = Fnmadd(split, rr, Fmadd(rr, split, rr));
        const T rlo = Sub(rr, rhi);
        const T rhi2 = Mul(rhi, rhi);
        const T hiNear = Fmadd(rhi2, b0, rr);
        T loNear = Fmadd(rhi2, b0, Sub(rr, hiNear));
        loNear = Fmadd(Mul(b0, rlo), Add(rr, rhi), loNear);
        const T yNear = Add(hiNear, Fmadd(poly, rr3, loNear));
        y = Select(nearOne, yNear, y);
    }

    // Anything but positive normal finite numbers (2^-1022 .. DBL_MAX).
    const T normal = And(GreaterEqual(x, Splat<T>(0x1p-1022)), LessEqual(x, Splat<T>(0x1.fffffffffffffp1023)));
    return ReplaceUncoveredLanes(x, y, MoveMask(normal), [](double v) { return std::log(v); });
}

KESTROM_TARGET_FMA_INLINE __m128d ExactExpLog::Exp(__m128d x) { return ExpLanes(x); }
KESTROM_TARGET_FMA_INLINE __m256d ExactExpLog::Exp4(__m256d x) { return ExpLanes(x); }
KESTROM_TARGET_FMA_INLINE __m128d ExactExpLog::Log(__m128d x) { return LogLanes<__m128d, true>(x); }
KESTROM_TARGET_FMA_INLINE __m256d ExactExpLog::Log4(__m256d x) { return LogLanes<__m256d, true>(x); }
KESTROM_TARGET_FMA_INLINE lanes::Twin ExactExpLog::Exp8(lanes::Twin x) { return ExpLanes(x); }
KESTROM_TARGET_FMA_INLINE lanes::Twin ExactExpLog::Log8(lanes::Twin x) { return LogLanes<lanes::Twin, true>(x); }

#endif  // KESTROM_EXACT_EXP_LOG

}  // namespace kestrom
