#include "host/Chart.h"

#include "platform/FontRenderer.h"
#include "raster/MemoryBitmap.h"
#include "raster/RasterPrimitives.h"

#include <algorithm>
#include <cmath>
#include <memory>

namespace {

constexpr RasterPixel kBackground = 0xFFF5F5F3;
constexpr RasterPixel kPlotBackground = 0xFFFFFFFF;
constexpr RasterPixel kMajorGrid = 0xFFD2D6DA;
constexpr RasterPixel kMinorGrid = 0xFFEBEDEF;
constexpr std::uint32_t kText = 0x202020;
constexpr std::uint32_t kMutedText = 0x505050;
constexpr int kMargin = 16;
constexpr int kPanelGap = 28;
constexpr int kTickGap = 6;

struct Fonts {
    std::unique_ptr<FontRenderer> title;
    std::unique_ptr<FontRenderer> text;
    std::unique_ptr<FontRenderer> vertical;

    bool Complete() const { return title && text && vertical; }
    static int Width(FontRenderer* font, const std::string& s) {
        return font ? font->Measure(s.c_str()) : 0;
    }
    static int Height(FontRenderer* font) { return font ? font->LineHeight() : 0; }
};

struct Frame {
    int left, top, right, bottom;

    double X(const ChartAxis& axis, double v) const {
        return left + axis.Fraction(v) * (right - left);
    }
    double Y(const ChartAxis& axis, double v) const {
        return bottom - axis.Fraction(v) * (bottom - top);
    }
};

class Painter {
public:
    explicit Painter(MemoryBitmap* bitmap) : bitmap_(bitmap) {
        target_.bits = bitmap->GetBits();
        target_.width = bitmap->GetWidth();
        target_.height = bitmap->GetHeight();
        target_.rowSpan = bitmap->GetRowSpan();
    }

