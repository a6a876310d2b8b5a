#include "tools/compare/LinePlot.h"

#include "tools/kestrom/OutputFile.h"
#include "tools/kestrom/PngFile.h"


#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "graphics/LICE_Blit.h"
#include "graphics/LICE_CachedFont.h"
#include "graphics/LICE_FontDescription.h"
#include "graphics/LICE_Shapes.h"

namespace kestrom::compare {

namespace {

constexpr LICE_pixel kWhite = LICE::Rgba(255, 255, 255, 255);
constexpr LICE_pixel kInk = LICE::Rgba(30, 30, 30, 255);
constexpr LICE_pixel kGrid = LICE::Rgba(225, 225, 225, 255);
constexpr int kMarginLeft = 70, kMarginTop = 44, kMarginRight = 24, kMarginBottom = 56;

std::string Number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", std::fabs(value) < 1e-9 ? 0.0 : value);
    return text;
}

void Text(LICE_CachedFont& font, LICE_IBitmap& bitmap, const std::string& text, int left, int top, int right,
          int bottom, int flags) {
    LICE_Rect r{left, top, right, bottom};
    font.DrawText(&bitmap, text.c_str(), -1, &r, flags | LICE::TextNoClip);
}

// Draws a line segment two pixels thick.
void ThickLine(LICE_IBitmap& bitmap, float x1, float y1, float x2, float y2, LICE_pixel colour) {
    LICE::Line(&bitmap, x1, y1, x2, y2, colour, 1.0f, LICE::ModeCopy, true);
    LICE::Line(&bitmap, x1, y1 + 1.0f, x2, y2 + 1.0f, colour, 1.0f, LICE::ModeCopy, true);
}

// Draws the segments of a line in a stroke's pattern of dashes or dots. The
// pattern runs on from one segment to the next, so a line of many short
// segments shows it as well as one long segment does.
class Pen {
public:
    Pen(LICE_IBitmap& bitmap, LICE_pixel colour, LinePlot::Stroke stroke) : bitmap_(bitmap), colour_(colour) {
        if (stroke == LinePlot::Stroke::Dashed) {
            on_ = 12.0f;
            off_ = 6.0f;
        } else if (stroke == LinePlot::Stroke::Dotted) {
            on_ = 3.0f;
            off_ = 4.0f;
        }
    }

    void Segment(float x1, float y1, float x2, float y2) {
        if (on_ <= 0.0f) {
            ThickLine(bitmap_, x1, y1, x2, y2, colour_);
            return;
        }
        const float length = std::hypot(x2 - x1, y2 - y1);
        const float period = on_ + off_;
        float done = 0.0f;
        while (length - done > 1e-3f) {
            const bool drawing = phase_ < on_;
            const float step = std::fmin((drawing ? on_ : period) - phase_, length - done);
            if (drawing) {
                const float a = done / length, b = (done + step) / length;
                ThickLine(bitmap_, x1 + (x2 - x1) * a, y1 + (y2 - y1) * a, x1 + (x2 - x1) * b, y1 + (y2 - y1) * b,
                          colour_);
            }
            done += step;
            phase_ += step;
            if (phase_ >= period) phase_ -= period;
        }
    }

private:
    LICE_IBitmap& bitmap_;
    LICE_pixel colour_;
    float on_ = 0.0f, off_ = 0.0f;  // pattern lengths in pixels; no pattern: solid
    float phase_ = 0.0f;            // where in the pattern the next segment starts
};

// The outline of the rectangle (x, y, w, h), one pixel wide, inside it.
void Frame(LICE_IBitmap& bitmap, int x, int y, int w, int h, LICE_pixel colour) {
    LICE::FillRectangle(&bitmap, x, y, w, 1, colour, 1.0f, LICE::ModeCopy);
    LICE::FillRectangle(&bitmap, x, y + h - 1, w, 1, colour, 1.0f, LICE::ModeCopy);
    LICE::FillRectangle(&bitmap, x, y, 1, h, colour, 1.0f, LICE::ModeCopy);
    LICE::FillRectangle(&bitmap, x + w - 1, y, 1, h, colour, 1.0f, LICE::ModeCopy);
}

}  // namespace

