#include "raster/MemoryBitmap.h"
#include "raster/RasterBlend.h"
#include "raster/RasterBlit.h"

#include "RasterTestUtil.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <limits>

using namespace raster_test;

namespace {

// Opaque pixels with the given blue values, row by row.
void SetBlues(MemoryBitmap& b, std::initializer_list<int> values) {
    int i = 0;
    for (int v : values) {
        Set(b, i % b.GetWidth(), i / b.GetWidth(), 0xFF000000u | uint32_t(v));
        ++i;
    }
}

int BlueAt(const RasterBitmap& b, int x, int y) {
    return int(RasterGetPixel(&b, x, y) & 0xFF);
}

TEST(RasterScaledBlit, EqualSizesBecomeAPlainBlit) {
    Random rng(5);
    MemoryBitmap src(20, 20), a(8, 8), b(8, 8);
    Fill(src, rng);
    Fill(a, 0);
    Fill(b, 0);
    RasterScaledBlit(&a, &src, 0, 0, 8, 8, 3.01f, 4.0f, 8.0f, 8.0f, 0.7f, ModeAdd);
    RasterBlitRect(&b, &src, 0, 0, 3, 4, 8, 8, 0.7f, ModeAdd);
    EXPECT_EQ(Pixels(a), Pixels(b));
    // Filtered with a half-pixel offset it interpolates instead.
    MemoryBitmap ramp(3, 1);
    SetBlues(ramp, {0, 100, 200});
    MemoryBitmap out(2, 1);
    Fill(out, 0);
    RasterScaledBlit(&out, &ramp, 0, 0, 2, 1, 0.5f, 0.0f, 2.0f, 1.0f, 1.0f, ModeFilter);
    EXPECT_EQ(BlueAt(out, 0, 0), 50);
    EXPECT_EQ(BlueAt(out, 1, 0), 150);
}

TEST(RasterScaledBlit, NearestFastPathsMatchTheFormula) {
    Random rng(9);
    MemoryBitmap src(13, 7);
    Fill(src, rng);
    for (float alpha : {1.0f, 0.5f, 0.7f}) {
        MemoryBitmap dest(26, 14);
        Fill(dest, rng);
        std::vector<RasterPixel> expected = Pixels(dest);
        const int w = raster_blend::WeightFromAlpha(alpha);
        for (int y = 0; y < 14; ++y) {
            for (int x = 0; x < 26; ++x) {
                RasterPixel& d = expected[size_t(y) * 26 + x];
                const RasterPixel s = RasterGetPixel(&src, x / 2, y / 2);
                d = alpha == 0.5f ? raster_blend::Average(d, s)
                                  : raster_blend::Copy(d, s, int(s >> 24), w);
            }
        }
        RasterScaledBlit(&dest, &src, 0, 0, 26, 14, 0, 0, 13, 7, alpha, ModeCopy);
        EXPECT_EQ(Pixels(dest), expected) << alpha;
    }
}

TEST(RasterScaledBlit, BilinearWithLastRowAndColumnRules) {
    MemoryBitmap src(2, 2);
    SetBlues(src, {0, 100, 100, 200});
    MemoryBitmap dest(4, 4);
    Fill(dest, 0);
    RasterScaledBlit(&dest, &src, 0, 0, 4, 4, 0, 0, 2, 2, 1.0f, ModeFilter);
    const int expected[4][4] = {
        {0, 50, 100, 100}, {50, 100, 150, 150}, {100, 150, 200, 200}, {100, 150, 200, 200}};
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 4; ++x) {
            EXPECT_EQ(BlueAt(dest, x, y), expected[y][x]) << x << "," << y;
            EXPECT_EQ(RasterGetPixel(&dest, x, y) >> 24, 255u);
        }
    }
}

TEST(RasterScaledBlit, BoxFilterAveragesSquares) {
    MemoryBitmap src(80, 80);
    for (int y = 0; y < 80; ++y) {
        for (int x = 0; x < 80; ++x) {
            Set(src, x, y, 0xFF000000u | uint32_t((x * 3 + y * 5) % 256));
        }
    }
    const auto boxAverage = [&](int cx, int cy, int r) {
        int sum = 0, taps = 0;
        for (int y = cy - r; y <= cy + r; ++y) {
            for (int x = cx - r; x <= cx + r; ++x) {
                if (x >= 0 && y >= 0 && x < 80 && y < 80) {
                    sum += BlueAt(src, x, y);
                    ++taps;
                }
            }
        }
        return sum / taps;
    };
    MemoryBitmap quarter(20, 20), half(40, 40);
    RasterScaledBlit(&quarter, &src, 0, 0, 20, 20, 0, 0, 80, 80, 1.0f, ModeFilter);
    RasterScaledBlit(&half, &src, 0, 0, 40, 40, 0, 0, 80, 80, 1.0f, ModeFilter);
    for (int y = 0; y < 20; ++y) {
        for (int x = 0; x < 20; ++x) {
            ASSERT_EQ(BlueAt(quarter, x, y), boxAverage(4 * x, 4 * y, 2)) << x << "," << y;
        }
    }
    for (int y = 0; y < 40; ++y) {
        for (int x = 0; x < 40; ++x) {
            ASSERT_EQ(BlueAt(half, x, y), boxAverage(2 * x, 2 * y, 1)) << x << "," << y;
        }
    }
}

