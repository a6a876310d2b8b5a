#include "graphics/LICE_Shapes.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>

#include "graphics/LICE_Blit.h"
#include "graphics/internal/LICE_Combine.h"

namespace LICE {
namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kTwoPi = 2.0 * kPi;

// Combines one colour into single pixels by weight × coverage. With the
// source-alpha flag the colour's alpha scales the weight (as in FillRectangle)
// and the combining itself runs without the flag.
class Plotter {
public:
    Plotter(LICE_IBitmap* dest, LICE_pixel colour, float weight, int mode)
        : pixels_(dest != nullptr ? dest->Pixels() : nullptr),
          span_(dest != nullptr ? dest->RowSpan() : 0),
          width_(dest != nullptr ? dest->Width() : 0),
          height_(dest != nullptr ? dest->Height() : 0),
          colour_(colour),
          mode_(mode & ~ModeUseSourceAlpha),
          weight_(weight) {
        if ((mode & ModeUseSourceAlpha) != 0) {
            weight_ = weight * (static_cast<float>(colour >> 24) / 255.0f);
        }
        if (!(weight_ > 0.0f)) {
            pixels_ = nullptr;
        }
    }

    bool Active() const { return pixels_ != nullptr && width_ > 0 && height_ > 0; }
    int Width() const { return width_; }
    int Height() const { return height_; }

    // Plots pixel (x, y) if it is inside the bitmap; coverage 0..1.
    void Plot(std::int64_t x, std::int64_t y, double coverage = 1.0) const {
        if (x < 0 || y < 0 || x >= width_ || y >= height_ || !(coverage > 0.0)) {
            return;
        }
        const int a = detail::IntWeight(static_cast<float>(weight_ * std::min(1.0, coverage)));
        if (a == 0) {
            return;
        }
        LICE_pixel& p = pixels_[y * span_ + x];
        detail::WithOp(mode_, a, [&](const auto& op) { p = op(p, colour_); });
    }

    // Plots pixels (x0..x1-1, y) at full coverage, clipped.
    void Span(std::int64_t x0, std::int64_t x1, std::int64_t y) const {
        if (y < 0 || y >= height_) {
            return;
        }
        x0 = std::max<std::int64_t>(0, x0);
        x1 = std::min<std::int64_t>(width_, x1);
        if (x0 >= x1) {
            return;
        }
        const int a = detail::IntWeight(weight_);
        LICE_pixel* row = pixels_ + y * span_;
        detail::WithOp(mode_, a, [&](const auto& op) {
            for (std::int64_t x = x0; x < x1; ++x) {
                row[x] = op(row[x], colour_);
            }
        });
    }

private:
    LICE_pixel* pixels_;
    std::ptrdiff_t span_;
    int width_;
    int height_;
    LICE_pixel colour_;
    int mode_;
    float weight_;
};

bool Finite(double v) { return std::isfinite(v); }

// Clips the segment to the box [lo, hi] in both axes (Liang-Barsky). False when
// nothing of it lies inside.
bool ClipSegment(double& x1, double& y1, double& x2, double& y2, double loX, double loY, double hiX, double hiY) {
    const double dx = x2 - x1, dy = y2 - y1;
    double t0 = 0.0, t1 = 1.0;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {x1 - loX, hiX - x1, y1 - loY, hiY - y1};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0.0) {
            if (q[i] < 0.0) {
                return false;
            }
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0.0) {
            t0 = std::max(t0, t);
        } else {
            t1 = std::min(t1, t);
        }
        if (t0 > t1) {
            return false;
        }
    }
    const double ox = x1, oy = y1;
    x1 = ox + t0 * dx;
    y1 = oy + t0 * dy;
    x2 = ox + t1 * dx;
    y2 = oy + t1 * dy;
    return true;
}

// Pixel bounds [lo, hi) of [centre − reach, centre + reach] inside [0, limit).
void Bounds(double centre, double reach, int limit, int& lo, int& hi) {
    lo = static_cast<int>(std::max(0.0, std::min<double>(limit, std::floor(centre - reach))));
    hi = static_cast<int>(std::max(0.0, std::min<double>(limit, std::ceil(centre + reach) + 1)));
}

// Angle of (dx, dy) measured from straight up, clockwise on screen, 0..2π.
double ScreenAngle(double dx, double dy) {
    double a = std::atan2(dx, -dy);
    if (a < 0.0) {
        a += kTwoPi;
    }
    return a;
}

// Pixels at distance about r from the centre, optionally only within the
// angles [minAngle, minAngle + sweep].
void Ring(const Plotter& plot, double cx, double cy, double r, bool antialias, bool partial, double minAngle,
          double sweep) {
    int x0, x1, y0, y1;
    Bounds(cx, r + 1.0, plot.Width(), x0, x1);
    Bounds(cy, r + 1.0, plot.Height(), y0, y1);
    for (int y = y0; y < y1; ++y) {
        const double dy = y + 0.5 - cy;
        for (int x = x0; x < x1; ++x) {
            const double dx = x + 0.5 - cx;
            const double off = std::fabs(std::sqrt(dx * dx + dy * dy) - r);
            const double coverage = antialias ? 1.0 - off : (off < 0.5 ? 1.0 : 0.0);
            if (coverage <= 0.0) {
                continue;
            }
            if (partial) {
                const double t = std::fmod(ScreenAngle(dx, dy) - minAngle + 2.0 * kTwoPi, kTwoPi);
                if (t > sweep) {
                    continue;
                }
            }
            plot.Plot(x, y, coverage);
        }
    }
}

}  // namespace

