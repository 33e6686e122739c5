// kvx-host plot, run as a user runs it, on modules whose effect on sound is known exactly: the
// test gain module (a pass-through at a gain) and the biquad module (a peaking equalizer of the
// cookbook's formula). The numbers come from --csv; the picture is read back and its curves
// looked for where the numbers put them.

#include "HostTestSupport.h"

#include "host/Chart.h"
#include "raster/RasterImageLoad.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <map>
#include <memory>
#include <sstream>

namespace {

const std::string kGain = KVX_GAIN_MODULE;
const std::string kBiquad = KVX_BIQUAD_MODULE;

struct Row {
    std::string panel;
    std::string curve;
    double x;
    double y;
};

std::vector<Row> ReadCsv(const std::string& path) {
    std::vector<std::string> lines = ReadLines(path);
    EXPECT_FALSE(lines.empty());
    if (!lines.empty()) {
        EXPECT_EQ(lines[0], "panel,curve,x,y");
        lines.erase(lines.begin());
    }
    std::vector<Row> rows;
    for (const std::string& line : lines) {
        std::stringstream fields(line);
        Row row;
        std::string x, y;
        std::getline(fields, row.panel, ',');
        std::getline(fields, row.curve, ',');
        std::getline(fields, x, ',');
        std::getline(fields, y, ',');
        row.x = std::strtod(x.c_str(), nullptr);
        row.y = std::strtod(y.c_str(), nullptr);
        rows.push_back(row);
    }
    return rows;
}

std::vector<Row> Only(const std::vector<Row>& rows, const std::string& panel,
                      const std::string& curve = "") {
    std::vector<Row> kept;
    for (const Row& row : rows) {
        if (row.panel == panel && (curve.empty() || row.curve == curve)) {
            kept.push_back(row);
        }
    }
    return kept;
}

// The cookbook's peaking equalizer, evaluated on the unit circle.
double PeakingDb(double hz, double f0, double gainDb, double q, double rate) {
    const double a = std::pow(10.0, gainDb / 40.0);
    const double w0 = 2.0 * M_PI * f0 / rate;
    const double alpha = std::sin(w0) / (2.0 * q);
    const std::complex<double> z1 = std::polar(1.0, -2.0 * M_PI * hz / rate);
    const std::complex<double> z2 = z1 * z1;
    const std::complex<double> h =
        (1.0 + alpha * a - 2.0 * std::cos(w0) * z1 + (1.0 - alpha * a) * z2) /
        (1.0 + alpha / a - 2.0 * std::cos(w0) * z1 + (1.0 - alpha / a) * z2);
    return 20.0 * std::log10(std::abs(h));
}

class PlotTest : public ::testing::Test {
protected:
    // Runs kvx-host plot and returns its numbers.
    std::vector<Row> Plot(std::vector<std::string> args) {
        args.insert(args.begin(), "plot");
        args.insert(args.end(), {"-o", "plot.png", "--csv", "plot.csv"});
        const HostRun run = RunHost(args, dir.Path());
        EXPECT_EQ(run.exitCode, 0) << run.err;
        last = run;
        return ReadCsv(dir / "plot.csv");
    }
    TempDir dir;
    HostRun last;
};

TEST_F(PlotTest, PassThroughAtAGainIsFlatUndistortedAndStraight) {
    std::vector<Row> rows = Plot({"response", kGain, "--sweep", "Gain=0.25,0.5,1"});
    for (const auto& [curve, db] : std::map<std::string, double>{
             {"Gain 0.50 x", -6.0206}, {"Gain 1.00 x", 0.0}, {"Gain 2.00 x", 6.0206}}) {
        const std::vector<Row> points = Only(rows, "response_db", curve);
        ASSERT_EQ(points.size(), 512u) << curve;
        EXPECT_NEAR(points.front().x, 20.0, 1e-9);
        EXPECT_NEAR(points.back().x, 20000.0, 1e-6);
        for (const Row& point : points) {
            ASSERT_NEAR(point.y, db, 1e-3) << curve << " at " << point.x << " Hz";
        }
    }

    rows = Plot({"transfer", kGain, "--set", "Gain=0.25"});
    const std::vector<Row> levels = Only(rows, "level_dbfs");
    ASSERT_EQ(levels.size(), 61u);
    for (std::size_t i = 0; i < levels.size(); ++i) {
        EXPECT_EQ(levels[i].x, -60.0 + double(i));
        ASSERT_NEAR(levels[i].y, levels[i].x - 6.0206, 1e-3) << levels[i].x;
    }
    const std::vector<Row> shape = Only(rows, "waveshape");
    ASSERT_EQ(shape.size(), 513u);
    double lowest = 0.0;
    for (const Row& point : shape) {
        ASSERT_NEAR(point.y, 0.5 * point.x, 1e-6) << point.x;
        lowest = std::min(lowest, point.x);
    }
    EXPECT_NEAR(lowest, -1.0, 1e-4); // one period at 0 dBFS

    rows = Plot({"harmonics", kGain, "--set", "Gain=0.5", "--level", "-20"});
    const std::vector<Row> harmonics = Only(rows, "harmonic_dbfs");
    ASSERT_EQ(harmonics.size(), 20u);
    EXPECT_NEAR(harmonics[0].x, 1000.0, 1e-9);
    EXPECT_NEAR(harmonics[0].y, -20.0, 1e-3);
    for (std::size_t h = 1; h < harmonics.size(); ++h) {
        EXPECT_EQ(harmonics[h].x, 1000.0 * double(h + 1));
        EXPECT_LT(harmonics[h].y, -130.0) << harmonics[h].x;
    }
    const std::vector<Row> thd = Only(rows, "thd_percent");
    ASSERT_EQ(thd.size(), 1u);
    EXPECT_LT(thd[0].y, 1e-4);
    EXPECT_NE(last.out.find("THD < 0.0001 %"), std::string::npos) << last.out;
}

TEST_F(PlotTest, PeakingEqualizerMatchesItsFormula) {
    struct Setting {
        double freq, gain, q;
        int rate;
    };
    for (const Setting& s : {Setting{0.5, 0.75, 0.5, 48000}, Setting{0.2, 0.1, 0.9, 48000},
                             Setting{0.85, 0.9, 0.2, 44100}}) {
        const auto text = [](double v) { return std::to_string(v); };
        const std::vector<Row> rows = Plot({"response", kBiquad, "--set", "Freq=" + text(s.freq),
                                            "--set", "Gain=" + text(s.gain), "--set",
                                            "Q=" + text(s.q), "--rate", std::to_string(s.rate)});
        const std::vector<Row> points = Only(rows, "response_db");
        ASSERT_EQ(points.size(), 512u);
        const double f0 = 20.0 * std::pow(1000.0, s.freq);
        const double gainDb = -24.0 + 48.0 * s.gain;
        const double q = 0.25 * std::pow(32.0, s.q);
        double worst = 0.0;
        for (const Row& point : points) {
            worst = std::max(worst, std::fabs(point.y - PeakingDb(point.x, f0, gainDb, q, s.rate)));
        }
        EXPECT_LT(worst, 0.05) << f0 << " Hz, " << gainDb << " dB, Q " << q << " at " << s.rate;
        EXPECT_NEAR(points.back().x, 20000.0, 1e-6);
    }
}

// The picture, read back: its frame found by the frame colour, its curve by the first series'
// colour.
class Picture {
public:
    explicit Picture(const std::string& path) : bitmap_(RasterLoadPngFile(path.c_str(), nullptr)) {}
    bool Loaded() const { return bitmap_ != nullptr; }
    int Width() const { return bitmap_->GetWidth(); }
    int Height() const { return bitmap_->GetHeight(); }
    RasterPixel At(int x, int y) const { return RasterGetPixel(bitmap_.get(), x, y) | 0xFF000000; }