TEST(RasterScaledBlit, ClipsAndMirrorsWithinBothBitmaps) {
    MemoryBitmap src(4, 1);
    SetBlues(src, {10, 20, 30, 40});
    MemoryBitmap dest(8, 1);
    Fill(dest, 0);
    // Mirrored: destination column k samples source column 4 - k; column 0 falls outside.
    RasterScaledBlit(&dest, &src, 8, 0, -4, 1, 0, 0, 4, 1, 1.0f, ModeFilter | 0x200);
    EXPECT_EQ(RasterGetPixel(&dest, 4, 0), 0u);
    EXPECT_EQ(BlueAt(dest, 5, 0), 40);
    EXPECT_EQ(BlueAt(dest, 6, 0), 30);
    EXPECT_EQ(BlueAt(dest, 7, 0), 20);
    // Off the left edge the walk starts later in the source.
    Fill(dest, 0);
    RasterScaledBlit(&dest, &src, -2, 0, 8, 1, 0, 0, 4, 1, 1.0f, ModeCopy);
    EXPECT_EQ(BlueAt(dest, 0, 0), 20);
    EXPECT_EQ(BlueAt(dest, 5, 0), 40);
    EXPECT_EQ(RasterGetPixel(&dest, 6, 0), 0u);
    // Hostile rectangles and values draw nothing or stay inside.
    const float inf = std::numeric_limits<float>::infinity();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    Fill(dest, 0);
    RasterScaledBlit(&dest, &src, 0, 0, 8, 1, nan, 0, 4, 1, 1.0f, ModeCopy);
    RasterScaledBlit(&dest, &src, 0, 0, 8, 1, 0, 0, inf, 1, 1.0f, ModeFilter);
    RasterScaledBlit(&dest, &src, 0, 0, 8, 1, 1e9f, 0, 4, 1, 1.0f, ModeCopy);
    RasterScaledBlit(&dest, &src, 0, 0, 8, 1, -1e9f, 0, 1e9f, 1, 1.0f, ModeFilter);
    RasterScaledBlit(&dest, &src, 2147483000, 0, 8, 1, 0, 0, 4, 1, 1.0f, ModeCopy);
    RasterScaledBlit(&dest, &src, 0, 0, 8, 1, 0, 0, 4, 1, 0.0f, ModeCopy);
    EXPECT_EQ(Pixels(dest), std::vector<RasterPixel>(8, 0u));
    RasterScaledBlit(&dest, &src, -2147483000, -5, 2147483000, 1000, -3, -3, 1000, 1000, 1.0f,
                     ModeFilter);
}

} // namespace

namespace {

// A walk running backwards (source and destination sizes of opposite signs) samples at the
// 16.16 position divided by 65536 and truncated toward zero; only a position below zero is
// outside the source. So values just below zero still sample column 0.
TEST(RasterScaledBlit, BackwardWalksTruncateTowardZero) {
    MemoryBitmap src(4, 1);
    SetBlues(src, {10, 20, 30, 40});
    MemoryBitmap dest(10, 1);
    Fill(dest, 0);
    // Source x 2, width -4: step -0.4, limit column 2; positions 2, 1.6, 1.2, 0.8, 0.4, 0.00003,
    // -0.39997, -0.79997, -1.19997, -1.59997.
    RasterScaledBlit(&dest, &src, 0, 0, 10, 1, 2, 0, -4, 1, 1.0f, ModeCopy);
    const std::vector<int> expected = {0, 20, 20, 10, 10, 10, 10, 10, 0, 0};
    for (int x = 0; x < 10; ++x) {
        EXPECT_EQ(BlueAt(dest, x, 0), expected[size_t(x)]) << x;
    }
    // The same rule for rows, and through the per-pixel formulas (weight below 1).
    MemoryBitmap column(1, 4), tall(1, 10);
    SetBlues(column, {10, 20, 30, 40});
    Fill(tall, 0);
    RasterScaledBlit(&tall, &column, 0, 0, 1, 10, 0, 2, 1, -4, 0.999f, ModeCopy);
    int drawn = 0;
    for (int y = 0; y < 10; ++y) {
        drawn += RasterGetPixel(&tall, 0, y) != 0u ? 1 : 0;
    }
    EXPECT_EQ(drawn, 7);
    EXPECT_NE(RasterGetPixel(&tall, 0, 7), 0u);
    EXPECT_EQ(RasterGetPixel(&tall, 0, 8), 0u);
}

} // namespace