void PutPixel(LICE_IBitmap* dest, int x, int y, LICE_pixel colour, float weight, int mode) {
    const Plotter plot(dest, colour, weight, mode);
    if (plot.Active()) {
        plot.Plot(x, y);
    }
}

LICE_pixel GetPixel(const LICE_IBitmap* src, int x, int y) {
    if (src == nullptr || src->Pixels() == nullptr || x < 0 || y < 0 || x >= src->Width() || y >= src->Height()) {
        return 0;
    }
    return src->Pixels()[static_cast<std::ptrdiff_t>(y) * src->RowSpan() + x];
}

void Line(LICE_IBitmap* dest, float fx1, float fy1, float fx2, float fy2, LICE_pixel colour, float weight, int mode,
          bool antialias) {
    const Plotter plot(dest, colour, weight, mode);
    double x1 = fx1, y1 = fy1, x2 = fx2, y2 = fy2;
    if (!plot.Active() || !Finite(x1) || !Finite(y1) || !Finite(x2) || !Finite(y2)) {
        return;
    }
    // Only the part near the bitmap is walked, so the work is bounded by the
    // bitmap's size whatever the coordinates.
    if (!ClipSegment(x1, y1, x2, y2, -2.0, -2.0, plot.Width() + 2.0, plot.Height() + 2.0)) {
        return;
    }
    const double dx = x2 - x1, dy = y2 - y1;
    const bool steep = std::fabs(dy) > std::fabs(dx);
    const double length = steep ? std::fabs(dy) : std::fabs(dx);
    if (!antialias) {
        const int steps = static_cast<int>(std::ceil(length));
        for (int i = 0; i <= steps; ++i) {
            const double t = steps == 0 ? 0.0 : static_cast<double>(i) / steps;
            plot.Plot(static_cast<std::int64_t>(std::floor(x1 + dx * t)),
                      static_cast<std::int64_t>(std::floor(y1 + dy * t)));
        }
        return;
    }
    // Antialiased: one step per pixel of the major axis; the minor coordinate
    // at the pixel centre is split between the two nearest pixels.
    const double major1 = steep ? y1 : x1, major2 = steep ? y2 : x2;
    const double minor1 = steep ? x1 : y1;
    const double slope = length == 0.0 ? 0.0 : (steep ? dx / dy : dy / dx);
    const std::int64_t first = static_cast<std::int64_t>(std::floor(std::min(major1, major2)));
    const std::int64_t last = static_cast<std::int64_t>(std::floor(std::max(major1, major2)));
    for (std::int64_t m = first; m <= last; ++m) {
        const double minor = minor1 + (m + 0.5 - major1) * slope - 0.5;
        const double base = std::floor(minor);
        const double f = minor - base;
        const std::int64_t b = static_cast<std::int64_t>(base);
        if (steep) {
            plot.Plot(b, m, 1.0 - f);
            plot.Plot(b + 1, m, f);
        } else {
            plot.Plot(m, b, 1.0 - f);
            plot.Plot(m, b + 1, f);
        }
    }
}

void Arc(LICE_IBitmap* dest, float cx, float cy, float r, float minAngle, float maxAngle, LICE_pixel colour,
         float weight, int mode, bool antialias) {
    const Plotter plot(dest, colour, weight, mode);
    if (!plot.Active() || !Finite(cx) || !Finite(cy) || !Finite(r) || !Finite(minAngle) || !Finite(maxAngle) ||
        r < 0.0f) {
        return;
    }
    const double sweep = static_cast<double>(maxAngle) - minAngle;
    if (sweep < 0.0) {
        return;
    }
    const double start = std::fmod(static_cast<double>(minAngle), kTwoPi);
    Ring(plot, cx, cy, r, antialias, sweep < kTwoPi, start, sweep);
}

void Circle(LICE_IBitmap* dest, float cx, float cy, float r, LICE_pixel colour, float weight, int mode,
            bool antialias) {
    const Plotter plot(dest, colour, weight, mode);
    if (!plot.Active() || !Finite(cx) || !Finite(cy) || !Finite(r) || r < 0.0f) {
        return;
    }
    Ring(plot, cx, cy, r, antialias, false, 0.0, kTwoPi);
}

