#pragma once

#include "editor/IGraphicsBase.h"

#include <cstdint>
#include <string>
#include <vector>

// A graphics core without pixels: every drawing slot records what it was asked to draw, the
// window slots behave as with no window open.
class RecordingGraphics : public IGraphicsBase {
public:
    struct Blit {
        const RasterBitmap* bitmap;
        IRectangle dest;
        int srcX;
        int srcY;
        int mode;
        float weight;
    };
    struct Entry {
        IControl* control;
        IParameter* param;
    };

    RecordingGraphics(IEditorDelegate* plug, int width, int height, int fps = 0)
        : IGraphicsBase(plug, width, height, fps) {}

    void PrepareSurface() override {}
    bool PresentArea(const IRectangle& area) override {
        presented.push_back(area);
        return true;
    }
    bool BlitBitmap(const IBitmapRef& bitmap, const IRectangle& dest, int srcX, int srcY,
                    const IBlend* blend) override {
        const IBlend b = blend ? *blend : IBlend();
        blits.push_back({bitmap.bitmap, dest, srcX, srcY, b.mode, b.weight});
        return true;
    }
    bool BlitRotated(const IBitmapRef&, int, int, double, int, const IBlend*) override {
        return true;
    }
    bool BlitRotatedComposite(const IBitmapRef&, const IBitmapRef&, const IBitmapRef&, int, int,
                              double, const IBlend*) override {
        return true;
    }
    bool PlotPoint(const IRgba&, float, float, const IBlend*) override { return true; }
    bool PutPixel(const IRgba&, int, int) override { return true; }
    bool StrokeLine(const IRgba&, float x1, float y1, float x2, float y2, const IBlend*,
                    bool) override {
        lines.push_back(IRectangle(int(x1), int(y1), int(x2), int(y2)));
        return true;
    }
    bool StrokeArc(const IRgba&, float, float, float, float, float, const IBlend*, bool) override {
        return true;
    }
    bool StrokeCircle(const IRgba&, float, float, float, const IBlend*, bool) override {
        return true;
    }
    bool FillRectangle(const IRgba&, const IRectangle&, const IBlend*) override { return true; }
    bool DrawTextInRect(const ITextStyle&, const char*, const IRectangle&) override { return true; }
    IRgba ReadPixel(int, int) override { return IRgba(0, 0, 0, 0); }
    void* SurfacePixels() override { return nullptr; }
    void BeginValueEntry(IControl* control, IParameter* param) override {
        entries.push_back({control, param});
    }
    void GetHostFolder(std::string& out) override { out.clear(); }
    void GetModuleFolder(std::string& out) override { out.clear(); }
    void AskForFile(std::string& out, int, const char*) override { out.clear(); }
    bool AskForColour(IRgba&, const char*) override { return false; }
    bool OpenWebLink(const char*, const char*, const char*, const char*) override { return false; }
    void* OpenEditorWindow(void*) override { return nullptr; }
    void CloseEditorWindow() override {}
    void* NativeWindow() override { return nullptr; }
    IBitmapRef LoadBitmapResource(int id, const char*, int frames) override {
        IBitmapRef ref;
        ref.bitmap = reinterpret_cast<RasterBitmap*>(std::intptr_t(0x1000 + id));
        // The panel's images have their real sizes; any other id is a 40 x 80 strip.
        switch (id) {
        case 101:
            ref.width = 80, ref.height = 80 * 65;
            break;
        case 102:
            ref.width = 465, ref.height = 336;
            break;
        case 103:
            ref.width = 319, ref.height = 225;
            break;
        case 104:
            ref.width = 8, ref.height = 16;
            break;
        default:
            ref.width = 40, ref.height = 80;
            break;
        }
        ref.frames = frames;
        return ref;
    }
    IBitmapRef ScaledCopy(const IBitmapRef& bitmap, int, int) override { return bitmap; }
    IBitmapRef CroppedCopy(const IBitmapRef& bitmap, const IRectangle&) override { return bitmap; }
    void KeepBitmap(const IBitmapRef&) override {}
    void DropBitmap(const IBitmapRef&) override {}

    static constexpr int kFakeKnob = 101;

    std::vector<Blit> blits;
    std::vector<IRectangle> presented;
    std::vector<IRectangle> lines;
    std::vector<Entry> entries;
};