    void Text(FontRenderer* font, const std::string& text, int left, int top, int right, int align,
              std::uint32_t rgb) {
        if (font) {
            font->Draw(target_, text.c_str(), left, top, right, top + font->LineHeight(), align,
                       rgb);
        }
    }
    void Fill(int x, int y, int w, int h, RasterPixel colour) {
        RasterFillRect(bitmap_, x, y, w, h, colour, 1.0f, ModeCopy);
    }
    void Line(int x1, int y1, int x2, int y2, RasterPixel colour) {
        RasterLine(bitmap_, x1, y1, x2, y2, colour, 1.0f, ModeCopy, true);
    }
    const TextTarget& Target() const { return target_; }

private:
    MemoryBitmap* bitmap_;
    TextTarget target_;
};

// Cuts the segment to the rectangle (Liang and Barsky); false when none of it is inside.
bool Clip(double left, double top, double right, double bottom, double* x1, double* y1, double* x2,
          double* y2) {
    const double dx = *x2 - *x1, dy = *y2 - *y1;
    double t0 = 0.0, t1 = 1.0;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {*x1 - left, right - *x1, *y1 - top, bottom - *y1};
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
    const double ax = *x1, ay = *y1;
    *x1 = ax + t0 * dx;
    *y1 = ay + t0 * dy;
    *x2 = ax + t1 * dx;
    *y2 = ay + t1 * dy;
    return true;
}

// A curve two pixels wide: each anti-aliased segment twice, one pixel apart across its slope,
// the pair centred on the exact position.
void DrawCurve(Painter& painter, const Frame& frame, const ChartPanel& panel,
               const std::vector<std::pair<double, double>>& points, RasterPixel colour) {
    for (std::size_t i = 1; i < points.size(); ++i) {
        double x1 = frame.X(panel.x, points[i - 1].first);
        double y1 = frame.Y(panel.y, points[i - 1].second);
        double x2 = frame.X(panel.x, points[i].first);
        double y2 = frame.Y(panel.y, points[i].second);
        if (!std::isfinite(x1 + y1 + x2 + y2) ||
            !Clip(frame.left, frame.top, frame.right, frame.bottom - 1, &x1, &y1, &x2, &y2)) {
            continue;
        }
        const bool flat = std::fabs(x2 - x1) >= std::fabs(y2 - y1);
        const double ox = flat ? 0.0 : 0.5, oy = flat ? 0.5 : 0.0;
        const int ax = int(std::lround(x1 - ox)), ay = int(std::lround(y1 - oy));
        const int bx = int(std::lround(x2 - ox)), by = int(std::lround(y2 - oy));
        painter.Line(ax, ay, bx, by, colour);
        painter.Line(ax + (flat ? 0 : 1), ay + (flat ? 1 : 0), bx + (flat ? 0 : 1),
                     by + (flat ? 1 : 0), colour);
    }
}

void DrawBars(Painter& painter, const Frame& frame, const ChartPanel& panel) {
    const double unit = std::fabs(frame.X(panel.x, 1.0) - frame.X(panel.x, 0.0));
    const int count = int(panel.series.size());
    const double barWidth = unit * 0.8 / std::max(count, 1);
    for (int s = 0; s < count; ++s) {
        for (const auto& point : panel.series[std::size_t(s)]) {
            const double left = frame.X(panel.x, point.first) - unit * 0.4 + s * barWidth;
            const double y = frame.Y(panel.y, point.second);
            const int top = int(std::lround(std::clamp(std::isnan(y) ? frame.bottom : y,
                                                       double(frame.top), double(frame.bottom))));
            const int x = int(std::lround(left));
            const int w = std::max(1, int(std::lround(left + barWidth)) - x - 1);
            painter.Fill(x, top, w, frame.bottom - top, ChartSeriesColour(s));
        }
    }
}

void DrawGrid(Painter& painter, const Frame& frame, const ChartPanel& panel) {
    painter.Fill(frame.left, frame.top, frame.right - frame.left, frame.bottom - frame.top,
                 kPlotBackground);
    for (int pass = 0; pass < 2; ++pass) {
        const RasterPixel colour = pass == 0 ? kMinorGrid : kMajorGrid;
        std::vector<double> xs = panel.x.minorTicks, ys = panel.y.minorTicks;
        if (pass == 1) {
            xs.clear();
            ys.clear();
            for (const auto& tick : panel.x.ticks) {
                xs.push_back(tick.first);
            }
            for (const auto& tick : panel.y.ticks) {
                ys.push_back(tick.first);
            }
        }
        for (double v : xs) {
            const int x = int(std::lround(frame.X(panel.x, v)));
            painter.Line(x, frame.top, x, frame.bottom, colour);
        }
        for (double v : ys) {
            const int y = int(std::lround(frame.Y(panel.y, v)));
            painter.Line(frame.left, y, frame.right, y, colour);
        }
    }
}

void DrawFrame(Painter& painter, const Frame& frame) {
    painter.Line(frame.left, frame.top, frame.right, frame.top, kChartFrameColour);
    painter.Line(frame.left, frame.bottom, frame.right, frame.bottom, kChartFrameColour);
    painter.Line(frame.left, frame.top, frame.left, frame.bottom, kChartFrameColour);
    painter.Line(frame.right, frame.top, frame.right, frame.bottom, kChartFrameColour);
}

void DrawLabels(Painter& painter, Fonts& fonts, const Frame& frame, const ChartPanel& panel,
                int panelLeft) {
    FontRenderer* text = fonts.text.get();
    const int line = Fonts::Height(text);
    for (const auto& tick : panel.x.ticks) {
        const int x = int(std::lround(frame.X(panel.x, tick.first)));
        painter.Text(text, tick.second, x - 40, frame.bottom + kTickGap, x + 40,
                     FontRenderer::kCentre, kMutedText);
    }
    for (const auto& tick : panel.y.ticks) {
        const int y = int(std::lround(frame.Y(panel.y, tick.first)));
        painter.Text(text, tick.second, panelLeft, y - line / 2, frame.left - kTickGap,
                     FontRenderer::kRight, kMutedText);
    }
    painter.Text(text, panel.x.title, frame.left, frame.bottom + kTickGap + line + 4, frame.right,
                 FontRenderer::kCentre, kText);
    if (fonts.vertical) {
        const int width = Fonts::Width(fonts.vertical.get(), panel.y.title);
        const int top = (frame.top + frame.bottom) / 2 + width / 2;
        fonts.vertical->Draw(painter.Target(), panel.y.title.c_str(), panelLeft, top,
                             panelLeft + line, top + width, FontRenderer::kLeft, kText);
    }
    painter.Text(text, panel.title, frame.left, frame.top - line - 6, frame.right,
                 FontRenderer::kCentre, kText);
}

// The panel's legend in a box in a corner of the plot area.
void DrawLegend(Painter& painter, Fonts& fonts, const Frame& frame, const ChartPanel& panel) {
    if (panel.legend.empty()) {
        return;
    }
    FontRenderer* text = fonts.text.get();
    const int line = std::max(Fonts::Height(text), 14);
    int widest = 0;
    for (const std::string& entry : panel.legend) {
        widest = std::max(widest, Fonts::Width(text, entry));
    }
    const int boxWidth = 8 + 22 + widest + 8;
    const int boxHeight = 6 + line * int(panel.legend.size()) + 6;
    const bool right = panel.legendCorner != ChartPanel::Corner::kTopLeft;
    const bool bottom = panel.legendCorner == ChartPanel::Corner::kBottomRight;
    const int left = right ? frame.right - 8 - boxWidth : frame.left + 8;
    const int top = bottom ? frame.bottom - 8 - boxHeight : frame.top + 8;
    painter.Fill(left, top, boxWidth, boxHeight, kMajorGrid);
    painter.Fill(left + 1, top + 1, boxWidth - 2, boxHeight - 2, kPlotBackground);
    for (std::size_t i = 0; i < panel.legend.size(); ++i) {
        const int y = top + 6 + line * int(i);
        painter.Fill(left + 8, y + line / 2 - 2, 16, 4, ChartSeriesColour(int(i)));
        painter.Text(text, panel.legend[i], left + 30, y, left + boxWidth, FontRenderer::kLeft,
                     kText);
    }
}

} // namespace

