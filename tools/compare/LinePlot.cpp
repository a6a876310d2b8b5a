#include "tools/compare/LinePlot.h"

#include "tools/kestrom/OutputFile.h"
#include "tools/kestrom/PngFile.h"


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

void LinePlot::AddSeries(std::string name, LICE_pixel colour, std::vector<double> x, std::vector<double> y) {
    series_.push_back({std::move(name), colour, std::move(x), std::move(y)});
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
                ThickLine(bitmap, px, py, x, y, s->colour);
            }
            px = x;
            py = y;
            drawing = true;
        }
    }

    // Legend, top left inside the plot area.
    const int rowHeight = 18;
    const int boxWidth = 190;
    const int boxHeight = 8 + rowHeight * static_cast<int>(series_.size());
    const int bx = left_ + 10, by = top_ + 10;
    LICE::FillRectangle(&bitmap, bx, by, boxWidth, boxHeight, kWhite, 0.9f, LICE::ModeCopy);
    Frame(bitmap, bx, by, boxWidth, boxHeight, kGrid);
    for (std::size_t i = 0; i < series_.size(); ++i) {
        const int y = by + 4 + rowHeight * static_cast<int>(i);
        LICE::FillRectangle(&bitmap, bx + 8, y + 7, 24, 4, series_[i].colour, 1.0f, LICE::ModeCopy);
        Text(font, bitmap, series_[i].name, bx + 40, y, bx + boxWidth - 4, y + rowHeight, 0);
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
