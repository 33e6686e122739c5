#include "raster/MemoryBitmap.h"
#include "raster/RasterBlend.h"
#include "raster/RasterBlit.h"

#include <gtest/gtest.h>

using namespace raster_blend;

namespace {

// Blits one source pixel onto one destination pixel and returns the result.
RasterPixel BlitOne(RasterPixel d, RasterPixel s, float alpha, RasterMode mode) {
    MemoryBitmap dest(1, 1), src(1, 1);
    dest.GetBits()[0] = d;
    src.GetBits()[0] = s;
    RasterBlit(&dest, &src, 0, 0, nullptr, alpha, mode);
    return dest.GetBits()[0];
}

TEST(BlendFormula, CopyWeights) {
    EXPECT_EQ(BlitOne(0xFF000000, 0xFFFFFFFF, 0.5f, ModeCopy), 0xFE7F7F7Fu);
    EXPECT_EQ(BlitOne(0x12345678, 0x9ABCDEF0, 1.0f, ModeCopy), 0x9ABCDEF0u);
    // 0.3 gives w = 76: S + (D - S) x 180 / 256, truncated toward zero both ways.
    EXPECT_EQ(BlitOne(0xC8C864C8, 0x646464C8, 0.3f, ModeCopy), 0xAAAA64C8u);
    EXPECT_EQ(BlitOne(0x64646464, 0xC8C8C8C8, 0.3f, ModeCopy), 0x82828282u);
    // w = 1 moves the destination by one step of 1/256, rounding toward it.
    EXPECT_EQ(BlitOne(0xC8C8C8C8, 0x64646464, 1.0f / 256, ModeCopy), 0xC7C7C7C7u);
    // Below 1/256 the weight truncates to 0 and nothing is drawn; so does alpha 0.
    EXPECT_EQ(BlitOne(0x11111111, 0x22222222, 0.003f, ModeCopy), 0x11111111u);
    EXPECT_EQ(BlitOne(0x11111111, 0x22222222, 0.0f, ModeCopy), 0x11111111u);
    EXPECT_EQ(BlitOne(0x11111111, 0x22222222, -0.5f, ModeCopy), 0x11111111u);
}

TEST(BlendFormula, CopyWithSourceAlpha) {
    EXPECT_EQ(BlitOne(0xFFC8C8C8, 0x00646464, 1.0f, ModeUseSourceAlpha), 0xFFC8C8C8u);
    EXPECT_EQ(BlitOne(0x00C8C8C8, 0xFF646464, 1.0f, ModeUseSourceAlpha), 0xFF646464u);
    // a = 128, k = 127: colour 100 + 100 x 127 / 256 = 149, alpha 129 + 126 x 127 / 256 = 191.
    EXPECT_EQ(BlitOne(0xFFC8C8C8, 0x80646464, 1.0f, ModeUseSourceAlpha), 0xBF959595u);
    // Other weights: w' = 128 x 129 / 256 = 64 for every channel, alpha included.
    EXPECT_EQ(BlitOne(0xFFC8C8C8, 0x80646464, 0.5f, ModeUseSourceAlpha), 0xDFAFAFAFu);
    EXPECT_EQ(BlitOne(0xFFC8C8C8, 0x00646464, 0.5f, ModeUseSourceAlpha), 0xFFC8C8C8u);
}

TEST(BlendFormula, AddSaturatesAndSubtractsWithNegativeWeight) {
    EXPECT_EQ(BlitOne(0x00C80000, 0x00640000, 1.0f, ModeAdd), 0x00FF0000u);
    EXPECT_EQ(BlitOne(0x10C8C8C8, 0x00646464, -0.5f, ModeAdd), 0x10969696u);
    EXPECT_EQ(BlitOne(0x10101010, 0x00FFFFFF, -1.0f, ModeAdd), 0x10000000u);
    EXPECT_EQ(BlitOne(0x10101010, 0x80202020, 1.0f, ModeUseSourceAlpha | ModeAdd),
              0x50202020u); // w' = 129: 16 + 32 x 129 / 256 = 32; alpha 16 + 64 = 80
    EXPECT_EQ(BlitOne(0x10101010, 0x00FFFFFF, 1.0f, ModeUseSourceAlpha | ModeAdd), 0x10101010u);
}

TEST(BlendFormula, DodgeMultiplySoftLight) {
    EXPECT_EQ(BlitOne(0x00640064, 0x008080FF, 1.0f, ModeDodge), 0x00C800FFu);
    EXPECT_EQ(BlitOne(0x00000000, 0x00FFFFFF, 1.0f, ModeDodge), 0x00000000u);
    EXPECT_EQ(BlitOne(0x00C8C8C8, 0x00800000, 1.0f, ModeMultiply), 0x00640000u);
    EXPECT_EQ(BlitOne(0x00C8C8C8, 0x00000000, 0.5f, ModeMultiply), 0x00646464u);
    // S 128 is neutral; S 255 on 100 gives 160, S 0 on 100 gives 39.
    EXPECT_EQ(BlitOne(0x00646464, 0x0080FF00, 1.0f, ModeSoftLight), 0x0064A027u);
    // With source alpha 0 the weight is 1 and the destination stays as it was for dodge.
    EXPECT_EQ(BlitOne(0x00646464, 0x00FFFFFF, 1.0f, ModeUseSourceAlpha | ModeDodge), 0x00646464u);
    EXPECT_EQ(BlitOne(0x00646464, 0x00FFFFFF, 1.0f, ModeUseSourceAlpha | ModeMultiply),
              0x00646464u);
}

TEST(BlendFormula, HsvAdjust) {
    EXPECT_EQ(HueReciprocalTable[0], 0);
    EXPECT_EQ(HueReciprocalTable[1], 65535);
    EXPECT_EQ(HueReciprocalTable[2], 32767);
    EXPECT_EQ(HueReciprocalTable[3], 21844);
    EXPECT_EQ(HueReciprocalTable[255], 256);
    // A neutral source (128s) keeps pure red; the pixel takes the source alpha.
    EXPECT_EQ(BlitOne(0xFFFF0000, 0x55808080, 1.0f, ModeHsvAdjust), 0x55FF0000u);
    // Red 255 in the source turns the hue by 190 of 384: into the cyan sector.
    EXPECT_EQ(BlitOne(0xFFFF0000, 0xAAFF8080, 1.0f, ModeHsvAdjust), 0xAA00FFF7u);
    // Blue 255 raises the value of grey 100 by 127; zero saturation stays grey.
    EXPECT_EQ(BlitOne(0xFF646464, 0xFF8080FF, 1.0f, ModeHsvAdjust), 0xFFE3E3E3u);
}

TEST(BlendFormula, ChannelCopyIgnoresWeight) {
    EXPECT_EQ(BlitOne(0x11223344, 0xAABBCCDD, 0.2f, ModeChannelCopy + 4 * 1 + 3), 0x1122AA44u);
    EXPECT_EQ(BlitOne(0x11223344, 0xAABBCCDD, 1.0f, ModeChannelCopy + 4 * 3 + 0), 0xDD223344u);
}

TEST(BlendFormula, UnknownOperationsDrawNothing) {
    EXPECT_EQ(BlitOne(0x11223344, 0xAABBCCDD, 0.7f, 6), 0x11223344u);
    EXPECT_EQ(BlitOne(0x11223344, 0xAABBCCDD, 0.7f, ModeUseSourceAlpha | 0xEF), 0x11223344u);
}

} // namespace
