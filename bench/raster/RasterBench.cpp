// Pixels per second of the blits the editor uses, next to pixman's nearest equivalents, with
// the ratios printed at the end.
//
//   cmake --preset x64-bench && cmake --build --preset x64-bench --target kvx_raster_bench
//   build/x64-bench/bench/raster/kvx_raster_bench

#include "raster/MemoryBitmap.h"
#include "raster/RasterBlit.h"
#include "raster/RasterSourceAlphaCopy.h"

#include <benchmark/benchmark.h>
#include <pixman.h>

#include <cmath>
#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

struct Size {
    const char* name;
    int srcW, srcH; // the drawn image
    int dstW, dstH; // the surface
};

// An 80 x 80 knob frame onto the 465 x 336 editor, and a full-HD image onto a full-HD surface.
const Size kSizes[] = {{"80x80", 80, 80, 465, 336}, {"1920x1080", 1920, 1080, 1920, 1080}};

// A knob-like picture: opaque disc, soft edge, transparent corners, varied colours.
void FillKnob(RasterBitmap& b) {
    const int w = b.GetWidth(), h = b.GetHeight();
    const float cx = w / 2.0f, cy = h / 2.0f, r = (w < h ? w : h) * 0.45f;
    uint32_t seed = 12345;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            seed = seed * 1664525u + 1013904223u;
            const float d = std::hypot(x + 0.5f - cx, y + 0.5f - cy);
            float a = (r - d) * 64.0f;
            a = a < 0 ? 0 : (a > 255 ? 255 : a);
            b.GetBits()[size_t(y) * w + x] = (uint32_t(a) << 24) | (seed >> 8 & 0xFFFFFF);
        }
    }
}

void FillOpaque(RasterBitmap& b, uint32_t seed) {
    for (int i = 0; i < b.GetWidth() * b.GetHeight(); ++i) {
        seed = seed * 1664525u + 1013904223u;
        b.GetBits()[i] = 0xFF000000u | (seed >> 8);
    }
}

struct Scene {
    MemoryBitmap src, dst;
    explicit Scene(const Size& s) : src(s.srcW, s.srcH), dst(s.dstW, s.dstH) {
        FillKnob(src);
        FillOpaque(dst, 99);
    }
};

void SetRate(benchmark::State& state, double pixels) {
    state.counters["pixels/s"] =
        benchmark::Counter(pixels, benchmark::Counter::kIsIterationInvariantRate);
}

void Blit(benchmark::State& state, const Size& s, float alpha, RasterMode mode) {
    Scene scene(s);
    for (auto _ : state) {
        RasterBlit(&scene.dst, &scene.src, 7, 5, nullptr, alpha, mode);
        benchmark::DoNotOptimize(scene.dst.GetBits());
    }
    SetRate(state, double(s.srcW) * s.srcH);
}

void SourceAlphaRow(benchmark::State& state, const Size& s, RasterSourceAlphaCopyRowFn row) {
    if (!row) {
        state.SkipWithError("not available on this processor");
        return;
    }
    Scene scene(s);
    for (auto _ : state) {
        for (int y = 0; y < s.srcH; ++y) {
            row(scene.dst.GetBits() + size_t(y + 5) * s.dstW + 7,
                scene.src.GetBits() + size_t(y) * s.srcW, s.srcW);
        }
        benchmark::DoNotOptimize(scene.dst.GetBits());
    }
    SetRate(state, double(s.srcW) * s.srcH);
}

// Destination size of a scale by factor of the whole source.
void Scaled(benchmark::State& state, const Size& s, float factor, bool fromHalf) {
    // 2x up draws a half-size source onto the full size, so every case writes comparable areas.
    const int srcW = fromHalf ? s.srcW / 2 : s.srcW, srcH = fromHalf ? s.srcH / 2 : s.srcH;
    MemoryBitmap src(srcW, srcH);
    FillKnob(src);
    const int dw = int(srcW * factor), dh = int(srcH * factor);
    MemoryBitmap dst(dw, dh);
    FillOpaque(dst, 5);
    for (auto _ : state) {
        RasterScaledBlit(&dst, &src, 0, 0, dw, dh, 0, 0, float(srcW), float(srcH), 1.0f,
                         ModeFilter);
        benchmark::DoNotOptimize(dst.GetBits());
    }
    SetRate(state, double(dw) * dh);
}

