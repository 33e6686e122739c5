#include "raster/MemoryBitmap.h"
#include "raster/RasterPrimitives.h"

#include "RasterTestUtil.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <set>
#include <utility>

using namespace raster_test;

namespace {

using PixelSet = std::set<std::pair<int, int>>;

// Positions that differ from the background.
PixelSet Drawn(const RasterBitmap& b, RasterPixel background = 0) {
    PixelSet s;
    for (int y = 0; y < b.GetHeight(); ++y) {
        for (int x = 0; x < b.GetWidth(); ++x) {
            if (RasterGetPixel(&b, x, y) != background) {
                s.insert({x, y});
            }
        }
    }
    return s;
}

TEST(RasterPutPixel, ExactMixturesAndFormulas) {
    MemoryBitmap b(3, 1);
    Fill(b, 0xFFFFFFFF);
    RasterPutPixel(&b, 0, 0, 0xFF000000, 0.5f, ModeCopy);
    RasterPutPixel(&b, 1, 0, 0xFF000000, 0.25f, ModeCopy);
    RasterPutPixel(&b, 2, 0, 0xFF000000, 0.75f, ModeCopy);
    EXPECT_EQ(RasterGetPixel(&b, 0, 0), 0xFE7F7F7Fu);
    EXPECT_EQ(RasterGetPixel(&b, 1, 0), 0xFDBEBEBEu);
    EXPECT_EQ(RasterGetPixel(&b, 2, 0), 0xFD3F3F3Fu);
    Fill(b, 0x10101010);
    RasterPutPixel(&b, 0, 0, 0x80202020, 0.5f, ModeAdd); // 16 + 32 x 128 / 256; alpha 16 + 64
    RasterPutPixel(&b, 1, 0, 0x80202020, 0.3f, ModeCopy);
    RasterPutPixel(&b, 3, 0, 0xFFFFFFFF, 1.0f, ModeCopy);
    RasterPutPixel(&b, 0, -1, 0xFFFFFFFF, 1.0f, ModeCopy);
    RasterPutPixel(&b, 2, 0, 0xFFFFFFFF, 1.0f, ModeChannelCopy);
    EXPECT_EQ(RasterGetPixel(&b, 0, 0), 0x50202020u);
    EXPECT_EQ(RasterGetPixel(&b, 1, 0), 0x32151515u);
    EXPECT_EQ(RasterGetPixel(&b, 2, 0), 0x10101010u);
}

TEST(RasterFillRect, ClipsAndUsesTheWeightAsAlphaSource) {
    MemoryBitmap b(4, 3);
    Fill(b, 0);
    RasterFillRect(&b, -2, 1, 4, 5, 0xFF123456, 1.0f, ModeCopy | ModeFilter);
    EXPECT_EQ(Drawn(b), (PixelSet{{0, 1}, {1, 1}, {0, 2}, {1, 2}}));
    EXPECT_EQ(RasterGetPixel(&b, 1, 2), 0xFF123456u);
    // Colour alpha 0 with source alpha makes the weight 0.
    RasterFillRect(&b, 0, 0, 4, 3, 0x00FFFFFF, 1.0f, ModeUseSourceAlpha);
    EXPECT_EQ(RasterGetPixel(&b, 3, 0), 0u);
    // Add at 0.5: colours 64 x 128 / 256; alpha takes the weight (128) as its source.
    RasterFillRect(&b, 2, 0, 2, 1, 0xFF404040, 0.5f, ModeAdd);
    EXPECT_EQ(RasterGetPixel(&b, 2, 0), 0x40202020u);
    // With source alpha the colour's alpha scales the weight: 1.0 x 128 / 255 gives w = 128,
    // the exact average.
    Fill(b, 0xFFFFFFFF);
    RasterFillRect(&b, 0, 0, 4, 3, 0x80000000, 1.0f, ModeUseSourceAlpha);
    EXPECT_EQ(RasterGetPixel(&b, 0, 0), 0xBF7F7F7Fu);
    RasterFillRect(&b, 0, 0, 2147483647, 2147483647, 0xFF000000, 0.25f, ModeCopy);
    RasterFillRect(&b, -2147483647, -2147483647, 10, 10, 0, 1.0f, ModeCopy);
    EXPECT_EQ(RasterGetPixel(&b, 3, 2), 0xCD5E5E5Eu); // a quarter black over the average
}

TEST(RasterMaskFill, ClearsAlphaKeepsColours) {
    MemoryBitmap b(3, 2);
    Fill(b, 0xAB123456);
    RasterMaskFill(&b, 1, 0, 5, 5, 0x00FFFFFF, 0);
    EXPECT_EQ(RasterGetPixel(&b, 0, 0), 0xAB123456u);
    EXPECT_EQ(RasterGetPixel(&b, 1, 0), 0x00123456u);
    EXPECT_EQ(RasterGetPixel(&b, 2, 1), 0x00123456u);
}

TEST(RasterLine, ClipsToEveryEdge) {
    MemoryBitmap b(5, 5);
    Fill(b, 0);
    RasterLine(&b, -10, 5, 10, 5, 0xFFFFFFFF, 1.0f, ModeCopy, false);
    RasterLine(&b, -10, -1, 10, -1, 0xFFFFFFFF, 1.0f, ModeCopy, false);
    RasterLine(&b, 5, -10, 5, 10, 0xFFFFFFFF, 1.0f, ModeCopy, true);
    RasterLine(&b, -1, -10, -1, 10, 0xFFFFFFFF, 1.0f, ModeCopy, true);
    EXPECT_TRUE(Drawn(b).empty());
    RasterLine(&b, -10, 2, 10, 2, 0xFFFFFFFF, 1.0f, ModeCopy, false);
    EXPECT_EQ(Drawn(b), (PixelSet{{0, 2}, {1, 2}, {2, 2}, {3, 2}, {4, 2}}));
    Fill(b, 0);
    RasterLine(&b, 3, 100, 3, -100, 0xFFFFFFFF, 1.0f, ModeCopy, false);
    EXPECT_EQ(Drawn(b), (PixelSet{{3, 0}, {3, 1}, {3, 2}, {3, 3}, {3, 4}}));
    Fill(b, 0);
    RasterLine(&b, -100, -100, 100, 100, 0xFFFFFFFF, 1.0f, ModeCopy, false);
    EXPECT_EQ(Drawn(b), (PixelSet{{0, 0}, {1, 1}, {2, 2}, {3, 3}, {4, 4}}));
    // Extreme coordinates stay inside the bitmap.
    const int big = 2147483647;
    for (bool aa : {false, true}) {
        RasterLine(&b, -big, -big, big, big - 7, 0xFF00FF00, 0.6f, ModeAdd, aa);
        RasterLine(&b, big, -big, -big, 3, 0xFF00FF00, 1.0f, ModeCopy, aa);
        RasterLine(&b, 2, -big, 3, big, 0xFF00FF00, 1.0f, ModeCopy, aa);
    }
}

TEST(RasterLine, SameWhicheverEndAndRoundedExactly) {
    for (auto [x1, y1, x2, y2] : {std::array{0, 0, 10, 3}, std::array{0, 3, 10, 0},
                                  std::array{1, 0, 4, 11}, std::array{7, 1, 0, 4}}) {
        MemoryBitmap a(12, 12), b(12, 12);
        Fill(a, 0);
        Fill(b, 0);
        RasterLine(&a, x1, y1, x2, y2, 0xFFFFFFFF, 1.0f, ModeCopy, false);
        RasterLine(&b, x2, y2, x1, y1, 0xFFFFFFFF, 1.0f, ModeCopy, false);
        const PixelSet drawn = Drawn(a);
        EXPECT_EQ(drawn, Drawn(b));
        const int major = std::max(std::abs(x2 - x1), std::abs(y2 - y1));
        EXPECT_EQ(int(drawn.size()), major + 1);
        // Every pixel lies within half a pixel of the exact line along the minor axis.
        for (auto [x, y] : drawn) {
            const bool xMajor = std::abs(x2 - x1) > std::abs(y2 - y1);
            const double t = xMajor ? double(x - x1) / (x2 - x1) : double(y - y1) / (y2 - y1);
            const double exact = xMajor ? y1 + t * (y2 - y1) : x1 + t * (x2 - x1);
            EXPECT_LE(std::fabs((xMajor ? y : x) - exact), 0.5 + 1e-9) << x << "," << y;
        }
    }
    MemoryBitmap line(11, 4);
    Fill(line, 0);
    RasterLine(&line, 0, 0, 10, 3, 0xFFFFFFFF, 1.0f, ModeCopy, false);
    // x = 5 is the exact tie 1.5; the truncated 16.16 slope rounds it down.
    EXPECT_EQ(Drawn(line), (PixelSet{{0, 0},
                                     {1, 0},
                                     {2, 1},
                                     {3, 1},
                                     {4, 1},
                                     {5, 1},
                                     {6, 2},
                                     {7, 2},
                                     {8, 2},
                                     {9, 3},
                                     {10, 3}}));
}

TEST(RasterLine, AntiAliasedCoverage) {
    MemoryBitmap b(11, 5);
    Fill(b, 0xFF000000);
    RasterLine(&b, 0, 0, 10, 4, 0xFFFFFFFF, 1.0f, ModeCopy, true);
    EXPECT_EQ(RasterGetPixel(&b, 0, 0), 0xFFFFFFFFu); // ends at full weight
    EXPECT_EQ(RasterGetPixel(&b, 10, 4), 0xFFFFFFFFu);
    // Each column's two shares add up to about full coverage.
    for (int x = 1; x < 10; ++x) {
        int sum = 0;
        for (int y = 0; y < 5; ++y) {
            sum += int(RasterGetPixel(&b, x, y) & 0xFF);
        }
        EXPECT_GE(sum, 250) << x;
        EXPECT_LE(sum, 256) << x;
    }
    // Diagonal: three quarters on the line, a quarter on the steps beside it.
    MemoryBitmap d(4, 4);
    Fill(d, 0xFF000000);
    RasterLine(&d, 0, 0, 3, 3, 0xFFFFFFFF, 1.0f, ModeCopy, true);
    EXPECT_EQ(RasterGetPixel(&d, 1, 1), 0xFDBEBEBEu);
    EXPECT_EQ(RasterGetPixel(&d, 1, 0), 0xFD3F3F3Fu);
    EXPECT_EQ(RasterGetPixel(&d, 0, 1), 0xFD3F3F3Fu);
    EXPECT_EQ(RasterGetPixel(&d, 3, 0), 0xFF000000u);
}

TEST(RasterLine, FlippedBitmapDrawsTheSamePicture) {
    MemoryBitmap plain(9, 7);
    FlippedBitmap flipped(9, 7);
    Fill(plain, 0);
    for (int y = 0; y < 7; ++y) {
        for (int x = 0; x < 9; ++x) {
            flipped.At(x, y) = 0;
        }
    }
    for (bool aa : {false, true}) {
        RasterLine(&plain, 1, 0, 8, 5, 0xFF00FF00, 0.8f, ModeAdd, aa);
        RasterLine(&flipped, 1, 0, 8, 5, 0xFF00FF00, 0.8f, ModeAdd, aa);
        RasterCircle(&plain, 4, 3, 2.6f, 0xFF0000FF, 1.0f, ModeCopy, aa);
        RasterCircle(&flipped, 4, 3, 2.6f, 0xFF0000FF, 1.0f, ModeCopy, aa);
        RasterArc(&plain, 4, 3, 3.0f, 0.5f, 2.5f, 0xFFFF0000, 1.0f, ModeCopy, aa);
        RasterArc(&flipped, 4, 3, 3.0f, 0.5f, 2.5f, 0xFFFF0000, 1.0f, ModeCopy, aa);
    }
    EXPECT_EQ(Pixels(flipped), Pixels(plain));
    EXPECT_TRUE(flipped.GapIntact());
}

TEST(RasterCircle, SmallRadiiStampTheirMasks) {
    MemoryBitmap b(12, 12);
    Fill(b, 0xFF000000);
    RasterCircle(&b, 5.7f, 5.2f, 2.0f, 0xFFFFFFFF, 1.0f, ModeCopy, true);
    // The 5 x 5 mask at (int(3.7), int(3.2)) = (3, 3); coverage c blends at weight c.
    EXPECT_EQ(RasterGetPixel(&b, 3, 3) & 0xFF, 15u);
    EXPECT_EQ(RasterGetPixel(&b, 4, 3) & 0xFF, 191u);
    EXPECT_EQ(RasterGetPixel(&b, 5, 3) & 0xFF, 255u);
    EXPECT_EQ(RasterGetPixel(&b, 5, 5), 0xFF000000u);
    EXPECT_EQ(Drawn(b, 0xFF000000).size(), 24u);

    Fill(b, 0);
    RasterCircle(&b, 5.0f, 5.0f, 3.0f, 0xFFFFFFFF, 1.0f, ModeCopy, false);
    EXPECT_EQ(Drawn(b), (PixelSet{{4, 2},
                                  {5, 2},
                                  {6, 2},
                                  {3, 3},
                                  {7, 3},
                                  {2, 4},
                                  {8, 4},
                                  {2, 5},
                                  {8, 5},
                                  {2, 6},
                                  {8, 6},
                                  {3, 7},
                                  {7, 7},
                                  {4, 8},
                                  {5, 8},
                                  {6, 8}}));
    // Plain radius 2.0 has no mask and draws the general outline.
    Fill(b, 0);
    RasterCircle(&b, 5.0f, 5.0f, 2.0f, 0xFFFFFFFF, 1.0f, ModeCopy, false);
    for (auto [x, y] : Drawn(b)) {
        const double r = std::hypot(x - 5.0, y - 5.0);
        EXPECT_GE(r, 1.0);
        EXPECT_LE(r, 3.0);
    }
    EXPECT_TRUE(Drawn(b).count({7, 5}) && Drawn(b).count({5, 3}));
}

TEST(RasterCircle, GeneralOutlinesLieOnTheRing) {
    for (float r : {2.2f, 5.0f, 7.5f, 12.3f}) {
        for (bool aa : {false, true}) {
            MemoryBitmap b(40, 40);
            Fill(b, 0);
            RasterCircle(&b, 20.0f, 20.0f, r, 0xFFFFFFFF, 1.0f, ModeCopy, aa);
            const PixelSet drawn = Drawn(b);
            EXPECT_GE(drawn.size(), size_t(4 * r)) << r;
            for (auto [x, y] : drawn) {
                const double d = std::hypot(x - 20.0, y - 20.0);
                EXPECT_LE(std::fabs(d - r), 1.5) << r << " at " << x << "," << y;
                // Coordinates are truncated, so only whole radii are mirror-symmetric.
                if (r == 5.0f) {
                    EXPECT_TRUE(drawn.count({40 - x, y}) && drawn.count({x, 40 - y}));
                }
            }
        }
    }
}

TEST(RasterCircle, ClippedAndHostileCircles) {
    MemoryBitmap b(10, 10);
    Fill(b, 0);
    RasterCircle(&b, 0.0f, 0.0f, 6.0f, 0xFFFFFFFF, 1.0f, ModeAdd, true);
    RasterCircle(&b, 9.0f, 9.0f, 3.0f, 0xFFFFFFFF, 1.0f, ModeCopy, false);
    EXPECT_FALSE(Drawn(b).empty());
    const float nan = std::numeric_limits<float>::quiet_NaN();
    Fill(b, 0);
    RasterCircle(&b, nan, 5, 3.3f, 0xFFFFFFFF, 1.0f, ModeCopy, false);
    RasterCircle(&b, 5, 5, 1e30f, 0xFFFFFFFF, 1.0f, ModeCopy, true);
    RasterCircle(&b, 5, 5, -3.3f, 0xFFFFFFFF, 1.0f, ModeCopy, true);
    RasterCircle(&b, -3e9f, 5, 3.3f, 0xFFFFFFFF, 1.0f, ModeCopy, true);
    RasterArc(&b, 5, 5, 3.3f, nan, 1.0f, 0xFFFFFFFF, 1.0f, ModeCopy, true);
    RasterCircle(&b, 5, 5, 3.3f, 0xFFFFFFFF, 0.0f, ModeCopy, true);
    EXPECT_TRUE(Drawn(b).empty());
}

TEST(RasterArc, FullTurnIsTheCircleAndHalvesSplitIt) {
    for (bool aa : {false, true}) {
        for (float r : {3.0f, 6.4f, 9.0f}) {
            MemoryBitmap circle(30, 30), arc(30, 30), right(30, 30), left(30, 30);
            for (RasterBitmap* b : {(RasterBitmap*)&circle, (RasterBitmap*)&arc,
                                    (RasterBitmap*)&right, (RasterBitmap*)&left}) {
                Fill(*b, 0);
            }
            RasterCircle(&circle, 15, 15, r, 0xFFFFFFFF, 1.0f, ModeCopy, aa);
            RasterArc(&arc, 15, 15, r, 0.0f, 6.2831855f, 0xFFFFFFFF, 1.0f, ModeCopy, aa);
            RasterArc(&right, 15, 15, r, 0.0f, 3.1415927f, 0xFFFFFFFF, 1.0f, ModeCopy, aa);
            RasterArc(&left, 15, 15, r, 3.1415927f, 6.2831855f, 0xFFFFFFFF, 1.0f, ModeCopy, aa);
            if (r != 3.0f) {
                EXPECT_EQ(Pixels(arc), Pixels(circle)) << r;
            } else if (aa) {
                EXPECT_NE(Pixels(arc), Pixels(circle)); // arcs never use the masks
            }
            PixelSet halves = Drawn(right);
            for (auto [x, y] : Drawn(right)) {
                EXPECT_GE(x, 15) << r;
            }
            for (auto [x, y] : Drawn(left)) {
                EXPECT_LE(x, 15) << r;
                halves.insert({x, y});
            }
            EXPECT_EQ(halves, Drawn(arc)) << r << " aa " << aa;
        }
    }
}

TEST(RasterArc, QuarterStaysInItsQuarterAndLongArcsSplit) {
    MemoryBitmap b(30, 30);
    Fill(b, 0);
    RasterArc(&b, 15, 15, 10.0f, 0.0f, 1.5707964f, 0xFFFFFFFF, 1.0f, ModeCopy, false);
    const PixelSet quarter = Drawn(b);
    EXPECT_FALSE(quarter.empty());
    for (auto [x, y] : quarter) {
        EXPECT_GE(x, 15);
        EXPECT_LE(y, 15);
    }
    // Three quarters from -pi/2: split at 0 and pi; everything but the lower left quarter.
    Fill(b, 0);
    RasterArc(&b, 15, 15, 10.0f, -1.5707964f, 3.1415927f, 0xFFFFFFFF, 1.0f, ModeCopy, false);
    for (auto [x, y] : Drawn(b)) {
        EXPECT_FALSE(x < 15 && y > 15) << x << "," << y;
    }
    EXPECT_TRUE(Drawn(b).count({5, 15}) && Drawn(b).count({15, 25}) && Drawn(b).count({25, 15}));
}

} // namespace
