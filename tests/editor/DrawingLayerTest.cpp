#include "editor/IControl.h"
#include "editor/IGraphicsLinux.h"
#include "editor/ImageCache.h"
#include "platform/HostProcess.h"
#include "raster/MemoryBitmap.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

// A control whose drawing is given by the test, so drawing runs inside a repaint's area.
class DrawingControl : public IControl {
public:
    DrawingControl(const IRectangle& rect, std::function<void(IGraphicsBase*)> draw)
        : IControl(nullptr, rect), draw_(std::move(draw)) {}
    bool Draw(IGraphicsBase* graphics) override {
        draw_(graphics);
        return true;
    }

private:
    std::function<void(IGraphicsBase*)> draw_;
};

class DrawingLayer : public ::testing::Test {
protected:
    DrawingLayer() : graphics(nullptr, 20, 10, 0) {
        graphics.PrepareSurface();
        graphics.FillRectangle(kWhite, IRectangle(0, 0, 20, 10), nullptr);
    }

    // A 2 x 4 image of two frames: the top frame red, the bottom frame half-transparent blue.
    IBitmapRef TwoFrames() {
        auto* bitmap = new MemoryBitmap(2, 4);
        for (int i = 0; i < 8; ++i) {
            bitmap->GetBits()[i] = i < 4 ? 0xFFFF0000u : 0x800000FFu;
        }
        IBitmapRef ref;
        ref.bitmap = bitmap;
        ref.width = 2;
        ref.height = 4;
        ref.frames = 2;
        graphics.KeepBitmap(ref);
        return ref;
    }

    const IRgba kWhite{255, 255, 255, 255};
    const IRgba kBlack{255, 0, 0, 0};
    IGraphicsLinux graphics;
};

} // namespace

TEST_F(DrawingLayer, PixelsAndDirectLines) {
    EXPECT_EQ(graphics.ReadPixel(3, 3), kWhite);
    EXPECT_EQ(graphics.ReadPixel(-1, 3), IRgba(0, 0, 0, 0));
    EXPECT_EQ(graphics.ReadPixel(20, 0), IRgba(0, 0, 0, 0));

    graphics.PutPixel(IRgba(7, 1, 2, 3), 4, 5);
    EXPECT_EQ(graphics.ReadPixel(4, 5), IRgba(7, 1, 2, 3)) << "stored as given, no blending";
    graphics.PutPixel(kBlack, 20, 5);
    graphics.PutPixel(kBlack, -1, 5);

    graphics.VerticalLine(kBlack, -5, 8, 2);
    EXPECT_EQ(graphics.ReadPixel(0, 5), kWhite) << "yLo above yHi draws nothing";
    graphics.VerticalLine(kBlack, -5, 2, 50);
    EXPECT_EQ(graphics.ReadPixel(0, 1), kWhite);
    for (int y = 2; y < 10; ++y) {
        EXPECT_EQ(graphics.ReadPixel(0, y), kBlack) << "held to column 0 and the last row";
    }
    graphics.HorizontalLine(IRgba(255, 10, 20, 30), 99, 15, 30);
    EXPECT_EQ(graphics.ReadPixel(14, 9), kWhite);
    EXPECT_EQ(graphics.ReadPixel(15, 9), IRgba(255, 10, 20, 30));
    EXPECT_EQ(graphics.ReadPixel(19, 9), IRgba(255, 10, 20, 30));

    const IBlend half(BlendCopy, 0.5f);
    graphics.PlotPoint(kBlack, 6.6f, 1.4f, &half);
    EXPECT_EQ(graphics.ReadPixel(7, 1), IRgba(254, 127, 127, 127)) << "rounded, half weight";
    graphics.StrokeLine(kBlack, 10.0f, 0.0f, 10.0f, 9.0f, nullptr, false);
    EXPECT_EQ(graphics.ReadPixel(10, 4), kBlack);
}

TEST_F(DrawingLayer, BlitsAreClippedToTheRepaintedArea) {
    const IBitmapRef strip = TwoFrames();
    graphics.AddControl(new DrawingControl(IRectangle(0, 0, 20, 10), [&](IGraphicsBase* g) {
        g->BlitFrame(strip, IRectangle(2, 2, 4, 4), 2);           // blue over white
        g->BlitFrame(strip, IRectangle(8, 2, 10, 4), 1, nullptr); // red
        const IBlend copy(BlendCopy, 1.0f);
        g->BlitFrame(strip, IRectangle(12, 2, 14, 4), 2, &copy); // blue, alpha copied
    }));
    graphics.RedrawArea(IRectangle(0, 0, 9, 10));
    const IRgba blended = graphics.ReadPixel(2, 2);
    EXPECT_EQ(blended.blue, 255);
    EXPECT_NEAR(blended.red, 127, 1) << "BlendNone honours the source alpha";
    EXPECT_EQ(graphics.ReadPixel(8, 2), IRgba(255, 255, 0, 0));
    EXPECT_EQ(graphics.ReadPixel(9, 2), kWhite) << "outside the repainted area";
    EXPECT_EQ(graphics.ReadPixel(12, 2), kWhite);

    graphics.RedrawArea(IRectangle(9, 0, 20, 10));
    EXPECT_EQ(graphics.ReadPixel(9, 2), IRgba(255, 255, 0, 0));
    EXPECT_EQ(graphics.ReadPixel(12, 3), IRgba(0x80, 0, 0, 255)) << "BlendCopy copies";
}