void Rotated(benchmark::State& state, const Size& s) {
    Scene scene(s);
    for (auto _ : state) {
        RasterRotatedBlit(&scene.dst, &scene.src, 7, 5, s.srcW, s.srcH, 0, 0, float(s.srcW),
                          float(s.srcH), 0.7f, false, 1.0f,
                          ModeUseSourceAlpha | ModeCopy | ModeFilter, 0, 0);
        benchmark::DoNotOptimize(scene.dst.GetBits());
    }
    SetRate(state, double(s.srcW) * s.srcH);
}

// pixman works on premultiplied a8r8g8b8.
struct PixmanScene {
    std::vector<uint32_t> src, dst;
    pixman_image_t* srcImage;
    pixman_image_t* dstImage;
    explicit PixmanScene(const Size& s)
        : src(size_t(s.srcW) * s.srcH), dst(size_t(s.dstW) * s.dstH) {
        MemoryBitmap knob(s.srcW, s.srcH), back(s.dstW, s.dstH);
        FillKnob(knob);
        FillOpaque(back, 99);
        for (size_t i = 0; i < src.size(); ++i) {
            const uint32_t p = knob.GetBits()[i], a = p >> 24;
            const auto pre = [a](uint32_t c) { return (c * a + 127) / 255; };
            src[i] =
                (a << 24) | (pre(p >> 16 & 0xFF) << 16) | (pre(p >> 8 & 0xFF) << 8) | pre(p & 0xFF);
        }
        std::copy(back.GetBits(), back.GetBits() + dst.size(), dst.begin());
        srcImage =
            pixman_image_create_bits(PIXMAN_a8r8g8b8, s.srcW, s.srcH, src.data(), s.srcW * 4);
        dstImage =
            pixman_image_create_bits(PIXMAN_a8r8g8b8, s.dstW, s.dstH, dst.data(), s.dstW * 4);
    }
    ~PixmanScene() {
        pixman_image_unref(srcImage);
        pixman_image_unref(dstImage);
    }
};

void PixmanComposite(benchmark::State& state, const Size& s, pixman_op_t op) {
    PixmanScene scene(s);
    for (auto _ : state) {
        pixman_image_composite32(op, scene.srcImage, nullptr, scene.dstImage, 0, 0, 0, 0, 7, 5,
                                 s.srcW, s.srcH);
        benchmark::DoNotOptimize(scene.dst.data());
    }
    SetRate(state, double(s.srcW) * s.srcH);
}

void PixmanScaled(benchmark::State& state, const Size& s, float factor, bool fromHalf) {
    const int srcW = fromHalf ? s.srcW / 2 : s.srcW, srcH = fromHalf ? s.srcH / 2 : s.srcH;
    const int dw = int(srcW * factor), dh = int(srcH * factor);
    std::vector<uint32_t> src(size_t(srcW) * srcH, 0xFF336699u), dst(size_t(dw) * dh);
    pixman_image_t* srcImage =
        pixman_image_create_bits(PIXMAN_a8r8g8b8, srcW, srcH, src.data(), srcW * 4);
    pixman_image_t* dstImage =
        pixman_image_create_bits(PIXMAN_a8r8g8b8, dw, dh, dst.data(), dw * 4);
    pixman_transform_t t;
    pixman_transform_init_scale(&t, pixman_double_to_fixed(1.0 / factor),
                                pixman_double_to_fixed(1.0 / factor));
    pixman_image_set_transform(srcImage, &t);
    pixman_image_set_filter(srcImage, PIXMAN_FILTER_BILINEAR, nullptr, 0);
    for (auto _ : state) {
        pixman_image_composite32(PIXMAN_OP_SRC, srcImage, nullptr, dstImage, 0, 0, 0, 0, 0, 0, dw,
                                 dh);
        benchmark::DoNotOptimize(dst.data());
    }
    pixman_image_unref(srcImage);
    pixman_image_unref(dstImage);
    SetRate(state, double(dw) * dh);
}

