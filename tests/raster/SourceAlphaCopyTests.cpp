#include "raster/RasterSourceAlphaAdd.h"
#include "raster/RasterSourceAlphaCopy.h"

#include "RasterTestUtil.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

using namespace raster_test;

namespace {

using RowFn = std::function<void(RasterPixel*, const RasterPixel*, int)>;

void ExpectSameAsScalar(const RowFn& row, const RowFn& scalar, const std::string& name) {
    Random rng(2024);
    for (int count : {0, 1, 3, 4, 7, 8, 9, 15, 16, 17, 31, 64, 333}) {
        for (int trial = 0; trial < 20; ++trial) {
            std::vector<RasterPixel> src(count), dest(count);
            for (int i = 0; i < count; ++i) {
                src[i] = rng.Pixel();
                dest[i] = rng.Next();
            }
            // Runs of one alpha exercise the all-clear and all-solid shortcuts.
            if (trial % 4 == 1) {
                for (auto& p : src) {
                    p &= 0x00FFFFFF;
                }
            } else if (trial % 4 == 2) {
                for (auto& p : src) {
                    p |= 0xFF000000;
                }
            }
            std::vector<RasterPixel> expected = dest;
            scalar(expected.data(), src.data(), count);
            row(dest.data(), src.data(), count);
            ASSERT_EQ(dest, expected) << name << " count " << count << " trial " << trial;
        }
    }
    // Every source alpha against every destination alpha, colours at the extremes.
    std::vector<RasterPixel> src, dest;
    for (uint32_t a = 0; a < 256; ++a) {
        for (uint32_t d : {0u, 1u, 127u, 128u, 254u, 255u}) {
            src.push_back((a << 24) | 0x00FF0080 | (a & 1 ? 0x0000FF00 : 0));
            dest.push_back((d << 24) | (d << 16) | ((255 - d) << 8) | d);
        }
    }
    std::vector<RasterPixel> expected = dest;
    scalar(expected.data(), src.data(), int(src.size()));
    row(dest.data(), src.data(), int(src.size()));
    EXPECT_EQ(dest, expected) << name;
}

void ExpectCopySameAsScalar(RasterSourceAlphaCopyRowFn row, const char* name) {
    ExpectSameAsScalar(row, RasterSourceAlphaCopyRowScalar, name);
}

void ExpectBlendSameAsScalar(RasterSourceAlphaBlendRowFn row, const char* name) {
    for (int w : {1, 76, 128, 179, 255}) {
        ExpectSameAsScalar(
            [row, w](RasterPixel* d, const RasterPixel* s, int n) { row(d, s, n, w); },
            [w](RasterPixel* d, const RasterPixel* s, int n) {
                RasterSourceAlphaBlendRowScalar(d, s, n, w);
            },
            std::string(name) + " w " + std::to_string(w));
    }
}

void ExpectAddSameAsScalar(RasterSourceAlphaAddRowFn row, const char* name) {
    for (int w : {1, 76, 128, 179, 255, 256}) {
        ExpectSameAsScalar(
            [row, w](RasterPixel* d, const RasterPixel* s, int n) { row(d, s, n, w); },
            [w](RasterPixel* d, const RasterPixel* s, int n) {
                RasterSourceAlphaAddRowScalar(d, s, n, w);
            },
            std::string(name) + " add w " + std::to_string(w));
    }
}

TEST(SourceAlphaAddRow, VectorPathsMatchScalar) {
    if (RasterSourceAlphaAddRowFn sse2 = RasterSourceAlphaAddRowSse2()) {
        ExpectAddSameAsScalar(sse2, "sse2");
    }
    if (RasterSourceAlphaAddRowFn avx2 = RasterSourceAlphaAddRowAvx2()) {
        ExpectAddSameAsScalar(avx2, "avx2");
    }
    ExpectAddSameAsScalar(RasterSourceAlphaAddRow(), "chosen");
}

TEST(SourceAlphaCopyRow, Sse2MatchesScalar) {
    if (!RasterSourceAlphaCopyRowSse2() || !RasterSourceAlphaBlendRowSse2()) {
        GTEST_SKIP() << "no SSE2 path on this processor";
    }
    ExpectCopySameAsScalar(RasterSourceAlphaCopyRowSse2(), "sse2");
    ExpectBlendSameAsScalar(RasterSourceAlphaBlendRowSse2(), "sse2");
}

TEST(SourceAlphaCopyRow, Avx2MatchesScalar) {
    if (!RasterSourceAlphaCopyRowAvx2() || !RasterSourceAlphaBlendRowAvx2()) {
        GTEST_SKIP() << "no AVX2 on this processor";
    }
    ExpectCopySameAsScalar(RasterSourceAlphaCopyRowAvx2(), "avx2");
    ExpectBlendSameAsScalar(RasterSourceAlphaBlendRowAvx2(), "avx2");
}

TEST(SourceAlphaCopyRow, ChosenPathMatchesScalar) {
    ExpectCopySameAsScalar(RasterSourceAlphaCopyRow(), "chosen");
    ExpectBlendSameAsScalar(RasterSourceAlphaBlendRow(), "chosen");
}

} // namespace