void FillCircle(LICE_IBitmap* dest, float cx, float cy, float r, LICE_pixel colour, float weight, int mode,
                bool antialias) {
    const Plotter plot(dest, colour, weight, mode);
    if (!plot.Active() || !Finite(cx) || !Finite(cy) || !Finite(r) || r < 0.0f) {
        return;
    }
    int x0, x1, y0, y1;
    Bounds(cx, r + 1.0, plot.Width(), x0, x1);
    Bounds(cy, r + 1.0, plot.Height(), y0, y1);
    for (int y = y0; y < y1; ++y) {
        const double dy = y + 0.5 - cy;
        for (int x = x0; x < x1; ++x) {
            const double dx = x + 0.5 - static_cast<double>(cx);
            const double d = std::sqrt(dx * dx + dy * dy);
            const double coverage = antialias ? std::min(1.0, r - d + 0.5) : (d <= r ? 1.0 : 0.0);
            plot.Plot(x, y, coverage);
        }
    }
}

void RoundRect(LICE_IBitmap* dest, float x, float y, float w, float h, int cornerRadius, LICE_pixel colour,
               float weight, int mode, bool antialias) {
    if (!Finite(x) || !Finite(y) || !Finite(w) || !Finite(h) || !(w > 0.0f) || !(h > 0.0f)) {
        return;
    }
    // Outline through the centres of the rectangle's edge pixels.
    const double left = std::floor(static_cast<double>(x)) + 0.5;
    const double top = std::floor(static_cast<double>(y)) + 0.5;
    const double right = left + std::floor(static_cast<double>(w)) - 1.0;
    const double bottom = top + std::floor(static_cast<double>(h)) - 1.0;
    const double r = std::max(0.0, std::min<double>(cornerRadius, std::min(right - left, bottom - top) / 2.0));
    const float l = static_cast<float>(left), t = static_cast<float>(top);
    const float rt = static_cast<float>(right), b = static_cast<float>(bottom), rr = static_cast<float>(r);
    Line(dest, l + rr, t, rt - rr, t, colour, weight, mode, antialias);
    Line(dest, l + rr, b, rt - rr, b, colour, weight, mode, antialias);
    if (b - t > 2.0f * rr + 1.0f) {
        Line(dest, l, t + rr + 1.0f, l, b - rr - 1.0f, colour, weight, mode, antialias);
        Line(dest, rt, t + rr + 1.0f, rt, b - rr - 1.0f, colour, weight, mode, antialias);
    }
    if (r >= 1.0) {
        const float q = static_cast<float>(kPi / 2.0);
        Arc(dest, l + rr, t + rr, rr, 3.0f * q, 4.0f * q, colour, weight, mode, antialias);
        Arc(dest, rt - rr, t + rr, rr, 0.0f, q, colour, weight, mode, antialias);
        Arc(dest, rt - rr, b - rr, rr, q, 2.0f * q, colour, weight, mode, antialias);
        Arc(dest, l + rr, b - rr, rr, 2.0f * q, 3.0f * q, colour, weight, mode, antialias);
    }
}

void FillTriangle(LICE_IBitmap* dest, int x1, int y1, int x2, int y2, int x3, int y3, LICE_pixel colour,
                  float weight, int mode) {
    const int xs[3] = {x1, x2, x3};
    const int ys[3] = {y1, y2, y3};
    FillConvexPolygon(dest, xs, ys, 3, colour, weight, mode);
}

void FillConvexPolygon(LICE_IBitmap* dest, const int* x, const int* y, int count, LICE_pixel colour, float weight,
                       int mode) {
    const Plotter plot(dest, colour, weight, mode);
    if (!plot.Active() || x == nullptr || y == nullptr || count < 3) {
        return;
    }
    std::int64_t minY = y[0], maxY = y[0];
    for (int i = 1; i < count; ++i) {
        minY = std::min<std::int64_t>(minY, y[i]);
        maxY = std::max<std::int64_t>(maxY, y[i]);
    }
    const std::int64_t rowFirst = std::max<std::int64_t>(0, minY);
    const std::int64_t rowEnd = std::min<std::int64_t>(plot.Height(), maxY + 1);
    for (std::int64_t row = rowFirst; row < rowEnd; ++row) {
        // Pixels whose centres lie between the leftmost and rightmost crossing
        // of the row's centre line.
        const double yc = row + 0.5;
        double lo = 0.0, hi = 0.0;
        bool any = false;
        for (int i = 0; i < count; ++i) {
            const double ax = x[i], ay = y[i];
            const double bx = x[(i + 1) % count], by = y[(i + 1) % count];
            if (ay == by || yc < std::min(ay, by) || yc >= std::max(ay, by)) {
                continue;
            }
            const double cross = ax + (yc - ay) * (bx - ax) / (by - ay);
            lo = any ? std::min(lo, cross) : cross;
            hi = any ? std::max(hi, cross) : cross;
            any = true;
        }
        if (!any) {
            continue;
        }
        // Centre c + 0.5 in [lo, hi): c from ceil(lo − 0.5) to ceil(hi − 0.5) − 1.
        const double first = std::max(-1.0, std::min<double>(plot.Width() + 1.0, std::ceil(lo - 0.5)));
        const double end = std::max(-1.0, std::min<double>(plot.Width() + 1.0, std::ceil(hi - 0.5)));
        plot.Span(static_cast<std::int64_t>(first), static_cast<std::int64_t>(end), row);
    }
}

}  // namespace LICE
