#include "raster/MemoryBitmap.h"
#include "raster/RasterImageLoad.h"
#include "raster/SystemBitmap.h"

#include "ImageEncoders.h"
#include "RasterTestUtil.h"
#include "platform/Resources.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdio>
#include <memory>
#include <string>

using namespace raster_test;

namespace {

using Rows = std::vector<std::vector<png_byte>>;

std::unique_ptr<RasterBitmap> Load(const std::vector<unsigned char>& data,
                                   RasterBitmap* target = nullptr) {
    RasterBitmap* b = RasterLoadPngMemory(data.data(), data.size(), target);
    if (target) {
        EXPECT_TRUE(b == nullptr || b == target);
        return nullptr;
    }
    return std::unique_ptr<RasterBitmap>(b);
}

// A 3 x 2 RGBA image: pixel i has red 10 + i, green 20 + i, blue 30 + i, alpha 40 + i.
Rows SmallRgba() {
    Rows rows(2);
    for (int i = 0; i < 6; ++i) {
        rows[i / 3].insert(rows[i / 3].end(), {png_byte(10 + i), png_byte(20 + i), png_byte(30 + i),
                                               png_byte(40 + i)});
    }
    return rows;
}

PngSpec Spec(int w, int h, int colorType, int depth) {
    PngSpec s;
    s.width = w;
    s.height = h;
    s.colorType = colorType;
    s.bitDepth = depth;
    return s;
}

TEST(PngLoader, RgbaResourceGivesStraightAlphaPixels) {
    Rows rows(80, std::vector<png_byte>());
    for (auto& r : rows) {
        for (int x = 0; x < 40; ++x) {
            r.insert(r.end(), {10, 20, 30, 40});
        }
    }
    static const std::vector<unsigned char> png =
        EncodePng(Spec(40, 80, PNG_COLOR_TYPE_RGBA, 8), rows);
    static ModuleResource resource("PNG", 4242, png.data(), png.size());
    std::unique_ptr<RasterBitmap> b(RasterLoadPngResource(nullptr, 4242, nullptr));
    ASSERT_TRUE(b);
    EXPECT_EQ(b->GetWidth(), 40);
    EXPECT_EQ(b->GetHeight(), 80);
    EXPECT_EQ(RasterGetPixel(b.get(), 39, 79), 0x280A141Eu);
    EXPECT_EQ(RasterLoadPngResource(nullptr, 4243, nullptr), nullptr);
    EXPECT_EQ(RasterLoadJpegResource(nullptr, 4242, nullptr), nullptr); // type "JPG" differs
}

TEST(PngLoader, EveryColourTypeAndDepth) {
    // Grey at 1, 2, 4, 8 and 16 bits: sample v of depth d becomes v x 255 / (2^d - 1).
    for (int depth : {1, 2, 4, 8, 16}) {
        const int maxValue = (1 << depth) - 1;
        const int width = 9;
        Rows rows(1);
        std::vector<int> values;
        int bitPos = 0;
        for (int x = 0; x < width; ++x) {
            const int v = (x * 7919 + 3) & maxValue;
            values.push_back(v);
            if (depth == 16) {
                rows[0].insert(rows[0].end(), {png_byte(v >> 8), png_byte(v)});
                continue;
            }
            if (bitPos % 8 == 0) {
                rows[0].push_back(0);
            }
            rows[0].back() |= png_byte(v << (8 - depth - bitPos % 8));
            bitPos += depth;
        }
        auto b = Load(EncodePng(Spec(width, 1, PNG_COLOR_TYPE_GRAY, depth), rows));
        ASSERT_TRUE(b) << depth;
        for (int x = 0; x < width; ++x) {
            const uint32_t g =
                depth == 16 ? uint32_t(values[x] >> 8) : uint32_t(values[x] * 255 / maxValue);
            EXPECT_EQ(RasterGetPixel(b.get(), x, 0), 0xFF000000u | g * 0x010101u)
                << "depth " << depth << " x " << x;
        }
    }
    // Grey with alpha, 8 and 16 bits.
    {
        auto b =
            Load(EncodePng(Spec(2, 1, PNG_COLOR_TYPE_GRAY_ALPHA, 8), {{0x40, 0x80, 0xC0, 0x10}}));
        ASSERT_TRUE(b);
        EXPECT_EQ(RasterGetPixel(b.get(), 0, 0), 0x80404040u);
        EXPECT_EQ(RasterGetPixel(b.get(), 1, 0), 0x10C0C0C0u);
        b = Load(EncodePng(Spec(1, 1, PNG_COLOR_TYPE_GRAY_ALPHA, 16), {{0x40, 0xFF, 0x80, 0x01}}));
        ASSERT_TRUE(b);
        EXPECT_EQ(RasterGetPixel(b.get(), 0, 0), 0x80404040u);
    }
    // RGB 8 and 16 bits: opaque.
    {
        auto b = Load(EncodePng(Spec(1, 1, PNG_COLOR_TYPE_RGB, 8), {{1, 2, 3}}));
        ASSERT_TRUE(b);
        EXPECT_EQ(RasterGetPixel(b.get(), 0, 0), 0xFF010203u);
        b = Load(EncodePng(Spec(1, 1, PNG_COLOR_TYPE_RGB, 16), {{1, 0xFF, 2, 0xFF, 3, 0}}));
        ASSERT_TRUE(b);
        EXPECT_EQ(RasterGetPixel(b.get(), 0, 0), 0xFF010203u);
    }
    // RGBA 16 bits keeps the high byte of each channel.
    {
        auto b = Load(EncodePng(Spec(1, 1, PNG_COLOR_TYPE_RGBA, 16),
                                {{10, 0xFF, 20, 0x80, 30, 0x7F, 40, 0x01}}));
        ASSERT_TRUE(b);
        EXPECT_EQ(RasterGetPixel(b.get(), 0, 0), 0x280A141Eu);
    }
    // Palette at 1, 2, 4 and 8 bits, with and without tRNS.
    for (int depth : {1, 2, 4, 8}) {
        for (bool withAlpha : {false, true}) {
            PngSpec s = Spec(2, 1, PNG_COLOR_TYPE_PALETTE, depth);
            s.palette = {{200, 100, 50}, {1, 2, 3}};
            if (withAlpha) {
                s.paletteAlpha = {77};
            }
            // Entries 0 and 1, packed from the top bits down below 8 bits.
            const Rows row = depth == 8 ? Rows{{0, 1}} : Rows{{png_byte(1 << (8 - 2 * depth))}};
            auto b = Load(EncodePng(s, row));
            ASSERT_TRUE(b) << depth;
            EXPECT_EQ(RasterGetPixel(b.get(), 0, 0), (withAlpha ? 0x4DC86432u : 0xFFC86432u))
                << depth;
            EXPECT_EQ(RasterGetPixel(b.get(), 1, 0), 0xFF010203u) << depth;
        }
    }
    // tRNS on grey and RGB makes the one colour transparent.
    {
        PngSpec s = Spec(2, 1, PNG_COLOR_TYPE_GRAY, 8);
        s.transparentColour = true;
        s.transparent.gray = 0x20;
        auto b = Load(EncodePng(s, {{0x20, 0x21}}));
        ASSERT_TRUE(b);
        EXPECT_EQ(RasterGetPixel(b.get(), 0, 0), 0x00202020u);
        EXPECT_EQ(RasterGetPixel(b.get(), 1, 0), 0xFF212121u);
        s = Spec(2, 1, PNG_COLOR_TYPE_RGB, 8);
        s.transparentColour = true;
        s.transparent.red = 1;
        s.transparent.green = 2;
        s.transparent.blue = 3;
        b = Load(EncodePng(s, {{1, 2, 3, 1, 2, 4}}));
        ASSERT_TRUE(b);
        EXPECT_EQ(RasterGetPixel(b.get(), 0, 0), 0x00010203u);
        EXPECT_EQ(RasterGetPixel(b.get(), 1, 0), 0xFF010204u);
    }
}

TEST(PngLoader, InterlacedImagesDecodeLikePlainOnes) {
    Rows rows(13);
    for (int y = 0; y < 13; ++y) {
        for (int x = 0; x < 11; ++x) {
            rows[y].insert(rows[y].end(), {png_byte(x * 20), png_byte(y * 19), png_byte(x ^ y),
                                           png_byte(255 - x)});
        }
    }
    PngSpec s = Spec(11, 13, PNG_COLOR_TYPE_RGBA, 8);
    auto plain = Load(EncodePng(s, rows));
    s.interlaced = true;
    auto interlaced = Load(EncodePng(s, rows));
    ASSERT_TRUE(plain && interlaced);
    EXPECT_EQ(Pixels(*interlaced), Pixels(*plain));
    EXPECT_EQ(RasterGetPixel(plain.get(), 10, 12), 0xF5C8E406u);
}

TEST(PngLoader, TargetBitmapRules) {
    const auto data = EncodePng(Spec(3, 2, PNG_COLOR_TYPE_RGBA, 8), SmallRgba());
    MemoryBitmap target(50, 50);
    EXPECT_EQ(RasterLoadPngMemory(data.data(), data.size(), &target), &target);
    EXPECT_EQ(target.GetWidth(), 3);
    EXPECT_EQ(RasterGetPixel(&target, 2, 1), 0x2D0F1923u);

    FlippedBitmap flipped(3, 2); // cannot resize, but already has the size
    EXPECT_EQ(RasterLoadPngMemory(data.data(), data.size(), &flipped), &flipped);
    EXPECT_EQ(Pixels(flipped), Pixels(target));
    FlippedBitmap wrongSize(4, 2);
    EXPECT_EQ(RasterLoadPngMemory(data.data(), data.size(), &wrongSize), nullptr);

    class HandlelessBitmap : public SystemBitmap {
    public:
        HandlelessBitmap() : SystemBitmap(nullptr, 0, 0) {}
    } handleless;
    EXPECT_EQ(RasterLoadPngMemory(data.data(), data.size(), &handleless), nullptr);
}

TEST(PngLoader, TruncatedAndCorruptDataGiveNullQuietly) {
    const auto data = EncodePng(Spec(3, 2, PNG_COLOR_TYPE_RGBA, 8), SmallRgba());
    testing::internal::CaptureStderr();
    // Every cut that loses image data (the trailing 12-byte IEND chunk is not needed).
    for (size_t cut = 0; cut + 16 < data.size(); ++cut) {
        std::vector<unsigned char> part(data.begin(), data.begin() + long(cut));
        EXPECT_EQ(Load(part), nullptr) << cut;
    }
    for (size_t i = 8; i < data.size(); ++i) { // any flipped byte fails a CRC or a check
        std::vector<unsigned char> bad = data;
        bad[i] ^= 0x5A;
        auto b = Load(bad);
        if (i < data.size() - 12) {
            EXPECT_EQ(b, nullptr) << i;
        }
    }
    // A chunk claiming 2 GB after the header ends at the end of the data, not 2 GB later.
    std::vector<unsigned char> claim(data.begin(), data.begin() + 33);
    claim.insert(claim.end(), {0x7F, 0xFF, 0xFF, 0xF0, 'a', 'b', 'C', 'd', 1, 2, 3});
    EXPECT_EQ(Load(claim), nullptr);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    std::vector<unsigned char> notPng = data;
    notPng[1] = 'Q';
    EXPECT_EQ(Load(notPng), nullptr);
    EXPECT_EQ(RasterLoadPngMemory(data.data(), 7, nullptr), nullptr);
    EXPECT_EQ(RasterLoadPngMemory(nullptr, 100, nullptr), nullptr);
    // A new bitmap is not returned after a decoder error, and a target keeps the image's size.
    MemoryBitmap target(1, 1);
    EXPECT_EQ(RasterLoadPngMemory(data.data(), data.size() - 30, &target), nullptr);
    EXPECT_EQ(target.GetWidth(), 3);
}

TEST(PngLoader, HugeDeclaredSizeGivesNull) {
    auto data = EncodePng(Spec(1, 1, PNG_COLOR_TYPE_RGBA, 8), {{1, 2, 3, 4}});
    // Rewrite the header to 60000 x 60000 and fix its CRC.
    const unsigned char size[8] = {0, 0, 0xEA, 0x60, 0, 0, 0xEA, 0x60};
    std::memcpy(&data[16], size, 8);
    const uint32_t crc = uint32_t(crc32(0, &data[12], 17));
    const unsigned char crcBytes[4] = {png_byte(crc >> 24), png_byte(crc >> 16), png_byte(crc >> 8),
                                       png_byte(crc)};
    std::memcpy(&data[29], crcBytes, 4);
    EXPECT_EQ(Load(data), nullptr);
}

TEST(PngLoader, FilesAndExtensions) {
    const auto data = EncodePng(Spec(3, 2, PNG_COLOR_TYPE_RGBA, 8), SmallRgba());
    const std::string path = testing::TempDir() + "kvx_raster_test.PNG";
    std::FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_TRUE(f);
    std::fwrite(data.data(), 1, data.size(), f);
    std::fclose(f);
    std::unique_ptr<RasterBitmap> b(RasterLoadPngFile(path.c_str(), nullptr));
    ASSERT_TRUE(b);
    EXPECT_EQ(RasterGetPixel(b.get(), 0, 0), 0x280A141Eu);
    b.reset(RasterOpenPngImage(path.c_str(), true, nullptr));
    EXPECT_TRUE(b);
    EXPECT_EQ(RasterOpenJpegImage(path.c_str(), true, nullptr), nullptr);
    EXPECT_EQ(RasterLoadPngFile((path + ".missing").c_str(), nullptr), nullptr);
    EXPECT_EQ(RasterLoadPngFile(nullptr, nullptr), nullptr);

    f = std::fopen(path.c_str(), "wb");
    std::fwrite(data.data(), 1, data.size() / 2, f);
    std::fclose(f);
    EXPECT_EQ(RasterLoadPngFile(path.c_str(), nullptr), nullptr);
    std::remove(path.c_str());
}

} // namespace
