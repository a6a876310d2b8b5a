#include "compressor/ExactAtan.h"
#include "compressor/internal/SameBits.h"

namespace kestrom {

#if KESTROM_EXACT_EXP_LOG

// How wide the margin must be.
//
// glibc's atan (2.36, the library this was checked against; one C source
// for its FMA, FMA4, AVX and SSE2 variants) splits |x| into four ranges and
// in each returns RN(y'), one rounding of a sum y' = t1 + yy of a leading
// double and a polynomial term.
// Its error before that rounding, E = |y' - atan(x)|, comes from the
// polynomial's approximation error, its table's and the roundings inside yy,
// each at most 2^-53 of the term rounded, whether or not the compiler fused
// the multiply-adds:
//   1.3e-8 <= |x| < 1/16: y' = x + x^3 Q(x^2), minimax Q. Approximation error
//       plus five roundings of |yy| <= |x|^3/3: E <= 2^-52.1 x^2 |atan(x)|.
//   1/16 <= |x| < 1: y' = atan(x0) + z P(z), x0 a table point within 2^-9 of
//       x, z = x - x0, P of degree 4 with P(0) in [1/2, 1]: roundings at most
//       1.6 * 2^-53 |z|, approximation and table 2^-61.5: E <= 2^-60.4.
//   1 <= |x| < 16: the same around w = 1/x (in two parts), pi/2 - atan(x0)
//       exact, two roundings more (of z, and of pi/2's low part minus z P):
//       at most 3.6 * 2^-53 |z|: E <= 2^-59.7.
//   16 <= |x| < 5.8e15: y' = pi/2 - w - w^3 Q(w^2), w = 1/x in two parts:
//       E <= 2^-63.9.
// The approximation and table terms are maxima over every table interval,
// computed in 50-digit arithmetic from the library's own coefficients. Its
// source quotes observed errors of 0.511, 0.56, 0.503 and 0.5003 ulp for these
// ranges, which lie within these bounds; and with margins of 2^-62 instead of those below the
// lanes do differ from libm, on about 2 in 10 000 arguments in [1/8, 1/4).
//
// If no rounding boundary (midpoint between two doubles) lies within
// E + (this code's error) of our value, then atan(x) and y' lie on the same
// side of every boundary and RN(y') is RN(atan(x)), the double nearest our
// value. The lanes test that by rounding H + L plus and minus a margin of
// twice E for the range (2^-51 x^2 |H| below 1/16; 1.5 * 2^-60, 1.25 * 2^-59
// and 2^-63 absolute above it) plus 2^-63 |H| for this code's own error, which
// is below 2^-65 |atan(x)|: t in two parts (error 2^-74 |t|), the series
// truncated after t^9 (2^-72 |t|), its roundings (2^-66 |t|), the table
// entries to 2^-106.

// Each entry carries the margin of every range its arguments may fall in
// (the larger where it straddles a boundary). Below 1, entry k serves
// [(k - 1/2)/64, (k + 1/2)/64): entries 0 .. 4 arguments under 1/16 (the
// x^2 term), 4 .. 64 from 1/16 to 1 (1.5 * 2^-60), 64 also 1 itself
// (1.25 * 2^-59). Above 1, entry 65 + k serves 64/(k + 1/2) .. 64/(k - 1/2):
// k = 64 .. 4 up to 18.3 (1.25 * 2^-59), k = 3 .. 0 above 18.3 (2^-63).
constexpr double kBelowOne = 0x1.8p-60;
constexpr double kOneToSixteen = 0x1.4p-59;
constexpr double kAboveSixteen = 0x1p-63;
constexpr double kSmall = 0x1p-51;

// atan(k/64) for k = 0 .. 64, then pi/2 - atan(k/64), each rounded to a
// double and the remainder rounded to a second one (computed with 60-digit
// arithmetic), then the entry's margin.
alignas(64) const ExactAtan::Entry ExactAtan::kTable[130] = {
    {0x0.0p+0, 0x0.0p+0, 0, kSmall},
    {0x1.fff555bbb729bp-7, -0x1.220c39d4dff50p-61, 0, kSmall},
    {0x1.ffd55bba97625p-6, -0x1.5ec431444912cp-60, 0, kSmall},
    {0x1.7fb818430da2ap-5, -0x1.86ef8f794f105p-63, 0, kSmall},
    {0x1.ff55bb72cfdeap-5, -0x1.c934d86d23f1dp-60, kBelowOne, kSmall},
    {0x1.3f59f0e7c559dp-4, 0x1.ac4ce285df847p-58, kBelowOne, 0},
    {0x1.7ee182602f10fp-4, -0x1.cfb654c0c3d98p-58, kBelowOne, 0},
    {0x1.be39ebe6f07c3p-4, 0x1.f7b8f29a05987p-58, kBelowOne, 0},
    {0x1.fd5ba9aac2f6ep-4, -0x1.cd37686760c17p-59, kBelowOne, 0},
    {0x1.1e1fafb043727p-3, -0x1.b485914dacf8cp-59, kBelowOne, 0},
    {0x1.3d6eee8c6626cp-3, 0x1.61a3b0ce9281bp-57, kBelowOne, 0},
    {0x1.5c9811e3ec26ap-3, -0x1.054ab2c010f3dp-58, kBelowOne, 0},
    {0x1.7b97b4bce5b02p-3, 0x1.347b0b4f881cap-58, kBelowOne, 0},
    {0x1.9a6a8e96c8626p-3, 0x1.cf601e7b4348ep-59, kBelowOne, 0},
    {0x1.b90d7529260a2p-3, 0x1.17b10d2e0e5abp-61, kBelowOne, 0},
    {0x1.d77d5df205736p-3, 0x1.c648d1534597ep-57, kBelowOne, 0},
    {0x1.f5b75f92c80ddp-3, 0x1.8ab6e3cf7afbdp-57, kBelowOne, 0},
    {0x1.09dc597d86362p-2, 0x1.62e47390cb865p-56, kBelowOne, 0},
    {0x1.18bf5a30bf178p-2, 0x1.30ca4748b1bf9p-57, kBelowOne, 0},
    {0x1.278372057ef46p-2, -0x1.077cdd36dfc81p-56, kBelowOne, 0},
    {0x1.362773707ebccp-2, -0x1.963a544b672d8p-57, kBelowOne, 0},
    {0x1.44aa436c2af0ap-2, -0x1.5d5e43c55b3bap-56, kBelowOne, 0},
    {0x1.530ad9951cd4ap-2, -0x1.2566480884082p-57, kBelowOne, 0},
    {0x1.614840309cfe2p-2, -0x1.a725715711f00p-56, kBelowOne, 0},
    {0x1.6f61941e4def1p-2, -0x1.c63aae6f6e918p-56, kBelowOne, 0},
    {0x1.7d5604b63b3f7p-2, 0x1.69c885c2b249ap-56, kBelowOne, 0},
    {0x1.8b24d394a1b25p-2, 0x1.b6d0ba3748fa8p-56, kBelowOne, 0},
    {0x1.98cd5454d6b18p-2, 0x1.9e6c988fd0a77p-56, kBelowOne, 0},
    {0x1.a64eec3cc23fdp-2, -0x1.24dec1b50b7ffp-56, kBelowOne, 0},
    {0x1.b3a911da65c6cp-2, 0x1.ae187b1ca5040p-56, kBelowOne, 0},
    {0x1.c0db4c94ec9f0p-2, -0x1.cc1ce70934c34p-56, kBelowOne, 0},
    {0x1.cde53432c1351p-2, -0x1.a2cfa4418f1adp-56, kBelowOne, 0},
    {0x1.dac670561bb4fp-2, 0x1.a2b7f222f65e2p-56, kBelowOne, 0},
    {0x1.e77eb7f175a34p-2, 0x1.0e53dc1bf3435p-56, kBelowOne, 0},
    {0x1.f40dd0b541418p-2, -0x1.a3992dc382a23p-57, kBelowOne, 0},
    {0x1.0039c73c1a40cp-1, -0x1.b32c949c9d593p-55, kBelowOne, 0},
    {0x1.0657e94db30d0p-1, -0x1.d5b495f6349e6p-56, kBelowOne, 0},
    {0x1.0c6145b5b43dap-1, 0x1.974fa13b5404fp-58, kBelowOne, 0},
    {0x1.1255d9bfbd2a9p-1, -0x1.2bdaee1c0ee35p-58, kBelowOne, 0},
    {0x1.1835a88be7c13p-1, 0x1.c621cec00c301p-55, kBelowOne, 0},
    {0x1.1e00babdefeb4p-1, -0x1.928df287a668fp-58, kBelowOne, 0},
    {0x1.23b71e2cc9e6ap-1, 0x1.c421c9f38224ep-57, kBelowOne, 0},
    {0x1.2958e59308e31p-1, -0x1.09e73b0c6c087p-56, kBelowOne, 0},
    {0x1.2ee628406cbcap-1, 0x1.c5d5e9ff0cf8dp-55, kBelowOne, 0},
    {0x1.345f01cce37bbp-1, 0x1.1021137c71102p-55, kBelowOne, 0},
    {0x1.39c391cd4171ap-1, -0x1.2304331d8bf46p-55, kBelowOne, 0},
    {0x1.3f13fb89e96f4p-1, 0x1.ecf8b492644f0p-56, kBelowOne, 0},
    {0x1.445065b795b56p-1, -0x1.f76d0163f79c8p-56, kBelowOne, 0},
    {0x1.4978fa3269ee1p-1, 0x1.2419a87f2a458p-56, kBelowOne, 0},
    {0x1.4e8de5bb6ec04p-1, 0x1.4a33dbeb3796cp-55, kBelowOne, 0},
    {0x1.538f57b89061fp-1, -0x1.1bb74abda520cp-55, kBelowOne, 0},
    {0x1.587d81f732fbbp-1, -0x1.5e5c9d8c5a950p-56, kBelowOne, 0},
    {0x1.5d58987169b18p-1, 0x1.0028e4bc5e7cap-57, kBelowOne, 0},
    {0x1.6220d115d7b8ep-1, -0x1.2b785350ee8c1p-57, kBelowOne, 0},
    {0x1.66d663923e087p-1, -0x1.6ea6febe8bbbap-56, kBelowOne, 0},
    {0x1.6b798920b3d99p-1, -0x1.a80386188c50ep-55, kBelowOne, 0},
    {0x1.700a7c5784634p-1, -0x1.8c34d25aadef6p-56, kBelowOne, 0},
    {0x1.748978fba8e0fp-1, 0x1.7b2a6165884a1p-59, kBelowOne, 0},
    {0x1.78f6bbd5d315ep-1, 0x1.406a089803740p-55, kBelowOne, 0},
    {0x1.7d528289fa093p-1, 0x1.560821e2f3aa9p-55, kBelowOne, 0},
    {0x1.819d0b7158a4dp-1, -0x1.bf76229d3b917p-56, kBelowOne, 0},
    {0x1.85d69576cc2c5p-1, 0x1.6b66e7fc8b8c3p-57, kBelowOne, 0},
    {0x1.89ff5ff57f1f8p-1, -0x1.55b9a5e177a1bp-55, kBelowOne, 0},
    {0x1.8e17aa99cc05ep-1, -0x1.ec182ab042f61p-56, kBelowOne, 0},
    {0x1.921fb54442d18p-1, 0x1.1a62633145c07p-55, kOneToSixteen, 0},
    {0x1.921fb54442d18p+0, 0x1.1a62633145c07p-54, kAboveSixteen, 0},
    {0x1.8e1fca98cb633p+0, 0x1.1299ee93be016p-56, kAboveSixteen, 0},
    {0x1.8a205fd558740p+0, -0x1.30228c09a91b4p-54, kAboveSixteen, 0},
    {0x1.8621f4822a647p+0, -0x1.26d12837ecc05p-57, kAboveSixteen, 0},
    {0x1.82250768ac529p+0, -0x1.e78c96d05afcbp-58, kOneToSixteen, 0},
    {0x1.7e2a1635c67bep+0, 0x1.bf9d9508e7c82p-54, kOneToSixteen, 0},
    {0x1.7a319d1e3fe07p+0, 0x1.775dc87d51fe0p-54, kOneToSixteen, 0},
    {0x1.763c1685d3c9cp+0, 0x1.d736a03d2b373p-57, kOneToSixteen, 0},
    {0x1.7249faa996a21p+0, 0x1.a8cc1e7480c68p-54, kOneToSixteen, 0},
    {0x1.6e5bbf4e3a633p+0, 0x1.a8068fbbb3283p-54, kOneToSixteen, 0},
    {0x1.6a71d772b60cbp+0, -0x1.11d212e88c8fdp-54, kOneToSixteen, 0},
    {0x1.668cb307c54cbp+0, 0x1.55b872ea367d6p-57, kOneToSixteen, 0},
    {0x1.62acbeaca61b8p+0, 0x1.c6ac9f134fa91p-60, kOneToSixteen, 0},
    {0x1.5ed2637169c54p+0, -0x1.f4189dc29459ep-54, kOneToSixteen, 0},
    {0x1.5afe069f1e104p+0, 0x1.8330116e9a3b9p-58, kOneToSixteen, 0},
    {0x1.5730098602231p+0, 0x1.e1994906dd0d7p-54, kOneToSixteen, 0},
    {0x1.5368c951e9cfdp+0, -0x1.96f47948a99f1p-54, kOneToSixteen, 0},
    {0x1.4fa89ee4e1440p+0, -0x1.3e56b9b2ed212p-54, kOneToSixteen, 0},
    {0x1.4befdeb8130bap+0, 0x1.e89234905f110p-55, kOneToSixteen, 0},
    {0x1.483ed8c2e3147p+0, -0x1.477ccb02049b2p-55, kOneToSixteen, 0},
    {0x1.4495d86823225p+0, 0x1.4d29adbab2a62p-54, kOneToSixteen, 0},
    {0x1.40f5246938156p+0, -0x1.1c8c17bac6e15p-55, kOneToSixteen, 0},
    {0x1.3d5cfedefb9c6p+0, -0x1.81e1a79b537d2p-55, kOneToSixteen, 0},
    {0x1.39cda5381b920p+0, -0x1.ef5101e3d70e5p-56, kOneToSixteen, 0},
    {0x1.3647503caf55cp+0, 0x1.17e21d9a42c9ap-55, kOneToSixteen, 0},
    {0x1.32ca3416b401ap+0, 0x1.bff041c0992e0p-54, kOneToSixteen, 0},
    {0x1.2f56805f1a64fp+0, -0x1.4d472d7231f8dp-56, kOneToSixteen, 0},
    {0x1.2bec602f0d252p+0, 0x1.658e7a1aa32d2p-55, kOneToSixteen, 0},
    {0x1.288bfa3512419p+0, 0x1.8e684e7a2281bp-56, kOneToSixteen, 0},
    {0x1.253570cda95fdp+0, 0x1.5db888d438feep-55, kOneToSixteen, 0},
    {0x1.21e8e21f07a9cp+0, 0x1.8d699cf392f14p-54, kOneToSixteen, 0},
    {0x1.1ea6683792844p+0, 0x1.062c9883530e4p-55, kOneToSixteen, 0},
    {0x1.1b6e192ebbe44p+0, 0x1.b1b466a88828ep-54, kOneToSixteen, 0},
    {0x1.18400747e568bp+0, 0x1.ad9ad85491df3p-55, kOneToSixteen, 0},
    {0x1.151c4116f2812p+0, 0x1.4ed588e9b614bp-54, kOneToSixteen, 0},
    {0x1.1202d1a635b12p+0, 0x1.f3f8ad7f946d1p-54, kOneToSixteen, 0},
    {0x1.0ef3c09d694b0p+0, 0x1.8fcf88aed2e80p-54, kOneToSixteen, 0},
    {0x1.0bef126968b2bp+0, 0x1.00ed691d90802p-54, kOneToSixteen, 0},
    {0x1.08f4c864643c4p+0, -0x1.a5bfdbd9f2a2cp-55, kOneToSixteen, 0},
    {0x1.0604e0fe4ef0fp+0, -0x1.c8ae842ec057ap-54, kOneToSixteen, 0},
    {0x1.031f57e54adbep+0, 0x1.338b4259c0270p-54, kOneToSixteen, 0},
    {0x1.0044262dddde3p+0, 0x1.c3bc53e5aaf7ap-55, kOneToSixteen, 0},
    {0x1.fae684f57cc00p-1, -0x1.46479c173e7afp-55, kOneToSixteen, 0},
    {0x1.f559424818e66p-1, 0x1.bbbb718dfa201p-57, kOneToSixteen, 0},
    {0x1.efe068bba2275p-1, 0x1.24a3b2e61a70bp-55, kOneToSixteen, 0},
    {0x1.ea7bd8bb44317p-1, -0x1.506e0cffd1159p-56, kOneToSixteen, 0},
    {0x1.e52b6efe9c33cp-1, 0x1.3e486c1959596p-55, kOneToSixteen, 0},
    {0x1.dfef04d0efedbp-1, -0x1.9f0971d6f161cp-56, kOneToSixteen, 0},
    {0x1.dac670561bb4fp-1, 0x1.a2b7f222f65e2p-55, kOneToSixteen, 0},
    {0x1.d5b184cd16e2cp-1, 0x1.d521d4eea7d44p-56, kOneToSixteen, 0},
    {0x1.d0b012cff5412p-1, -0x1.5f07ddbf9ebccp-56, kOneToSixteen, 0},
    {0x1.cbc1e89152a76p-1, -0x1.1c0cead74734ap-55, kOneToSixteen, 0},
    {0x1.c6e6d2171bf18p-1, 0x1.f4ba8d3373e1bp-55, kOneToSixteen, 0},
    {0x1.c21e9972adea3p-1, -0x1.805d24c938dc2p-55, kOneToSixteen, 0},
    {0x1.bd6906f6479aap-1, -0x1.13e7ba3e2ea15p-55, kOneToSixteen, 0},
    {0x1.b8c5e167d1c98p-1, -0x1.19bd9c2741720p-58, kOneToSixteen, 0},
    {0x1.b434ee31013fdp-1, -0x1.0520d0701d877p-55, kOneToSixteen, 0},
    {0x1.afb5f18cdcc22p-1, -0x1.e2eddfb3cd03cp-55, kOneToSixteen, 0},
    {0x1.ab48aeb2b28d2p-1, 0x1.e8b57b951019bp-56, kOneToSixteen, 0},
    {0x1.a6ece7fe8b99dp-1, 0x1.bd7948ff2fac9p-56, kOneToSixteen, 0},
    {0x1.a2a25f172cfe4p-1, -0x1.d700509dad6cep-56, kOneToSixteen, 0},
    {0x1.9e68d511b976bp-1, 0x1.d9eb0c63689ddp-55, kOneToSixteen, 0},
    {0x1.9a400a9306839p-1, -0x1.d6064eeff375dp-57, kOneToSixteen, 0},
    {0x1.9627bfeeb99d3p-1, -0x1.aa5e488aa6084p-56, kOneToSixteen, 0},
    {0x1.921fb54442d18p-1, 0x1.1a62633145c07p-55, kOneToSixteen, 0},
};

KESTROM_TARGET_FMA __m256d ExactAtan::ReplaceUncertainLanes(__m256d x, __m256d y, int certain) {
    alignas(32) double lanes[4];
    alignas(32) double results[4];
    _mm256_store_pd(lanes, x);
    _mm256_store_pd(results, y);
    for (int lane = 0; lane < 4; ++lane)
        if (!(certain & (1 << lane))) results[lane] = std::atan(lanes[lane]);
    return _mm256_load_pd(results);
}

namespace {

KESTROM_TARGET_FMA bool LanesMatchLibm(double a, double b, double c, double d) {
    alignas(32) double y[4];
    _mm256_store_pd(y, ExactAtan::Atan4(_mm256_set_pd(d, c, b, a)));
    return SameBits(y[0], std::atan(a)) && SameBits(y[1], std::atan(b)) && SameBits(y[2], std::atan(c)) &&
           SameBits(y[3], std::atan(d));
}

bool SelfCheck() {
    __builtin_cpu_init();
    if (!__builtin_cpu_supports("fma") || !__builtin_cpu_supports("avx2")) return false;
    // The compressor's arguments, 0.001 .. 20, and each of the four ranges
    // of the maths library, a few thousand points.
    for (int n = 0; n < 4096; ++n) {
        const double f = (n + 0.3183098861837907) / 4096.0;
        const double e = std::ldexp(1.0 + (n * 0.6180339887498949 - static_cast<int>(n * 0.6180339887498949)),
                                    -24 + n % 74);
        if (!LanesMatchLibm(0.001 + 20.0 * f, -e, f, 16.0 + 64.0 * f)) return false;
    }
    return true;
}

const bool gLanesMatch = SelfCheck();

}  // namespace

bool ExactAtan::Usable() { return gLanesMatch && ExactExpLog::Usable(); }

KESTROM_TARGET_FMA static void AtanLanesArray(const double* x, double* y, std::size_t n, int width) {
    lanes::MapLanes<ExactAtan::Atan8, ExactAtan::Atan4, ExactAtan::Atan>(x, y, n, width);
}

void ExactAtan::AtanArray(const double* x, double* y, std::size_t n, int width) {
    if (Usable()) {
        AtanLanesArray(x, y, n, width);
        return;
    }
    for (std::size_t i = 0; i < n; ++i) y[i] = std::atan(x[i]);
}

#else

bool ExactAtan::Usable() { return false; }

void ExactAtan::AtanArray(const double* x, double* y, std::size_t n, int) {
    for (std::size_t i = 0; i < n; ++i) y[i] = std::atan(x[i]);
}

#endif

}  // namespace kestrom