TEST_F(DrawingLayer, DerivedBitmapsKeepFramesAndLiveInTheCache) {
    const IBitmapRef strip = TwoFrames();
    const int cached = ImageCache::Instance().Count();
    const IBitmapRef scaled = graphics.ScaledCopy(strip, 4, 8);
    EXPECT_EQ(scaled.width, 4);
    EXPECT_EQ(scaled.height, 8);
    EXPECT_EQ(scaled.frames, 2);
    EXPECT_EQ(RasterGetPixel(scaled.bitmap, 0, 0), 0xFFFF0000u);
    const IBitmapRef cropped = graphics.CroppedCopy(strip, IRectangle(0, 2, 2, 4));
    EXPECT_EQ(cropped.height, 2);
    EXPECT_EQ(cropped.frames, 2);
    EXPECT_EQ(RasterGetPixel(cropped.bitmap, 1, 1), 0x800000FFu);
    EXPECT_EQ(ImageCache::Instance().Count(), cached + 2);

    MemoryBitmap stranger(1, 1);
    IBitmapRef notHeld;
    notHeld.bitmap = &stranger;
    graphics.DropBitmap(notHeld);
    EXPECT_EQ(ImageCache::Instance().Count(), cached + 2);
    graphics.DropBitmap(scaled);
    graphics.DropBitmap(cropped);
    graphics.DropBitmap(strip);
    EXPECT_EQ(ImageCache::Instance().Count(), cached - 1);
}

TEST(BlendTranslation, ModesAndWeights) {
    const IBlend add(BlendAdd, 0.5f), dodge(BlendDodge, 1.0f), copy(BlendCopy, 1.0f), odd(9, 0.3f);
    EXPECT_EQ(RasterModeOf(nullptr), 0x10000u);
    EXPECT_EQ(RasterModeOf(&copy), 0u);
    EXPECT_EQ(RasterModeOf(&add), 0x10001u);
    EXPECT_EQ(RasterModeOf(&dodge), 0x10002u);
    EXPECT_EQ(RasterModeOf(&odd), 0x10000u);
    EXPECT_EQ(WeightOf(nullptr), 1.0f);
    EXPECT_EQ(WeightOf(&odd), 0.3f);
    EXPECT_EQ(FolderOfPath("/usr/lib/vst/Kelvorantumix_x64.so"), "/usr/lib/vst/");
    EXPECT_EQ(FolderOfPath("plugin.so"), "");
    EXPECT_EQ(FolderOfPath("/usr/lib/"), "");
}

TEST_F(DrawingLayer, RotatedCompositeTurnsThePointerOverTheBase) {
    // 6 x 6: an opaque red base, an empty mask, and a top whose left half is opaque green.
    const auto make = [&](RasterPixel left, RasterPixel right) {
        auto* bitmap = new MemoryBitmap(6, 6);
        for (int i = 0; i < 36; ++i) {
            bitmap->GetBits()[i] = i % 6 < 3 ? left : right;
        }
        IBitmapRef ref;
        ref.bitmap = bitmap;
        ref.width = 6;
        ref.height = 6;
        graphics.KeepBitmap(ref);
        return ref;
    };
    const IBitmapRef base = make(0xFFFF0000u, 0xFFFF0000u);
    const IBitmapRef mask = make(0, 0);
    const IBitmapRef top = make(0xFF00FF00u, 0);
    double angle = 0.0;
    graphics.AddControl(new DrawingControl(IRectangle(0, 0, 20, 10), [&](IGraphicsBase* g) {
        g->BlitRotatedComposite(base, mask, top, 2, 2, angle);
    }));
    graphics.RedrawArea(IRectangle(0, 0, 20, 10));
    EXPECT_EQ(graphics.ReadPixel(3, 4).green, 255) << "the pointer shows";
    EXPECT_EQ(graphics.ReadPixel(7, 4), kWhite) << "where mask and top are empty, nothing";

    angle = 180.0;
    graphics.FillRectangle(kWhite, IRectangle(0, 0, 20, 10), nullptr);
    graphics.RedrawArea(IRectangle(0, 0, 20, 10));
    EXPECT_EQ(graphics.ReadPixel(3, 4), kWhite);
    EXPECT_EQ(graphics.ReadPixel(7, 4).green, 255) << "turned half a circle";

    graphics.FillRectangle(kWhite, IRectangle(0, 0, 20, 10), nullptr);
    graphics.RedrawArea(IRectangle(0, 0, 5, 10));
    EXPECT_EQ(graphics.ReadPixel(7, 4), kWhite) << "clipped to the repainted area";
    for (const IBitmapRef& b : {base, mask, top}) {
        graphics.DropBitmap(b);
    }
}
