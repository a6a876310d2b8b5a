#include "graphics/LICE_Scaled.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "graphics/LICE_Blit.h"
#include "graphics/internal/LICE_Combine.h"
#include "graphics/internal/LICE_Sampler.h"

namespace LICE {
namespace {

bool Finite(float v) { return std::isfinite(v); }

// (int)(v + 0.5) with the truncation of the written rounding, limited to a
// range that cannot overflow (anything that far out is clipped away anyway).
int RoundedPosition(float v) {
    const double r = static_cast<double>(v) + 0.5;
    constexpr double kFar = 1 << 30;
    return static_cast<int>(std::max(-kFar, std::min(kFar, r)));
}

// Within 0.03 of a whole pixel.
bool NearWhole(float v) { return std::fabs(static_cast<double>(v) - std::floor(static_cast<double>(v) + 0.5)) < 0.03; }

// The source rectangle (which may run backwards, for mirroring) clipped to the
// bitmap, as whole pixels.
detail::Sampler SourceRegion(const LICE_IBitmap* src, float srcX, float srcY, float srcW, float srcH, bool filter) {
    const double lx = std::min<double>(srcX, static_cast<double>(srcX) + srcW);
    const double hx = std::max<double>(srcX, static_cast<double>(srcX) + srcW);
    const double ly = std::min<double>(srcY, static_cast<double>(srcY) + srcH);
    const double hy = std::max<double>(srcY, static_cast<double>(srcY) + srcH);
    const int x0 = static_cast<int>(std::max(0.0, std::min<double>(src->Width(), std::floor(lx))));
    const int x1 = static_cast<int>(std::max(0.0, std::min<double>(src->Width(), std::ceil(hx))));
    const int y0 = static_cast<int>(std::max(0.0, std::min<double>(src->Height(), std::floor(ly))));
    const int y1 = static_cast<int>(std::max(0.0, std::min<double>(src->Height(), std::ceil(hy))));
    return detail::Sampler(src, x0, y0, x1, y1, filter);
}

// Clips [pos, pos + len) to [0, limit).
bool ClipRange(std::int64_t pos, std::int64_t len, std::int64_t limit, int& lo, int& hi) {
    const std::int64_t a = std::max<std::int64_t>(0, pos);
    const std::int64_t b = std::min<std::int64_t>(limit, pos + len);
    if (b <= a) {
        return false;
    }
    lo = static_cast<int>(a);
    hi = static_cast<int>(b);
    return true;
}

}  // namespace

void ScaledBlit(LICE_IBitmap* dest, const LICE_IBitmap* src, int dstX, int dstY, int dstW, int dstH, float srcX,
                float srcY, float srcW, float srcH, float weight, int mode) {
    if (dest == nullptr || src == nullptr || !(weight > 0.0f)) {
        return;
    }
    if (!Finite(srcX) || !Finite(srcY) || !Finite(srcW) || !Finite(srcH)) {
        return;
    }
    const bool filter = (mode & 0xFF00) == ModeFilter;
    if (std::fabs(static_cast<double>(srcW) - dstW) < 0.001 && std::fabs(static_cast<double>(srcH) - dstH) < 0.001) {
        if (!filter || (NearWhole(srcX) && NearWhole(srcY))) {
            Blit(dest, src, dstX, dstY, RoundedPosition(srcX), RoundedPosition(srcY), dstW, dstH, weight,
                 mode & ~ModeFilter);
            return;
        }
    }
    LICE_pixel* dpix = dest->Pixels();
    if (dpix == nullptr || dstW <= 0 || dstH <= 0) {
        return;
    }
    int x0, x1, y0, y1;
    if (!ClipRange(dstX, dstW, dest->Width(), x0, x1) || !ClipRange(dstY, dstH, dest->Height(), y0, y1)) {
        return;
    }
    const detail::Sampler sampler = SourceRegion(src, srcX, srcY, srcW, srcH, filter);
    if (sampler.Empty()) {
        return;
    }
    // Destination pixel centre i + 0.5 maps to srcX + (i + 0.5) × srcW / dstW.
    const double xStep = static_cast<double>(srcW) / dstW;
    const double yStep = static_cast<double>(srcH) / dstH;
    const std::ptrdiff_t span = dest->RowSpan();
    detail::WithOp(mode, detail::IntWeight(weight), [&](const auto& op) {
        for (int y = y0; y < y1; ++y) {
            const double v = srcY + (static_cast<double>(y - static_cast<std::int64_t>(dstY)) + 0.5) * yStep;
            LICE_pixel* row = dpix + y * span;
            for (int x = x0; x < x1; ++x) {
                const double u = srcX + (static_cast<double>(x - static_cast<std::int64_t>(dstX)) + 0.5) * xStep;
                LICE_pixel s;
                if (sampler.At(u, v, s)) {
                    row[x] = op(row[x], s);
                }
            }
        }
    });
}

void RotatedBlit(LICE_IBitmap* dest, const LICE_IBitmap* src, int dstX, int dstY, int dstW, int dstH, float srcX,
                 float srcY, float srcW, float srcH, float angle, bool clipToSource, float weight, int mode,
                 float centreOffsetX, float centreOffsetY) {
    if (dest == nullptr || src == nullptr || !(weight > 0.0f) || dstW <= 0 || dstH <= 0) {
        return;
    }
    if (!Finite(srcX) || !Finite(srcY) || !Finite(srcW) || !Finite(srcH) || !Finite(angle) ||
        !Finite(centreOffsetX) || !Finite(centreOffsetY)) {
        return;
    }
    LICE_pixel* dpix = dest->Pixels();
    if (dpix == nullptr) {
        return;
    }
    const bool filter = (mode & 0xFF00) == ModeFilter;
    const detail::Sampler sampler = clipToSource ? SourceRegion(src, srcX, srcY, srcW, srcH, filter)
                                                 : detail::Sampler(src, 0, 0, src->Width(), src->Height(), filter);
    if (sampler.Empty()) {
        return;
    }
    const double cx = dstX + dstW * 0.5 + centreOffsetX;
    const double cy = dstY + dstH * 0.5 + centreOffsetY;
    const double c = std::cos(static_cast<double>(angle));
    const double s = std::sin(static_cast<double>(angle));

    // Bounding box of the rotated destination rectangle, clipped to the bitmap.
    double minX = 1e300, maxX = -1e300, minY = 1e300, maxY = -1e300;
    const double cornersX[4] = {static_cast<double>(dstX), static_cast<double>(dstX) + dstW,
                                static_cast<double>(dstX), static_cast<double>(dstX) + dstW};
    const double cornersY[4] = {static_cast<double>(dstY), static_cast<double>(dstY),
                                static_cast<double>(dstY) + dstH, static_cast<double>(dstY) + dstH};
    for (int i = 0; i < 4; ++i) {
        const double rx = cornersX[i] - cx, ry = cornersY[i] - cy;
        const double px = cx + rx * c - ry * s, py = cy + rx * s + ry * c;
        minX = std::min(minX, px);
        maxX = std::max(maxX, px);
        minY = std::min(minY, py);
        maxY = std::max(maxY, py);
    }
    const int x0 = static_cast<int>(std::max(0.0, std::min<double>(dest->Width(), std::floor(minX))));
    const int x1 = static_cast<int>(std::max(0.0, std::min<double>(dest->Width(), std::ceil(maxX))));
    const int y0 = static_cast<int>(std::max(0.0, std::min<double>(dest->Height(), std::floor(minY))));
    const int y1 = static_cast<int>(std::max(0.0, std::min<double>(dest->Height(), std::ceil(maxY))));

    const double xScale = static_cast<double>(srcW) / dstW;
    const double yScale = static_cast<double>(srcH) / dstH;
    const std::ptrdiff_t span = dest->RowSpan();
    detail::WithOp(mode, detail::IntWeight(weight), [&](const auto& op) {
        for (int y = y0; y < y1; ++y) {
            LICE_pixel* row = dpix + y * span;
            const double ry = y + 0.5 - cy;
            for (int x = x0; x < x1; ++x) {
                // Turn the pixel centre back by the angle, then map the point of
                // the unrotated destination rectangle into the source.
                const double rx = x + 0.5 - cx;
                const double qx = cx + rx * c + ry * s;
                const double qy = cy - rx * s + ry * c;
                if (clipToSource && !(qx >= dstX && qx < static_cast<double>(dstX) + dstW && qy >= dstY &&
                                      qy < static_cast<double>(dstY) + dstH)) {
                    continue;
                }
                const double u = srcX + (qx - dstX) * xScale;
                const double v = srcY + (qy - dstY) * yScale;
                LICE_pixel sample;
                if (sampler.At(u, v, sample)) {
                    row[x] = op(row[x], sample);
                }
            }
        }
    });
}

}  // namespace LICE
