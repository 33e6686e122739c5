// kvx-host plot response|transfer|harmonics: pictures of what a plug-in does to sound, as
// plug-in analysers draw them, with the numbers beside them on request.

#include "host/Chart.h"
#include "host/CommandErrors.h"
#include "host/Commands.h"
#include "host/FrequencyResponse.h"
#include "host/HostedPlugin.h"
#include "host/PluginProbe.h"
#include "host/PngFile.h"
#include "host/SineAnalysis.h"
#include "raster/MemoryBitmap.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

const char kUsage[] =
    "usage: kvx-host plot response|transfer|harmonics [PLUGIN] -o FILE.png [--csv FILE]\n"
    "                 [--set NAME=VALUE ...] [--preset FILE] [--sweep NAME=V1,V2,...]\n"
    "                 [--level DBFS] [--range LOW:HIGH] [--rate HZ] [--size WIDTHxHEIGHT]\n"
    "\n"
    "Measures what the plug-in does to sound, as a mono insert (the signal on its first input,\n"
    "its first output kept), and draws it into a PNG:\n"
    "  response   magnitude in dB against frequency, 20 Hz to 20 kHz, from a low-level\n"
    "             impulse (--level is its peak, default -60 dBFS)\n"
    "  transfer   the output's level against a 1 kHz sine's from -60 to 0 dBFS, and the\n"
    "             waveshape: one period in against one period out (--level is that sine's\n"
    "             peak, default 0 dBFS)\n"
    "  harmonics  the harmonics of a 1 kHz sine (--level, default -12 dBFS), THD in the legend\n"
    "\n"
    "  PLUGIN            the plug-in module (default: the built Kelvorantumix)\n"
    "  -o FILE.png       the picture to write\n"
    "  --csv FILE        also write the numbers: one row per point, panel,curve,x,y\n"
    "  --set NAME=VALUE  set a parameter, by name or index, to a normalized value 0..1 or to a\n"
    "                    value it displays (repeatable)\n"
    "  --preset FILE     load a VST 2.x program (.fxp) or bank (.fxb) before the settings\n"
    "  --sweep NAME=V1,V2,...\n"
    "                    one curve per value of the parameter, e.g. --sweep Low=0,0.5,1;\n"
    "                    each --sweep gets panels of its own, one above the other\n"
    "  --range LOW:HIGH  the vertical axis in dB (default: fitted to the curves)\n"
    "  --rate HZ         the sample rate the plug-in runs at (default 48000)\n"
    "  --size WxH        the picture's size in pixels (default 960x540, taller for each\n"
    "                    --sweep after the first)\n";

enum class Kind { kResponse, kTransfer, kHarmonics };

struct PlotOptions {
    Kind kind = Kind::kResponse;
    std::string plugin;
    std::string output;
    std::string csv;
    std::string preset;
    std::vector<ParameterSetting> settings;
    // Each --sweep: a parameter and its values, one panel (or row of panels) of curves.
    std::vector<std::pair<std::string, std::vector<std::string>>> sweeps;
    bool hasLevel = false;
    double level = 0.0;
    bool hasRange = false;
    double rangeLow = 0.0;
    double rangeHigh = 0.0;
    int rate = 48000;
    int width = 960;
    int height = 540;
    bool hasSize = false;
};

int Usage(const std::string& problem) {
    return UsageError("plot", problem, kUsage);
}

bool ParseNumber(const std::string& text, double* value) {
    char* end = nullptr;
    *value = std::strtod(text.c_str(), &end);
    return !text.empty() && *end == '\0' && std::isfinite(*value);
}

bool ParsePair(const std::string& text, char separator, double* a, double* b) {
    const std::size_t at = text.find(separator);
    return at != std::string::npos && ParseNumber(text.substr(0, at), a) &&
           ParseNumber(text.substr(at + 1), b);
}