RasterPixel ChartSeriesColour(int index) {
    static const RasterPixel kPalette[] = {0xFF1F77B4, 0xFFD62728, 0xFF2CA02C, 0xFFFF7F0E,
                                           0xFF9467BD, 0xFF8C564B, 0xFFE377C2, 0xFF17BECF,
                                           0xFFBCBD22, 0xFF7F7F7F};
    const int count = int(sizeof kPalette / sizeof kPalette[0]);
    return kPalette[((index % count) + count) % count];
}

void DrawChart(const Chart& chart, MemoryBitmap* bitmap, std::string* warning) {
    const int width = bitmap->GetWidth();
    const int height = bitmap->GetHeight();
    Fonts fonts;
    fonts.title = FontRenderer::Create("DejaVu Sans", 20, true, false, 0);
    fonts.text = FontRenderer::Create("DejaVu Sans", 14, false, false, 0);
    fonts.vertical = FontRenderer::Create("DejaVu Sans", 14, false, false, 90);
    if (!fonts.Complete()) {
        *warning = "no font could be had from fontconfig: the picture has no text";
        fonts = Fonts();
    }
    Painter painter(bitmap);
    painter.Fill(0, 0, width, height, kBackground);

    int y = kMargin;
    painter.Text(fonts.title.get(), chart.title, kMargin, y, width - kMargin, FontRenderer::kLeft,
                 kText);
    y += Fonts::Height(fonts.title.get()) + 2;
    painter.Text(fonts.text.get(), chart.subtitle, kMargin, y, width - kMargin, FontRenderer::kLeft,
                 kMutedText);
    y += Fonts::Height(fonts.text.get()) + 14;

    const int line = Fonts::Height(fonts.text.get());
    const int columns = std::max(1, chart.columns);
    const int rows = std::max(1, (int(chart.panels.size()) + columns - 1) / columns);
    const int cellWidth = (width - 2 * kMargin - (columns - 1) * kPanelGap) / columns;
    const int cellHeight = (height - y - kMargin - (rows - 1) * kPanelGap / 2) / rows;
    for (int i = 0; i < int(chart.panels.size()); ++i) {
        const ChartPanel& panel = chart.panels[std::size_t(i)];
        const int cellLeft = kMargin + (i % columns) * (cellWidth + kPanelGap);
        const int cellTop = y + (i / columns) * (cellHeight + kPanelGap / 2);
        int labels = 0;
        for (const auto& tick : panel.y.ticks) {
            labels = std::max(labels, Fonts::Width(fonts.text.get(), tick.second));
        }
        Frame frame;
        frame.left = cellLeft + line + 8 + labels + kTickGap;
        frame.right = cellLeft + cellWidth - 8;
        frame.top = cellTop + (panel.title.empty() ? 0 : line + 8);
        frame.bottom = cellTop + cellHeight - 2 * line - kTickGap - 6;
        if (frame.right - frame.left < 10 || frame.bottom - frame.top < 10) {
            continue;
        }
        DrawGrid(painter, frame, panel);
        if (panel.style == ChartPanel::Style::kBars) {
            DrawBars(painter, frame, panel);
        } else {
            for (std::size_t s = 0; s < panel.series.size(); ++s) {
                DrawCurve(painter, frame, panel, panel.series[s], ChartSeriesColour(int(s)));
            }
        }
        DrawLegend(painter, fonts, frame, panel);
        DrawFrame(painter, frame);
        DrawLabels(painter, fonts, frame, panel, cellLeft);
    }
}
