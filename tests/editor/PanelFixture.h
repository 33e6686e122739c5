#pragma once

#include "TestPlug.h"
#include "editor/IGraphicsLinux.h"
#include "effect/PlugExample.h"
#include "raster/MemoryBitmap.h"
#include "raster/RasterBlit.h"
#include "raster/RasterImageLoad.h"

#include <gtest/gtest.h>

#include <memory>

// The Kelvorantumix plug-in as a host has it open, with its editor drawn off screen.
class PanelFixture : public ::testing::Test {
protected:
    void SetUp() override {
        HostCallLog::Instance().Clear();
        plug = new PlugExample(HostCallLog::Callback);
        Dispatch(effOpen);
        editor = static_cast<IGraphicsLinux*>(plug->Editor());
        ASSERT_NE(editor, nullptr);
        Paint();
    }
    void TearDown() override { Dispatch(effClose); }

    VstIntPtr Dispatch(VstInt32 opcode) {
        return plug->Effect()->dispatcher(plug->Effect(), opcode, 0, 0, nullptr, 0.0f);
    }
    void SetParameter(int index, float value) {
        plug->Effect()->setParameter(plug->Effect(), index, value);
    }

    // A timer tick with its repaint.
    void Paint() {
        IRectangle area;
        if (editor->CollectDirtyArea(area)) {
            editor->RedrawArea(area);
        }
    }

    void Click(int x, int y) {
        IMouseKeys left;
        left.left = true;
        editor->MouseDown(x, y, left);
        editor->MouseUp(x, y, left);
    }

    // A footswitch stomp held long enough for a tick to see it.
    void Stomp(int x, int y) {
        IMouseKeys left;
        left.left = true;
        editor->MouseDown(x, y, left);
        Paint();
        editor->MouseUp(x, y, left);
        Paint();
    }

    static std::unique_ptr<RasterBitmap> Decode(int id) {
        return std::unique_ptr<RasterBitmap>(RasterLoadPngResource(nullptr, id, nullptr));
    }

    // A copy of the surface as it is now.
    std::unique_ptr<MemoryBitmap> CopyOfSurface() const {
        auto copy = std::make_unique<MemoryBitmap>();
        RasterCopy(copy.get(), editor->Surface());
        return copy;
    }

    // Counts pixels of rect whose colour differs between the surface and expected (which
    // covers the whole editor).
    int DifferingPixels(const RasterBitmap& expected, const IRectangle& rect) const {
        int differing = 0;
        for (int y = rect.top; y < rect.bottom; ++y) {
            for (int x = rect.left; x < rect.right; ++x) {
                const RasterPixel a = RasterGetPixel(editor->Surface(), x, y) & 0xFFFFFF;
                const RasterPixel b = RasterGetPixel(&expected, x, y) & 0xFFFFFF;
                differing += a != b;
            }
        }
        return differing;
    }

    // The background with frame `frame` of a vertical strip composited at rect, as the panel
    // should show it.
    static std::unique_ptr<MemoryBitmap> PanelWith(int stripId, int frames, int frame,
                                                   const IRectangle& rect) {
        auto expected = std::make_unique<MemoryBitmap>();
        RasterCopy(expected.get(), Decode(102).get());
        const auto strip = Decode(stripId);
        const int frameHeight = strip->GetHeight() / frames;
        RasterBlitRect(expected.get(), strip.get(), rect.left, rect.top, 0,
                       (frame - 1) * frameHeight, rect.Width(), rect.Height(), 1.0f,
                       ModeCopy | ModeUseSourceAlpha);
        return expected;
    }

    PlugExample* plug = nullptr; // deleted by effClose
    IGraphicsLinux* editor = nullptr;
};
