#include "raster/MemoryBitmap.h"
#include "raster/RasterImageLoad.h"

#include "ImageEncoders.h"
#include "RasterTestUtil.h"
#include "platform/Resources.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>

using namespace raster_test;

namespace {

std::unique_ptr<RasterBitmap> Load(const std::vector<unsigned char>& data) {
    return std::unique_ptr<RasterBitmap>(RasterLoadJpegMemory(data.data(), data.size(), nullptr));
}

// Flat images survive JPEG compression exactly.
std::vector<unsigned char> Flat(int width, int height, int components,
                                std::initializer_list<unsigned char> sample,
                                bool progressive = false) {
    std::vector<unsigned char> samples;
    for (int i = 0; i < width * height; ++i) {
        samples.insert(samples.end(), sample);
    }
    return EncodeJpeg(width, height, components, samples, progressive);
}

TEST(JpegLoader, GreyRgbAndCmyk) {
    auto grey = Load(Flat(17, 9, 1, {0x80}));
    ASSERT_TRUE(grey);
    EXPECT_EQ(grey->GetWidth(), 17);
    EXPECT_EQ(grey->GetHeight(), 9);
    EXPECT_EQ(Pixels(*grey), std::vector<RasterPixel>(17 * 9, 0xFF808080u));

    auto rgb = Load(Flat(8, 8, 3, {0, 0, 0}));
    ASSERT_TRUE(rgb);
    EXPECT_EQ(Pixels(*rgb), std::vector<RasterPixel>(64, 0xFF000000u));
    auto white = Load(Flat(8, 8, 3, {255, 255, 255}, true));
    ASSERT_TRUE(white);
    EXPECT_EQ(Pixels(*white), std::vector<RasterPixel>(64, 0xFFFFFFFFu));

    // Four components are not converted: the right size, every pixel transparent black.
    auto cmyk = Load(Flat(5, 3, 4, {10, 20, 30, 40}));
    ASSERT_TRUE(cmyk);
    EXPECT_EQ(cmyk->GetWidth(), 5);
    EXPECT_EQ(Pixels(*cmyk), std::vector<RasterPixel>(15, 0u));
}

TEST(JpegLoader, ResourcesAndTargets) {
    static const std::vector<unsigned char> jpeg = Flat(16, 8, 1, {0x80});
    static ModuleResource resource("JPG", 77, jpeg.data(), jpeg.size());
    static const unsigned char tiny[7] = {0xFF, 0xD8, 0xFF, 0xE0, 0, 0x10, 'J'};
    static ModuleResource tinyResource("JPG", 78, tiny, sizeof tiny);
    std::unique_ptr<RasterBitmap> b(RasterLoadJpegResource(nullptr, 77, nullptr));
    ASSERT_TRUE(b);
    EXPECT_EQ(RasterGetPixel(b.get(), 15, 7), 0xFF808080u);
    EXPECT_EQ(RasterLoadJpegResource(nullptr, 78, nullptr), nullptr);
    EXPECT_EQ(RasterLoadJpegResource(nullptr, 79, nullptr), nullptr);

    FlippedBitmap flipped(16, 8);
    EXPECT_EQ(RasterLoadJpegMemory(jpeg.data(), jpeg.size(), &flipped), &flipped);
    EXPECT_EQ(flipped.At(0, 0), 0xFF808080u);
    EXPECT_TRUE(flipped.GapIntact());
    FlippedBitmap wrong(15, 8);
    EXPECT_EQ(RasterLoadJpegMemory(jpeg.data(), jpeg.size(), &wrong), nullptr);
    MemoryBitmap target(2, 2);
    EXPECT_EQ(RasterLoadJpegMemory(jpeg.data(), jpeg.size(), &target), &target);
    EXPECT_EQ(target.GetWidth(), 16);
}

TEST(JpegLoader, TruncatedDataEndsTheImage) {
    std::vector<unsigned char> samples;
    for (int i = 0; i < 64 * 64; ++i) {
        samples.push_back((unsigned char)(i * 37));
    }
    const auto jpeg = EncodeJpeg(64, 64, 1, samples);
    testing::internal::CaptureStderr();
    // Cut well after the headers: an end-of-image marker is supplied and the image completes.
    std::vector<unsigned char> cut(jpeg.begin(), jpeg.begin() + long(jpeg.size() * 2 / 3));
    auto b = Load(cut);
    ASSERT_TRUE(b);
    EXPECT_EQ(b->GetWidth(), 64);
    // Every shorter cut either decodes or fails, without a crash or a read past the data.
    for (size_t n = 0; n < jpeg.size(); n += 7) {
        std::vector<unsigned char> part(jpeg.begin(), jpeg.begin() + long(n));
        auto partial = Load(part);
        if (n < 100) {
            EXPECT_EQ(partial, nullptr) << n; // no complete header yet
        }
    }
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

TEST(JpegLoader, CorruptDataGivesNullQuietly) {
    testing::internal::CaptureStderr();
    std::vector<unsigned char> garbage(300);
    for (size_t i = 0; i < garbage.size(); ++i) {
        garbage[i] = (unsigned char)(i * 91 + 7);
    }
    EXPECT_EQ(Load(garbage), nullptr);
    auto jpeg = Flat(16, 16, 3, {1, 2, 3});
    jpeg[3] ^= 0xFF; // a broken marker right after the start of image
    for (size_t i = 2; i < jpeg.size(); i += 3) {
        std::vector<unsigned char> bad = jpeg;
        bad[i] ^= 0xA5;
        Load(bad); // whatever comes out, it must not crash or read outside
    }
    EXPECT_EQ(RasterLoadJpegMemory(jpeg.data(), 7, nullptr), nullptr);
    EXPECT_EQ(RasterLoadJpegMemory(nullptr, 100, nullptr), nullptr);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

TEST(JpegLoader, Files) {
    const auto jpeg = Flat(4, 4, 1, {0x80});
    const std::string path = testing::TempDir() + "kvx_raster_test.jpeg";
    std::FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_TRUE(f);
    std::fwrite(jpeg.data(), 1, jpeg.size(), f);
    std::fclose(f);
    std::unique_ptr<RasterBitmap> b(RasterOpenJpegImage(path.c_str(), true, nullptr));
    ASSERT_TRUE(b);
    EXPECT_EQ(RasterGetPixel(b.get(), 3, 3), 0xFF808080u);
    EXPECT_EQ(RasterOpenPngImage(path.c_str(), true, nullptr), nullptr);
    std::unique_ptr<RasterBitmap> unchecked(RasterOpenJpegImage(path.c_str(), false, nullptr));
    EXPECT_TRUE(unchecked);
    EXPECT_EQ(RasterLoadJpegFile((path + "x").c_str(), nullptr), nullptr);

    testing::internal::CaptureStderr();
    f = std::fopen(path.c_str(), "wb");
    std::fwrite(jpeg.data(), 1, 20, f);
    std::fclose(f);
    EXPECT_EQ(RasterLoadJpegFile(path.c_str(), nullptr), nullptr);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    std::remove(path.c_str());
}

} // namespace