std::vector<std::string> SplitValues(const std::string& text) {
    std::vector<std::string> values;
    std::size_t start = 0;
    while (true) {
        const std::size_t comma = text.find(',', start);
        values.push_back(text.substr(start, comma - start));
        if (comma == std::string::npos) {
            return values;
        }
        start = comma + 1;
    }
}

// Parses the words after "plot"; -1 to go on, or the exit code.
int ParseOptions(const std::vector<std::string>& args, PlotOptions* options) {
    if (!args.empty() && (args[0] == "-h" || args[0] == "--help")) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (args.empty() ||
        (args[0] != "response" && args[0] != "transfer" && args[0] != "harmonics")) {
        return Usage("say what to plot: response, transfer or harmonics");
    }
    options->kind = args[0] == "response"   ? Kind::kResponse
                    : args[0] == "transfer" ? Kind::kTransfer
                                            : Kind::kHarmonics;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& word = args[i];
        if (word == "-h" || word == "--help") {
            std::fputs(kUsage, stdout);
            return 0;
        }
        const bool takesValue = word == "-o" || word == "--csv" || word == "--set" ||
                                word == "--preset" || word == "--sweep" || word == "--level" ||
                                word == "--range" || word == "--rate" || word == "--size";
        if (takesValue && i + 1 == args.size()) {
            return Usage(word + " needs a value");
        }
        const std::string value = takesValue ? args[++i] : "";
        std::string error;
        double a = 0.0;
        double b = 0.0;
        if (word == "-o") {
            options->output = value;
        } else if (word == "--csv") {
            options->csv = value;
        } else if (word == "--preset") {
            options->preset = value;
        } else if (word == "--set") {
            ParameterSetting setting;
            if (!ParseParameterSetting(value, &setting, &error)) {
                return Usage(error);
            }
            options->settings.push_back(setting);
        } else if (word == "--sweep") {
            ParameterSetting sweep;
            if (!ParseParameterSetting(value, &sweep, &error)) {
                return Usage("--sweep takes NAME=V1,V2,..., for example --sweep Low=0,0.5,1");
            }
            const std::vector<std::string> values = SplitValues(sweep.value);
            for (const std::string& v : values) {
                if (v.find_first_not_of(' ') == std::string::npos) {
                    return Usage("--sweep " + value + " has an empty value");
                }
            }
            if (values.size() > 10) {
                return Usage("--sweep takes at most 10 values, for 10 colours");
            }
            options->sweeps.push_back({sweep.name, values});
        } else if (word == "--level") {
            if (!ParseNumber(value, &options->level) || options->level > 0.0 ||
                options->level < -120.0) {
                return Usage("--level takes a level from -120 to 0 dBFS");
            }
            options->hasLevel = true;
        } else if (word == "--range") {
            if (!ParsePair(value, ':', &a, &b) || !(a < b)) {
                return Usage("--range takes LOW:HIGH in dB with LOW below HIGH, e.g. -24:12");
            }
            options->hasRange = true;
            options->rangeLow = a;
            options->rangeHigh = b;
        } else if (word == "--rate") {
            if (!ParseNumber(value, &a) || a != std::floor(a) || a < 44100 || a > 384000) {
                return Usage("--rate takes a whole sample rate from 44100 to 384000 Hz");
            }
            options->rate = int(a);
        } else if (word == "--size") {
            if (!ParsePair(value, 'x', &a, &b) || a < 320 || b < 200 || a > 8192 || b > 8192 ||
                a != std::floor(a) || b != std::floor(b)) {
                return Usage("--size takes WIDTHxHEIGHT from 320x200 to 8192x8192 pixels");
            }
            options->width = int(a);
            options->height = int(b);
            options->hasSize = true;
        } else if (!word.empty() && word[0] != '-' && options->plugin.empty()) {
            options->plugin = word;
        } else {
            return Usage("unexpected '" + word + "'");
        }
    }
    if (options->output.empty()) {
        return Usage("-o FILE.png is required");
    }
    if (!options->hasLevel) {
        options->level = options->kind == Kind::kResponse   ? -60.0
                         : options->kind == Kind::kTransfer ? 0.0
                                                            : -12.0;
    }
    return -1;
}

