#include "raster/MemoryBitmap.h"
#include "raster/RasterBlit.h"

#include "RasterTestUtil.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace raster_test;

namespace {

TEST(RasterRotatedBlit, AngleZeroReproducesTheSource) {
    Random rng(21);
    MemoryBitmap src(11, 9);
    Fill(src, rng);
    for (RasterMode mode : {RasterMode(ModeCopy), RasterMode(ModeCopy | ModeFilter)}) {
        MemoryBitmap dest(11, 9);
        Fill(dest, 0);
        RasterRotatedBlit(&dest, &src, 0, 0, 11, 9, 0, 0, 11, 9, 0.0f, false, 1.0f, mode, 0, 0);
        EXPECT_EQ(Pixels(dest), Pixels(src));
    }
}

// At angle 0 the rotated blit walks the source exactly as the scaled blit does, so two
// independent walks must agree for every operation.
TEST(RasterRotatedBlit, AngleZeroAgreesWithTheScaledBlit) {
    Random rng(22);
    MemoryBitmap src(7, 5);
    Fill(src, rng);
    for (RasterMode op :
         {ModeCopy, ModeAdd, ModeDodge, ModeMultiply, ModeSoftLight, ModeHsvAdjust}) {
        for (RasterMode flags : {0u, unsigned(ModeFilter), unsigned(ModeUseSourceAlpha),
                                 unsigned(ModeFilter | ModeUseSourceAlpha)}) {
            for (float alpha : {1.0f, 0.6f}) {
                MemoryBitmap a(14, 10), b(14, 10);
                Fill(a, rng);
                RasterCopy(&b, &a);
                RasterScaledBlit(&a, &src, 0, 0, 14, 10, 0, 0, 7, 5, alpha, op | flags);
                RasterRotatedBlit(&b, &src, 0, 0, 14, 10, 0, 0, 7, 5, 0.0f, false, alpha,
                                  op | flags, 0, 0);
                EXPECT_EQ(Pixels(b), Pixels(a)) << "mode " << (op | flags) << " alpha " << alpha;
            }
        }
    }
}

TEST(RasterRotatedBlit, OffsetsMoveAndClipFlagLimitsTheSource) {
    MemoryBitmap src(6, 1);
    for (int x = 0; x < 6; ++x) {
        Set(src, x, 0, 0xFF000000u | uint32_t(x + 1));
    }
    MemoryBitmap dest(4, 1);
    Fill(dest, 0);
    // Source rectangle x 1..5 of width 4; offset 1 moves the sampled centre one pixel right.
    RasterRotatedBlit(&dest, &src, 0, 0, 4, 1, 1, 0, 4, 1, 0.0f, false, 1.0f, ModeCopy, 1, 0);
    for (int x = 0; x < 4; ++x) {
        EXPECT_EQ(RasterGetPixel(&dest, x, 0), 0xFF000000u | uint32_t(x + 3)) << x;
    }
    Fill(dest, 0);
    RasterRotatedBlit(&dest, &src, 0, 0, 4, 1, 1, 0, 4, 1, 0.0f, true, 1.0f, ModeCopy, 1, 0);
    EXPECT_EQ(RasterGetPixel(&dest, 2, 0), 0xFF000005u);
    EXPECT_EQ(RasterGetPixel(&dest, 3, 0), 0u); // column 5 is outside the source rectangle
}

TEST(RasterRotatedBlit, HalfTurnStaysInsideAndTurns) {
    MemoryBitmap src(9, 9);
    Fill(src, 0xFF000000);
    Set(src, 1, 1, 0xFFFFFFFF);
    FlippedBitmap dest(9, 9);
    for (int y = 0; y < 9; ++y) {
        for (int x = 0; x < 9; ++x) {
            dest.At(x, y) = 0;
        }
    }
    RasterRotatedBlit(&dest, &src, 0, 0, 9, 9, 0, 0, 9, 9, float(M_PI), true, 1.0f,
                      ModeCopy | ModeFilter, 0, 0);
    // Destination (i, j) samples about (9 - i, 9 - j): the bright pixel lands at (8, 8).
    int brightX = -1, brightY = -1;
    uint32_t brightest = 0;
    for (int y = 0; y < 9; ++y) {
        for (int x = 0; x < 9; ++x) {
            if ((RasterGetPixel(&dest, x, y) & 0xFF) > brightest) {
                brightest = RasterGetPixel(&dest, x, y) & 0xFF;
                brightX = x, brightY = y;
            }
        }
    }
    EXPECT_GT(brightest, 250u);
    EXPECT_EQ(brightX, 8);
    EXPECT_EQ(brightY, 8);
    EXPECT_TRUE(dest.GapIntact());
}

TEST(RasterRotatedBlit, HostileValuesDrawNothingOrStayInside) {
    MemoryBitmap src(8, 8), dest(8, 8);
    Fill(src, 0xFFFFFFFF);
    Fill(dest, 0);
    const float nan = std::numeric_limits<float>::quiet_NaN();
    RasterRotatedBlit(&dest, &src, 0, 0, 8, 8, 0, 0, 8, 8, nan, false, 1.0f, ModeCopy, 0, 0);
    RasterRotatedBlit(&dest, &src, 0, 0, 8, 8, 0, 0, 8, 8, 1.0f, false, 0.0f, ModeCopy, 0, 0);
    RasterRotatedBlit(&dest, &src, 0, 0, 8, 8, 1e9f, 0, 8, 8, 1.0f, false, 1.0f, ModeCopy, 0, 0);
    RasterRotatedBlit(&dest, &src, 0, 0, 8, 8, 0, 0, 8, 8, 0.0f, false, 1.0f, ModeChannelCopy + 1,
                      0, 0);
    EXPECT_EQ(Pixels(dest), std::vector<RasterPixel>(64, 0u));
    for (float angle : {0.3f, 1.7f, 3.0f, -2.2f}) {
        RasterRotatedBlit(&dest, &src, -2147483000, 3, 2147483000, -7, -100, 50, 1e4f, -300, angle,
                          false, 0.9f, ModeAdd | ModeFilter, 1e3f, -1e3f);
        RasterRotatedBlit(&dest, &src, 3, 3, 40, 40, 0, 0, 8, 8, angle, true, 1.0f,
                          ModeUseSourceAlpha | ModeFilter, 0.25f, 0);
    }
}

} // namespace
