#include "raster/MemoryBitmap.h"
#include "raster/SystemBitmap.h"

#include "RasterTestUtil.h"
#include "platform/Surface.h"

#include <gtest/gtest.h>

namespace {

TEST(MemoryBitmap, GrowsByAQuarterAndNeverShrinks) {
    MemoryBitmap b(10, 10);
    EXPECT_EQ(b.GetCapacity(), 400);
    EXPECT_FALSE(b.Resize(10, 10));
    EXPECT_TRUE(b.Resize(20, 10));
    EXPECT_EQ(b.GetCapacity(), 1000);
    EXPECT_EQ(b.GetRowSpan(), 20);
    const RasterPixel* grown = b.GetBits();
    EXPECT_TRUE(b.Resize(10, 10));
    EXPECT_EQ(b.GetCapacity(), 1000);
    EXPECT_EQ(b.GetBits(), grown);
    EXPECT_EQ(b.GetRowSpan(), 10);
}

TEST(MemoryBitmap, KeepsBytesAcrossGrowth) {
    MemoryBitmap b(4, 1);
    for (int i = 0; i < 4; ++i) {
        b.GetBits()[i] = 0x01010101u * (i + 1);
    }
    ASSERT_TRUE(b.Resize(400, 300));
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(b.GetBits()[i], 0x01010101u * (i + 1));
    }
}

TEST(MemoryBitmap, EmptyAndInvalidSizesHaveNoPixels) {
    for (auto [w, h] : {std::pair{0, 0}, {-3, 5}, {-3, -5}, {5, 0}, {100000, 100000}}) {
        MemoryBitmap b(w, h);
        EXPECT_EQ(b.GetBits(), nullptr) << w << "x" << h;
        EXPECT_EQ(b.GetWidth(), 0);
        EXPECT_EQ(b.GetHeight(), 0);
    }
    MemoryBitmap scratch;
    EXPECT_EQ(scratch.GetBits(), nullptr);
    EXPECT_TRUE(scratch.Resize(3, 2));
    EXPECT_NE(scratch.GetBits(), nullptr);
    EXPECT_TRUE(scratch.Resize(-3, -2));
    EXPECT_EQ(scratch.GetBits(), nullptr);
    EXPECT_EQ(scratch.GetWidth(), 0);
    EXPECT_EQ(scratch.GetCapacity(), 0);
}

TEST(SystemBitmap, KeepsTheLargestBufferUntilASideMustGrow) {
    SystemBitmap b(200, 100);
    ASSERT_NE(b.GetDeviceContext(), nullptr);
    const RasterPixel* bits = b.GetBits();
    ASSERT_NE(bits, nullptr);
    EXPECT_FALSE(b.Resize(200, 100));
    EXPECT_TRUE(b.Resize(150, 80));
    EXPECT_EQ(b.GetBits(), bits);
    EXPECT_EQ(b.GetRowSpan(), 200);
    EXPECT_EQ(b.GetWidth(), 150);
    EXPECT_TRUE(b.Resize(180, 100));
    EXPECT_EQ(b.GetBits(), bits);
    EXPECT_TRUE(b.Resize(201, 100));
    EXPECT_EQ(b.GetRowSpan(), 201);
    EXPECT_NE(b.GetBits(), nullptr);
}

TEST(SystemBitmap, SurfaceHandleShowsTheSelectedPixels) {
    SystemBitmap b(30, 20);
    auto* surface = static_cast<SurfaceHandle*>(b.GetDeviceContext());
    SurfacePixels shown = GetSurfacePixels(surface);
    EXPECT_EQ(shown.bits, b.GetBits());
    EXPECT_EQ(shown.width, 30);
    EXPECT_EQ(shown.rowSpan, 30);
    EXPECT_FALSE(shown.bottomUp);
    b.Resize(40, 20);
    shown = GetSurfacePixels(surface);
    EXPECT_EQ(shown.bits, b.GetBits());
    EXPECT_EQ(shown.width, 40);
    b.Resize(0, 50);
    EXPECT_EQ(GetSurfacePixels(surface).bits, nullptr);
}

TEST(SystemBitmap, ZeroSideReleasesThePixels) {
    SystemBitmap b(20, 10);
    EXPECT_FALSE(b.Resize(0, 50));
    EXPECT_EQ(b.GetBits(), nullptr);
    EXPECT_EQ(b.GetWidth(), 0);
    EXPECT_EQ(b.GetHeight(), 50);
    EXPECT_TRUE(b.Resize(5, 5));
    EXPECT_NE(b.GetBits(), nullptr);
}

class HandlelessBitmap : public SystemBitmap {
public:
    HandlelessBitmap() : SystemBitmap(nullptr, 10, 10) {}
};

TEST(SystemBitmap, WithoutSurfaceHandleStaysEmpty) {
    HandlelessBitmap b;
    EXPECT_EQ(b.GetBits(), nullptr);
    EXPECT_FALSE(b.Resize(20, 20));
    EXPECT_EQ(b.GetWidth(), 0);
    EXPECT_EQ(b.GetHeight(), 0);
}

TEST(RasterGetPixel, AddressesRowsAndRejectsOutside) {
    raster_test::FlippedBitmap f(3, 2);
    f.At(2, 0) = 0x11223344;
    EXPECT_EQ(RasterGetPixel(&f, 2, 0), 0x11223344u);
    EXPECT_EQ(f.GetBits()[1 * f.GetRowSpan() + 2], 0x11223344u); // stored in the last row
    MemoryBitmap m(3, 2);
    m.GetBits()[5] = 7;
    EXPECT_EQ(RasterGetPixel(&m, 2, 1), 7u);
    EXPECT_EQ(RasterGetPixel(&m, 3, 0), 0u);
    EXPECT_EQ(RasterGetPixel(&m, 0, -1), 0u);
    EXPECT_EQ(RasterGetPixel(&m, 0, 2), 0u);
    MemoryBitmap empty;
    EXPECT_EQ(RasterGetPixel(&empty, 0, 0), 0u);
    EXPECT_EQ(RasterGetPixel(nullptr, 0, 0), 0u);
}

} // namespace