std::string FileName(const std::string& path) {
    return path.substr(path.find_last_of('/') + 1);
}

std::string Join(const std::vector<std::string>& parts, const char* separator) {
    std::string text;
    for (const std::string& part : parts) {
        text += (text.empty() ? "" : separator) + part;
    }
    return text;
}

std::string Format(const char* format, double value) {
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

std::string ThdText(double thd) {
    if (std::isnan(thd)) {
        return "THD n/a";
    }
    const double percent = 100.0 * thd;
    return percent < 0.0001 ? "THD < 0.0001 %" : "THD " + Format("%.4g %%", percent);
}

// The finite values' range over the series of a panel.
std::pair<double, double> Extent(const ChartPanel& panel) {
    double low = INFINITY;
    double high = -INFINITY;
    for (const auto& series : panel.series) {
        for (const auto& point : series) {
            if (std::isfinite(point.second)) {
                low = std::min(low, point.second);
                high = std::max(high, point.second);
            }
        }
    }
    return {low, high};
}

void FitVertical(ChartPanel* panel, const PlotOptions& options, const std::string& title,
                 double padding, double minimumSpan) {
    std::pair<double, double> range = {options.rangeLow, options.rangeHigh};
    if (!options.hasRange) {
        const auto extent = Extent(*panel);
        range = RoundedRange(extent.first - padding, extent.second + padding, minimumSpan);
    }
    panel->y = LinearAxis(range.first, range.second, title);
}

struct Curve {
    std::string label;
    std::vector<std::pair<double, double>> primary;   // response, level or harmonics
    std::vector<std::pair<double, double>> waveshape; // transfer only
    double thd = 0.0;
};

bool Measure(PluginProbe& probe, const PlotOptions& options, Curve* curve, std::string* error) {
    if (options.kind == Kind::kResponse) {
        std::vector<ResponsePoint> response;
        if (!MeasureFrequencyResponse(probe, options.level, 512, &response, error)) {
            return false;
        }
        for (const ResponsePoint& point : response) {
            curve->primary.push_back({point.hertz, point.decibels});
        }
        return true;
    }
    SineResponse sine;
    if (!MeasureSine(probe, options.level, &sine, error)) {
        return false;
    }
    if (options.kind == Kind::kTransfer) {
        curve->waveshape = sine.waveshape;
        return MeasureLevelTransfer(probe, &curve->primary, error);
    }
    for (std::size_t h = 0; h < sine.harmonicsDb.size(); ++h) {
        curve->primary.push_back({double(h + 1), sine.harmonicsDb[h]});
    }
    curve->thd = sine.thd;
    return true;
}

// The curves of one --sweep, or of the settings alone.
struct CurveGroup {
    std::string name;
    std::vector<Curve> curves;
};

ChartPanel MainPanel(const PlotOptions& options, const CurveGroup& group) {
    ChartPanel main;
    for (const Curve& curve : group.curves) {
        main.series.push_back(curve.primary);
        main.legend.push_back(curve.label);
    }
    if (options.kind == Kind::kResponse) {
        main.x = FrequencyAxis(20.0, std::fmin(20000.0, 0.49 * options.rate), "frequency (Hz)");
        FitVertical(&main, options, "magnitude (dB)", 1.0, 12.0);
        return main;
    }
    if (options.kind == Kind::kTransfer) {
        main.x = LinearAxis(-60.0, 0.0, "input (dBFS)");
        FitVertical(&main, options, "output (dBFS)", 1.0, 12.0);
        main.legendCorner = ChartPanel::Corner::kBottomRight;
        return main;
    }
    main.style = ChartPanel::Style::kBars;
    main.legendCorner = ChartPanel::Corner::kTopRight;
    const int count = int(group.curves.empty() ? 0 : group.curves[0].primary.size());
    main.x.low = 0.4;
    main.x.high = count + 0.6;
    main.x.title = "harmonic of 1 kHz (kHz)";
    for (int h = 1; h <= count; ++h) {
        main.x.ticks.push_back({double(h), std::to_string(h)});
    }
    if (options.hasRange) {
        FitVertical(&main, options, "level (dBFS)", 0.0, 0.0);
    } else {
        // From the loudest harmonic down to the quietest, at most 120 dB below it.
        const auto extent = Extent(main);
        const double top = extent.second + 1.0;
        const auto range = RoundedRange(std::max(extent.first - 1.0, top - 120.0), top, 20.0);
        main.y = LinearAxis(range.first, range.second, "level (dBFS)");
    }
    return main;
}

ChartPanel WaveshapePanel(const PlotOptions& options, const CurveGroup& group) {
    ChartPanel shape;
    double bound = 0.0;
    for (const Curve& curve : group.curves) {
        shape.series.push_back(curve.waveshape);
        for (const auto& point : curve.waveshape) {
            bound = std::max(bound, std::fabs(point.second));
        }
    }
    const double peak = std::pow(10.0, options.level / 20.0);
    shape.x = LinearAxis(-peak, peak, "input");
    const auto range = RoundedRange(-bound, bound, 1e-3);
    const double symmetric = std::max(-range.first, range.second);
    shape.y = LinearAxis(-symmetric, symmetric, "output");
    return shape;
}

Chart BuildChart(const PlotOptions& options, const std::vector<CurveGroup>& groups) {
    Chart chart;
    const bool transfer = options.kind == Kind::kTransfer;
    chart.columns = transfer ? 2 : 1;
    for (const CurveGroup& group : groups) {
        ChartPanel main = MainPanel(options, group);
        const std::string prefix = groups.size() > 1 ? group.name + ": " : "";
        main.title = groups.size() > 1 ? group.name : "";
        if (transfer) {
            main.title = prefix + "level of a 1 kHz sine";
            ChartPanel shape = WaveshapePanel(options, group);
            shape.title =
                prefix + "waveshape, one period at " + Format("%g", options.level) + " dBFS";
            chart.panels.push_back(main);
            chart.panels.push_back(shape);
        } else {
            chart.panels.push_back(main);
        }
    }
    return chart;
}

bool WriteCsv(const std::string& path, const PlotOptions& options,
              const std::vector<CurveGroup>& groups, std::string* error) {
    std::FILE* file = std::fopen(path.c_str(), "w");
    if (!file) {
        *error = "cannot write " + path;
        return false;
    }
    const char* panel = options.kind == Kind::kResponse   ? "response_db"
                        : options.kind == Kind::kTransfer ? "level_dbfs"
                                                          : "harmonic_dbfs";
    std::fprintf(file, "panel,curve,x,y\n");
    std::vector<Curve> curves;
    for (const CurveGroup& group : groups) {
        curves.insert(curves.end(), group.curves.begin(), group.curves.end());
    }
    for (const Curve& curve : curves) {
        std::string label = curve.label;
        std::replace(label.begin(), label.end(), ',', ';');
        for (const auto& point : curve.primary) {
            std::fprintf(file, "%s,%s,%.10g,%.10g\n", panel, label.c_str(),
                         options.kind == Kind::kHarmonics ? 1000.0 * point.first : point.first,
                         point.second);
        }
        for (const auto& point : curve.waveshape) {
            std::fprintf(file, "waveshape,%s,%.10g,%.10g\n", label.c_str(), point.first,
                         point.second);
        }
        if (options.kind == Kind::kHarmonics) {
            std::fprintf(file, "thd_percent,%s,1000,%.10g\n", label.c_str(), 100.0 * curve.thd);
        }
    }
    if (std::fclose(file) != 0) {
        *error = "cannot write " + path;
        return false;
    }
    return true;
}

} // namespace

