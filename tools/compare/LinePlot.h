#pragma once

#include <string>
#include <vector>

#include "graphics/LICE_MemBitmap.h"
#include "graphics/LICE_Pixel.h"

namespace kestrom::compare {

// A line chart drawn with the project's bitmap layer: a white picture with a
// title, a grid with labelled axes, one line per series in its colour and
// stroke and a legend; written as an 8-bit RGB PNG through libpng.
class LinePlot {
public:
    // How a series' line is drawn: colour tells one curve family from the
    // next, the stroke one member of a family from another.
    enum class Stroke { Solid, Dashed, Dotted };

    LinePlot(int width, int height, std::string title, std::string xLabel, std::string yLabel);

    // Axis ranges and the spacing of their grid lines and labels.
    void SetX(double minimum, double maximum, double step);
    void SetY(double minimum, double maximum, double step);
    // Points in order of x; a NaN y leaves a gap in the line. Points outside
    // the ranges are clipped to the plot area.
    void AddSeries(std::string name, LICE_pixel colour, std::vector<double> x, std::vector<double> y,
                   Stroke stroke = Stroke::Solid);
    // The legend in a column of its own right of the plot area (which shrinks
    // to make room) instead of over its top left corner: for plots with many
    // series or lines in every corner.
    void PlaceLegendRight() { legendRight_ = true; }

    // Draws everything into the picture (again, after any change).
    void Draw();
    const LICE_MemBitmap& Picture() const { return picture_; }
    // False with a message when the file cannot be written.
    bool WritePng(const std::string& path, std::string& error) const;

private:
    struct Series {
        std::string name;
        LICE_pixel colour;
        std::vector<double> x;
        std::vector<double> y;
        Stroke stroke;
    };
    float MapX(double x) const;
    float MapY(double y) const;

    LICE_MemBitmap picture_;
    std::string title_, xLabel_, yLabel_;
    double xMin_ = 0, xMax_ = 1, xStep_ = 1;
    double yMin_ = 0, yMax_ = 1, yStep_ = 1;
    int left_, top_, right_, bottom_;  // plot area, right and bottom exclusive
    bool legendRight_ = false;
    std::vector<Series> series_;
};

}  // namespace kestrom::compare