    // The frame of the panel around (x, y): the nearest frame-coloured pixels on each side.
    bool FindFrame(int x, int y, int* left, int* top, int* right, int* bottom) const {
        *left = *right = x;
        *top = *bottom = y;
        while (*left >= 0 && At(*left, y) != kChartFrameColour) {
            --*left;
        }
        while (*right < Width() && At(*right, y) != kChartFrameColour) {
            ++*right;
        }
        while (*top >= 0 && At(x, *top) != kChartFrameColour) {
            --*top;
        }
        while (*bottom < Height() && At(x, *bottom) != kChartFrameColour) {
            ++*bottom;
        }
        return *left >= 0 && *top >= 0 && *right < Width() && *bottom < Height();
    }

    // The centre of the pixels in column x that have the colour in their darker part, weighed
    // by how much of the colour they hold; NaN when the column has none.
    double CurveRow(int x, RasterPixel colour, int top, int bottom) const {
        double sum = 0.0, weight = 0.0;
        for (int y = top + 1; y < bottom; ++y) {
            const double w = Closeness(At(x, y), colour);
            if (w > 0.5) {
                sum += w * y;
                weight += w;
            }
        }
        return weight > 0.0 ? sum / weight : NAN;
    }

private:
    // 1 for the colour itself, 0 for white, in between for a blend of the two.
    static double Closeness(RasterPixel p, RasterPixel c) {
        double best = 1.0;
        for (int shift : {0, 8, 16}) {
            const double white = 255.0, target = double((c >> shift) & 0xFF);
            const double value = double((p >> shift) & 0xFF);
            if (std::fabs(white - target) > 40.0) {
                best = std::min(best, (white - value) / (white - target));
            } else if (std::fabs(value - target) > 40.0) {
                return 0.0;
            }
        }
        return best;
    }