int RunPlot(const std::vector<std::string>& args) {
    PlotOptions options;
    const int parsed = ParseOptions(args, &options);
    if (parsed >= 0) {
        return parsed;
    }
    const std::string modulePath = options.plugin.empty() ? DefaultModulePath() : options.plugin;
    std::string error;
    const std::unique_ptr<PluginModule> module = PluginModule::Load(modulePath, &error);
    if (!module) {
        return CommandFailure(error);
    }
    PluginProbe probe(*module, options.rate);
    probe.SetPreset(options.preset);

    // One group of curves per --sweep, or one curve for the settings alone.
    std::vector<std::pair<std::string, std::vector<std::string>>> sweeps = options.sweeps;
    if (sweeps.empty()) {
        sweeps.push_back({"", {""}});
    }
    std::vector<CurveGroup> groups;
    std::string effectName;
    std::vector<std::string> shown;
    for (const auto& sweep : sweeps) {
        CurveGroup group;
        group.name = sweep.first;
        for (const std::string& value : sweep.second) {
            std::vector<ParameterSetting> settings = options.settings;
            if (!value.empty()) {
                settings.push_back({sweep.first, value});
            }
            probe.SetSettings(settings);
            Curve curve;
            if (!probe.Describe(&effectName, &shown, &error) ||
                !Measure(probe, options, &curve, &error)) {
                return CommandFailure(error);
            }
            curve.label = value.empty() ? effectName : shown.back();
            if (options.kind == Kind::kHarmonics) {
                curve.label += "   " + ThdText(curve.thd);
            }
            group.curves.push_back(curve);
        }
        groups.push_back(group);
    }

    Chart chart = BuildChart(options, groups);
    const char* what = options.kind == Kind::kResponse   ? "frequency response"
                       : options.kind == Kind::kTransfer ? "transfer curve and waveshape"
                                                         : "harmonics of a 1 kHz sine";
    chart.title = effectName + ": " + what;
    // The fixed settings, as the last instance showed them (the swept one is in the legend).
    if (!options.sweeps.empty()) {
        shown.pop_back();
    }
    std::vector<std::string> subtitle = {FileName(modulePath)};
    if (!options.preset.empty()) {
        subtitle.push_back("preset " + FileName(options.preset));
    }
    if (!shown.empty()) {
        subtitle.push_back(Join(shown, ", "));
    }
    subtitle.push_back(
        options.kind == Kind::kResponse    ? "impulse at " + Format("%g", options.level) + " dBFS"
        : options.kind == Kind::kHarmonics ? "sine at " + Format("%g", options.level) + " dBFS"
                                           : "mono");
    subtitle.push_back(std::to_string(options.rate) + " Hz");
    chart.subtitle = Join(subtitle, "  \xC2\xB7  ");

    const int rows = int(groups.size());
    const int height = options.hasSize || rows == 1 ? options.height : 110 + 330 * rows;
    MemoryBitmap bitmap(options.width, height);
    if (bitmap.GetWidth() != options.width) {
        return CommandFailure("no memory for a picture of " + std::to_string(options.width) + "x" +
                              std::to_string(height));
    }
    std::string warning;
    DrawChart(chart, &bitmap, &warning);
    if (!warning.empty()) {
        std::fprintf(stderr, "kvx-host: warning: %s\n", warning.c_str());
    }
    if (!WritePng(options.output, bitmap.GetBits(), bitmap.GetRowSpan(), bitmap.GetWidth(),
                  bitmap.GetHeight())) {
        return CommandFailure("cannot write " + options.output);
    }
    if (!options.csv.empty() && !WriteCsv(options.csv, options, groups, &error)) {
        return CommandFailure(error);
    }
    std::printf("%s\n", chart.title.c_str());
    for (const CurveGroup& group : groups) {
        for (const Curve& curve : group.curves) {
            std::printf("  %s\n", curve.label.c_str());
        }
    }
    std::printf("wrote %s%s%s\n", options.output.c_str(), options.csv.empty() ? "" : " and ",
                options.csv.c_str());
    return 0;
}