LinePlot::LinePlot(int width, int height, std::string title, std::string xLabel, std::string yLabel)
    : picture_(width, height),
      title_(std::move(title)),
      xLabel_(std::move(xLabel)),
      yLabel_(std::move(yLabel)),
      left_(kMarginLeft),
      top_(kMarginTop),
      right_(width - kMarginRight),
      bottom_(height - kMarginBottom) {}

void LinePlot::SetX(double minimum, double maximum, double step) {
    xMin_ = minimum;
    xMax_ = maximum;
    xStep_ = step;
}

void LinePlot::SetY(double minimum, double maximum, double step) {
    yMin_ = minimum;
    yMax_ = maximum;
    yStep_ = step;
}

void LinePlot::AddSeries(std::string name, LICE_pixel colour, std::vector<double> x, std::vector<double> y,
                         Stroke stroke) {
    series_.push_back({std::move(name), colour, std::move(x), std::move(y), stroke});
}

float LinePlot::MapX(double x) const {
    const double t = std::fmin(std::fmax((x - xMin_) / (xMax_ - xMin_), 0.0), 1.0);
    return static_cast<float>(left_ + t * (right_ - 1 - left_));
}

float LinePlot::MapY(double y) const {
    const double t = std::fmin(std::fmax((y - yMin_) / (yMax_ - yMin_), 0.0), 1.0);
    return static_cast<float>(bottom_ - 1 - t * (bottom_ - 1 - top_));
}