    std::unique_ptr<RasterBitmap> bitmap_;
};

TEST_F(PlotTest, PictureIsTheSizeAskedAndItsCurvesSitWhereTheNumbersSay) {
    const double f0 = 20.0 * std::pow(1000.0, 0.5), q = 0.25 * std::pow(32.0, 0.5);
    for (const auto& [size, width, height] :
         {std::tuple<const char*, int, int>{"640x400", 640, 400}, {"1200x700", 1200, 700}}) {
        const std::vector<Row> rows =
            Plot({"response", kBiquad, "--set", "Gain=0.75", "--range", "-6:18", "--size", size});
        const Picture picture(dir / "plot.png");
        ASSERT_TRUE(picture.Loaded());
        EXPECT_EQ(picture.Width(), width);
        EXPECT_EQ(picture.Height(), height);
        int left, top, right, bottom;
        ASSERT_TRUE(picture.FindFrame(width / 2, height * 3 / 4, &left, &top, &right, &bottom));
        EXPECT_GT(right - left, width / 2);
        EXPECT_GT(bottom - top, height / 3);
        const std::vector<Row> points = Only(rows, "response_db");
        int checked = 0;
        for (double hz : {30.0, 100.0, 300.0, 632.0, 1000.0, 3000.0, 10000.0, 19000.0}) {
            const double fraction = std::log(hz / 20.0) / std::log(1000.0);
            const int x = int(std::lround(left + fraction * (right - left)));
            // Columns under the legend box do not show the curve.
            if (x < left + 220) {
                continue;
            }
            const double db = PeakingDb(hz, f0, 12.0, q, 48000.0);
            const double expected = bottom - (db + 6.0) / 24.0 * (bottom - top);
            const double found = picture.CurveRow(x, ChartSeriesColour(0), top, bottom);
            EXPECT_NEAR(found, expected, 1.5) << hz << " Hz in " << size;
            ++checked;
        }
        EXPECT_GE(checked, 5);
        EXPECT_FALSE(points.empty());
    }
}

TEST_F(PlotTest, RefusesWhatItCannotMeasureAndWritesNothing) {
    const auto fails = [this](std::vector<std::string> args, const std::string& reason, int code) {
        args.insert(args.begin(), "plot");
        const HostRun run = RunHost(args, dir.Path());
        EXPECT_EQ(run.exitCode, code) << run.err;
        EXPECT_NE(run.err.find(reason), std::string::npos) << run.err;
        EXPECT_TRUE(dir.List().empty());
    };
    fails({}, "say what to plot: response, transfer or harmonics", 2);
    fails({"spectrum", "-o", "a.png"}, "say what to plot", 2);
    fails({"response", kGain}, "-o FILE.png is required", 2);
    fails({"response", kGain, "-o", "a.png", "--range", "5:1"}, "--range takes LOW:HIGH", 2);
    fails({"response", kGain, "-o", "a.png", "--level", "3"}, "--level takes a level", 2);
    fails({"response", kGain, "-o", "a.png", "--size", "10x10"}, "--size takes", 2);
    fails({"response", kGain, "-o", "a.png", "--rate", "22050"}, "--rate takes", 2);
    fails({"response", kGain, "-o", "a.png", "--sweep", "Gain"}, "--sweep takes NAME=V1,V2", 2);
    fails({"response", kGain, "-o", "a.png", "--sweep", "Gain=0.1,,1"}, "has an empty value", 2);
    fails({"response", kGain, "-o", "a.png", "--sweep", "Volume=0,1"}, "unknown parameter 'Volume'",
          1);
    fails({"harmonics", kGain, "-o", "a.png", "--sweep", "Gain=0.5,3"}, "Gain=3 is out of range",
          1);
    fails({"transfer", KVX_NOENTRY_MODULE, "-o", "a.png"}, "exports neither VSTPluginMain", 1);
    fails({"transfer", kGain, "-o", "a.png", "--preset", "none.fxp"}, "cannot read none.fxp", 1);
    fails({"response", kGain, "-o", "no/such/folder/a.png"}, "cannot write no/such/folder/a.png",
          1);
}

} // namespace
