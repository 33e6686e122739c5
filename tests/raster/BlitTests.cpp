#include "raster/MemoryBitmap.h"
#include "raster/RasterBlend.h"
#include "raster/RasterBlit.h"

#include "RasterTestUtil.h"

#include <gtest/gtest.h>

#include <array>
#include <limits>

using namespace raster_test;

namespace {

// Every pixel of dest after blending all of src at (0, 0) pixel by pixel with the formula.
std::vector<RasterPixel> ExpectedWholeBlit(const RasterBitmap& dest, const RasterBitmap& src,
                                           float alpha, RasterMode mode) {
    std::vector<RasterPixel> out = Pixels(dest);
    const int w = raster_blend::WeightFromAlpha(alpha);
    const raster_blend::PixelOp op = raster_blend::OperationFor(mode);
    for (int y = 0; y < src.GetHeight() && y < dest.GetHeight(); ++y) {
        for (int x = 0; x < src.GetWidth() && x < dest.GetWidth(); ++x) {
            RasterPixel& d = out[size_t(y) * dest.GetWidth() + x];
            const RasterPixel s = RasterGetPixel(&src, x, y);
            if ((mode & kRasterOperationMask) == 0 && alpha == 0.5f) {
                d = raster_blend::Average(d, s);
            } else if (op) {
                d = op(d, s, int(s >> 24), w);
            }
        }
    }
    return out;
}

TEST(RasterBlit, EveryOperationAndWeightMatchesTheFormula) {
    const RasterMode ops[] = {ModeCopy,     ModeAdd,       ModeDodge,
                              ModeMultiply, ModeSoftLight, ModeHsvAdjust};
    const float alphas[] = {1.0f / 256, 0.3f, 0.5f, 0.7f, 1.0f, -0.5f};
    Random rng(7);
    for (RasterMode op : ops) {
        for (RasterMode sourceAlpha : {0u, unsigned(ModeUseSourceAlpha)}) {
            for (float alpha : alphas) {
                // Odd widths leave tails after any vector loop; ModeFilter is ignored here.
                MemoryBitmap dest(37, 5), src(37, 5);
                Fill(dest, rng);
                Fill(src, rng);
                const RasterMode mode = op | sourceAlpha | ModeFilter;
                const auto expected = ExpectedWholeBlit(dest, src, alpha, mode);
                RasterBlit(&dest, &src, 0, 0, nullptr, alpha, mode);
                EXPECT_EQ(Pixels(dest), expected) << "mode " << mode << " alpha " << alpha;
            }
        }
    }
}

TEST(RasterBlit, FlippedBitmapsAreAddressedTopDown) {
    Random rng(3);
    MemoryBitmap src(9, 6), plainDest(9, 6);
    FlippedBitmap flippedSrc(9, 6), flippedDest(9, 6);
    Fill(src, rng);
    Fill(plainDest, 0xFF102030);
    for (int y = 0; y < 6; ++y) {
        for (int x = 0; x < 9; ++x) {
            flippedSrc.At(x, y) = RasterGetPixel(&src, x, y);
            flippedDest.At(x, y) = 0xFF102030;
        }
    }
    for (float alpha : {1.0f, 0.5f, 0.6f}) {
        RasterBlitRect(&plainDest, &src, 2, 1, 1, 1, 5, 4, alpha, ModeUseSourceAlpha);
        RasterBlitRect(&flippedDest, &flippedSrc, 2, 1, 1, 1, 5, 4, alpha, ModeUseSourceAlpha);
        EXPECT_EQ(Pixels(flippedDest), Pixels(plainDest));
        RasterBlitRect(&plainDest, &src, 2, 1, 1, 1, 5, 4, alpha, ModeCopy);
        RasterBlitRect(&flippedDest, &flippedSrc, 2, 1, 1, 1, 5, 4, alpha, ModeCopy);
        EXPECT_EQ(Pixels(flippedDest), Pixels(plainDest));
    }
    EXPECT_TRUE(flippedDest.GapIntact());
}

// A source whose pixel (x, y) encodes its position, on a destination of zeros.
struct ClipFixture {
    MemoryBitmap dest{100, 100};
    MemoryBitmap src{40, 40};
    ClipFixture() {
        Fill(dest, 0);
        for (int y = 0; y < 40; ++y) {
            for (int x = 0; x < 40; ++x) {
                Set(src, x, y, 0xFF000000u | (uint32_t(x + 1) << 8) | uint32_t(y + 1));
            }
        }
    }
};

TEST(RasterBlit, ClipsAtEveryEdge) {
    {
        ClipFixture f;
        RasterBlitRect(&f.dest, &f.src, -10, -5, 0, 0, 40, 40, 1.0f, ModeCopy);
        EXPECT_EQ(RasterGetPixel(&f.dest, 0, 0), RasterGetPixel(&f.src, 10, 5));
        EXPECT_EQ(RasterGetPixel(&f.dest, 29, 34), RasterGetPixel(&f.src, 39, 39));
        EXPECT_EQ(RasterGetPixel(&f.dest, 30, 0), 0u);
        EXPECT_EQ(RasterGetPixel(&f.dest, 0, 35), 0u);
    }
    {
        ClipFixture f; // right and bottom edges of the destination
        RasterBlitRect(&f.dest, &f.src, 90, 95, 0, 0, 40, 40, 1.0f, ModeCopy);
        EXPECT_EQ(RasterGetPixel(&f.dest, 99, 99), RasterGetPixel(&f.src, 9, 4));
        EXPECT_EQ(RasterGetPixel(&f.dest, 89, 99), 0u);
    }
    {
        ClipFixture f; // source rectangle past the source's right edge, negative left
        RasterBlitRect(&f.dest, &f.src, 10, 10, 30, 0, 20, 1, 1.0f, ModeCopy);
        EXPECT_EQ(RasterGetPixel(&f.dest, 19, 10), RasterGetPixel(&f.src, 39, 0));
        EXPECT_EQ(RasterGetPixel(&f.dest, 20, 10), 0u);
        RasterBlitRect(&f.dest, &f.src, 10, 20, -3, 0, 5, 1, 1.0f, ModeCopy);
        EXPECT_EQ(RasterGetPixel(&f.dest, 12, 20), 0u);
        EXPECT_EQ(RasterGetPixel(&f.dest, 13, 20), RasterGetPixel(&f.src, 0, 0));
        EXPECT_EQ(RasterGetPixel(&f.dest, 14, 20), RasterGetPixel(&f.src, 1, 0));
        EXPECT_EQ(RasterGetPixel(&f.dest, 15, 20), 0u);
    }
    const int far = 2147483600;
    for (auto [x, y, sx, sy, w, h] :
         {std::array{far, 0, 0, 0, 40, 40}, std::array{-far, -far, 0, 0, 40, 40},
          std::array{0, 0, far, far, far, far}, std::array{0, 0, -far, -far, far, far},
          std::array{5, 5, 0, 0, -4, 10}, std::array{100, 0, 0, 0, 40, 40}}) {
        ClipFixture f;
        RasterBlitRect(&f.dest, &f.src, x, y, sx, sy, w, h, 0.7f, ModeAdd);
        EXPECT_EQ(Pixels(f.dest), std::vector<RasterPixel>(100 * 100, 0u)) << x << "," << sx;
    }
}

TEST(RasterBlit, NullEmptyAndZeroAlphaDrawNothing) {
    MemoryBitmap dest(4, 4), src(4, 4), empty;
    Fill(dest, 0x01020304);
    Fill(src, 0xFFFFFFFF);
    RasterBlit(&dest, nullptr, 0, 0, nullptr, 1.0f, ModeCopy);
    RasterBlit(nullptr, &src, 0, 0, nullptr, 1.0f, ModeCopy);
    RasterBlit(&dest, &empty, 0, 0, nullptr, 1.0f, ModeCopy);
    RasterBlit(&empty, &src, 0, 0, nullptr, 1.0f, ModeCopy);
    RasterBlit(&dest, &src, 0, 0, nullptr, 0.0f, ModeChannelCopy);
    RasterBlit(&dest, &src, 0, 0, nullptr, std::numeric_limits<float>::quiet_NaN(), ModeAdd);
    EXPECT_EQ(Pixels(dest), std::vector<RasterPixel>(16, 0x01020304u));
}

TEST(RasterCopy, TakesTheSourceSize) {
    Random rng(11);
    MemoryBitmap src(7, 3), dest;
    Fill(src, rng);
    RasterCopy(&dest, &src);
    EXPECT_EQ(dest.GetWidth(), 7);
    EXPECT_EQ(dest.GetHeight(), 3);
    EXPECT_EQ(Pixels(dest), Pixels(src));
    RasterCopy(nullptr, &src);
    RasterCopy(&dest, nullptr);
}

} // namespace