void LinePlot::Draw() {
    LICE_IBitmap& bitmap = picture_;
    LICE::Clear(&bitmap, kWhite);

    LICE_FontDescription face;
    std::strncpy(face.faceName, "DejaVu Sans", sizeof face.faceName - 1);
    face.height = 13;
    LICE_CachedFont font;
    font.SetFromHFont(&face, 0);
    font.SetTextColour(kInk);
    face.height = 16;
    face.weight = 700;
    LICE_CachedFont titleFont;
    titleFont.SetFromHFont(&face, 0);
    titleFont.SetTextColour(kInk);

    // The legend's size, and where it goes: over the plot area's top left
    // corner, or in a column of its own that narrows the plot area.
    const int rowHeight = 18;
    const int swatchWidth = 30;
    int longestName = 0;
    for (const Series& s : series_) {
        LICE_Rect r{0, 0, 0, 0};
        font.DrawText(&bitmap, s.name.c_str(), -1, &r, LICE::TextCalcRect);
        longestName = std::max(longestName, r.right - r.left);
    }
    const int boxWidth = std::max(150, 8 + swatchWidth + 8 + longestName + 10);
    const int boxHeight = 8 + rowHeight * static_cast<int>(series_.size());
    right_ = bitmap.Width() - kMarginRight - (legendRight_ ? boxWidth + 16 : 0);

    // Grid and tick labels.
    const int xTicks = static_cast<int>(std::floor((xMax_ - xMin_) / xStep_ + 1e-9));
    for (int i = 0; i <= xTicks; ++i) {
        const double value = xMin_ + i * xStep_;
        const float x = MapX(value);
        LICE::Line(&bitmap, x, static_cast<float>(top_), x, static_cast<float>(bottom_ - 1), kGrid, 1.0f,
                   LICE::ModeCopy, false);
        const int xi = static_cast<int>(x);
        Text(font, bitmap, Number(value), xi - 40, bottom_ + 6, xi + 40, bottom_ + 22, LICE::TextCentred);
    }
    const int yTicks = static_cast<int>(std::floor((yMax_ - yMin_) / yStep_ + 1e-9));
    for (int i = 0; i <= yTicks; ++i) {
        const double value = yMin_ + i * yStep_;
        const float y = MapY(value);
        LICE::Line(&bitmap, static_cast<float>(left_), y, static_cast<float>(right_ - 1), y, kGrid, 1.0f,
                   LICE::ModeCopy, false);
        const int yi = static_cast<int>(y);
        Text(font, bitmap, Number(value), 0, yi - 8, left_ - 8, yi + 8, LICE::TextRight);
    }
    // Axes: the frame of the plot area.
    Frame(bitmap, left_, top_, right_ - left_, bottom_ - top_, kInk);

    // Titles.
    Text(titleFont, bitmap, title_, 0, 12, bitmap.Width(), 32, LICE::TextCentred);
    Text(font, bitmap, xLabel_, left_, bottom_ + 28, right_, bottom_ + 46, LICE::TextCentred);
    Text(font, bitmap, yLabel_, left_ + 6, top_ - 18, right_, top_ - 2, 0);

    // The lines, last series first, so the first (the reference) lies on top.
    for (auto s = series_.rbegin(); s != series_.rend(); ++s) {
        Pen pen(bitmap, s->colour, s->stroke);
        bool drawing = false;
        float px = 0.0f, py = 0.0f;
        for (std::size_t i = 0; i < s->x.size() && i < s->y.size(); ++i) {
            if (!std::isfinite(s->y[i]) || !std::isfinite(s->x[i])) {
                drawing = false;
                continue;
            }
            const float x = MapX(s->x[i]);
            const float y = MapY(s->y[i]);
            if (drawing) {
                pen.Segment(px, py, x, y);
            }
            px = x;
            py = y;
            drawing = true;
        }
    }

    // Legend: a swatch of each line in its stroke, and its name.
    const int bx = legendRight_ ? right_ + 16 : left_ + 10;
    const int by = legendRight_ ? top_ : top_ + 10;
    LICE::FillRectangle(&bitmap, bx, by, boxWidth, boxHeight, kWhite, 0.9f, LICE::ModeCopy);
    Frame(bitmap, bx, by, boxWidth, boxHeight, kGrid);
    for (std::size_t i = 0; i < series_.size(); ++i) {
        const int y = by + 4 + rowHeight * static_cast<int>(i);
        Pen pen(bitmap, series_[i].colour, series_[i].stroke);
        pen.Segment(static_cast<float>(bx + 8), static_cast<float>(y + 8), static_cast<float>(bx + 8 + swatchWidth),
                    static_cast<float>(y + 8));
        Text(font, bitmap, series_[i].name, bx + 16 + swatchWidth, y, bx + boxWidth - 4, y + rowHeight, 0);
    }
}

bool LinePlot::WritePng(const std::string& path, std::string& error) const {
    const int width = picture_.Width();
    const int height = picture_.Height();
    const LICE_pixel* pixels = picture_.Pixels();
    if (pixels == nullptr) {
        error = "no picture to write to " + path;
        return false;
    }
    std::vector<unsigned char> rgb(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3);
    for (int y = 0; y < height; ++y) {
        const LICE_pixel* row = pixels + static_cast<std::size_t>(y) * static_cast<std::size_t>(picture_.RowSpan());
        for (int x = 0; x < width; ++x) {
            unsigned char* out = &rgb[(static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + x) * 3];
            out[0] = static_cast<unsigned char>(LICE::Red(row[x]));
            out[1] = static_cast<unsigned char>(LICE::Green(row[x]));
            out[2] = static_cast<unsigned char>(LICE::Blue(row[x]));
        }
    }
    // The tool's PNG writer: the file appears only complete.
    kestrom::tool::PngFile png(path);
    return png.Open(error) && png.Write(width, height, rgb, error) &&
           kestrom::tool::OutputFile::CommitAll({&png.File()}, true, error);
}

}  // namespace kestrom::compare
