#pragma once

#include "host/ChartAxis.h"
#include "raster/RasterBitmap.h"

#include <string>
#include <utility>
#include <vector>

class MemoryBitmap;

// A picture of measurements as plug-in analysers draw them: a title and a subtitle over panels
// in rows and columns, each a framed plot area with a grid, labelled axes, one curve (or one
// set of bars) per series and a legend in a corner. Series i has colour ChartSeriesColour(i)
// in every panel, as has legend entry i.
struct ChartPanel {
    enum class Style { kLines, kBars };

    std::string title;
    ChartAxis x;
    ChartAxis y;
    Style style = Style::kLines;
    // Per series, its points in axis units; a bar stands on the bottom of the range at each
    // point's x, the series' bars side by side. Non-finite values break a curve.
    std::vector<std::vector<std::pair<double, double>>> series;
    enum class Corner { kTopLeft, kTopRight, kBottomRight };
    std::vector<std::string> legend;
    Corner legendCorner = Corner::kTopLeft; // of the plot area
};

struct Chart {
    std::string title;
    std::string subtitle;
    // Filled row by row.
    std::vector<ChartPanel> panels;
    int columns = 1;
};

// Each panel's plot area is framed by lines in this colour, which nothing else is drawn in.
// Value axis.low lies on the left (or bottom) frame line and axis.high on the right (or top).
constexpr RasterPixel kChartFrameColour = 0xFF3C4B5A;

RasterPixel ChartSeriesColour(int index);

// Draws the chart over the whole bitmap. Text needs a font from fontconfig; without one the
// picture is drawn without text and the reason is given in warning.
void DrawChart(const Chart& chart, MemoryBitmap* bitmap, std::string* warning);