void RegisterAll() {
    for (const Size& s : kSizes) {
        const std::string n = std::string("/") + s.name;
        benchmark::RegisterBenchmark(("SourceAlphaCopy_1.0" + n).c_str(), Blit, s, 1.0f,
                                     ModeUseSourceAlpha);
        benchmark::RegisterBenchmark(("SourceAlphaCopyRow_Scalar" + n).c_str(), SourceAlphaRow, s,
                                     RasterSourceAlphaCopyRowScalar);
        benchmark::RegisterBenchmark(("SourceAlphaCopyRow_SSE2" + n).c_str(), SourceAlphaRow, s,
                                     RasterSourceAlphaCopyRowSse2());
        benchmark::RegisterBenchmark(("SourceAlphaCopyRow_AVX2" + n).c_str(), SourceAlphaRow, s,
                                     RasterSourceAlphaCopyRowAvx2());
        benchmark::RegisterBenchmark(("SourceAlphaCopy_0.7" + n).c_str(), Blit, s, 0.7f,
                                     ModeUseSourceAlpha);
        benchmark::RegisterBenchmark(("Copy_1.0" + n).c_str(), Blit, s, 1.0f, ModeCopy);
        benchmark::RegisterBenchmark(("Copy_0.5" + n).c_str(), Blit, s, 0.5f, ModeCopy);
        benchmark::RegisterBenchmark(("AddSourceAlpha_1.0" + n).c_str(), Blit, s, 1.0f,
                                     ModeUseSourceAlpha | ModeAdd);
        benchmark::RegisterBenchmark(("ScaledBilinear_2x" + n).c_str(), Scaled, s, 2.0f, true);
        benchmark::RegisterBenchmark(("ScaledBilinear_0.75x" + n).c_str(), Scaled, s, 0.75f, false);
        benchmark::RegisterBenchmark(("ScaledBoxShrink_0.25x" + n).c_str(), Scaled, s, 0.25f,
                                     false);
        benchmark::RegisterBenchmark(("RotatedBilinear" + n).c_str(), Rotated, s);
        benchmark::RegisterBenchmark(("Pixman_OVER" + n).c_str(), PixmanComposite, s,
                                     PIXMAN_OP_OVER);
        benchmark::RegisterBenchmark(("Pixman_SRC" + n).c_str(), PixmanComposite, s, PIXMAN_OP_SRC);
        benchmark::RegisterBenchmark(("Pixman_ADD" + n).c_str(), PixmanComposite, s, PIXMAN_OP_ADD);
        benchmark::RegisterBenchmark(("Pixman_Bilinear_2x" + n).c_str(), PixmanScaled, s, 2.0f,
                                     true);
        benchmark::RegisterBenchmark(("Pixman_Bilinear_0.75x" + n).c_str(), PixmanScaled, s, 0.75f,
                                     false);
    }
}

// Collects each benchmark's rate so that the ratios can be printed after the usual table.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            const auto it = run.counters.find("pixels/s");
            if (it != run.counters.end() && !run.error_occurred) {
                rates[run.benchmark_name()] = it->second.value;
            }
        }
    }
    std::map<std::string, double> rates;
};

void PrintRatios(const std::map<std::string, double>& rates) {
    const char* pairs[][2] = {
        {"SourceAlphaCopy_1.0", "Pixman_OVER"},
        {"SourceAlphaCopyRow_Scalar", "Pixman_OVER"},
        {"SourceAlphaCopyRow_SSE2", "Pixman_OVER"},
        {"SourceAlphaCopyRow_AVX2", "Pixman_OVER"},
        {"SourceAlphaCopy_0.7", "Pixman_OVER"},
        {"Copy_1.0", "Pixman_SRC"},
        {"AddSourceAlpha_1.0", "Pixman_ADD"},
        {"ScaledBilinear_2x", "Pixman_Bilinear_2x"},
        {"ScaledBilinear_0.75x", "Pixman_Bilinear_0.75x"},
    };
    std::printf("\n%-36s %-30s %6s\n", "raster", "pixman", "ratio");
    for (const Size& s : kSizes) {
        for (const auto& pair : pairs) {
            const std::string ours = std::string(pair[0]) + "/" + s.name;
            const std::string theirs = std::string(pair[1]) + "/" + s.name;
            const auto a = rates.find(ours), b = rates.find(theirs);
            if (a != rates.end() && b != rates.end() && b->second > 0) {
                std::printf("%-36s %-30s %6.2f\n", ours.c_str(), theirs.c_str(),
                            a->second / b->second);
            }
        }
    }
}

} // namespace

int main(int argc, char** argv) {
    RegisterAll();
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    PrintRatios(reporter.rates);
    benchmark::Shutdown();
    return 0;
}
