#pragma once

#include "editor/IGraphicsBase.h"
#include "raster/RasterMode.h"

class MemoryBitmap;
class RasterBitmap;
class SystemBitmap;

// The drawing half of the editor, on the raster library: the backing surface every control
// draws into, a scratch bitmap for composites, and the module-wide image cache. The platform
// class below it supplies the window and decodes image resources.
class IGraphicsLice : public IGraphicsBase {
public:
    IGraphicsLice(IEditorDelegate* plug, int width, int height, int fps);
    ~IGraphicsLice() override;

    void PrepareSurface() override;
    bool BlitBitmap(const IBitmapRef& bitmap, const IRectangle& dest, int srcX, int srcY,
                    const IBlend* blend = nullptr) override;
    bool BlitRotated(const IBitmapRef& bitmap, int centreX, int centreY, double angle,
                     int yOffsetZero = 0, const IBlend* blend = nullptr) override;
    bool BlitRotatedComposite(const IBitmapRef& base, const IBitmapRef& mask, const IBitmapRef& top,
                              int x, int y, double angle, const IBlend* blend = nullptr) override;
    bool PlotPoint(const IRgba& colour, float x, float y, const IBlend* blend = nullptr) override;
    bool PutPixel(const IRgba& colour, int x, int y) override;
    bool StrokeLine(const IRgba& colour, float x1, float y1, float x2, float y2,
                    const IBlend* blend = nullptr, bool antialias = false) override;
    bool StrokeArc(const IRgba& colour, float cx, float cy, float r, float startAngle,
                   float endAngle, const IBlend* blend = nullptr, bool antialias = false) override;
    bool StrokeCircle(const IRgba& colour, float cx, float cy, float r,
                      const IBlend* blend = nullptr, bool antialias = false) override;
    bool FillRectangle(const IRgba& colour, const IRectangle& rect,
                       const IBlend* blend = nullptr) override;
    IRgba ReadPixel(int x, int y) override;
    void* SurfacePixels() override;
    IBitmapRef LoadBitmapResource(int id, const char* name, int frames) override;
    IBitmapRef ScaledCopy(const IBitmapRef& bitmap, int width, int height) override;
    IBitmapRef CroppedCopy(const IBitmapRef& bitmap, const IRectangle& rect) override;
    void VerticalLine(const IRgba& colour, int x, int yLo, int yHi) override;
    void HorizontalLine(const IRgba& colour, int y, int xLo, int xHi) override;
    void KeepBitmap(const IBitmapRef& bitmap) override;
    void DropBitmap(const IBitmapRef& bitmap) override;

    // A new bitmap decoded from the module's image resource, chosen by the file name's
    // extension; null when there is none.
    virtual RasterBitmap* DecodeImageResource(int id, const char* name) = 0;

    RasterBitmap* Surface() const;

protected:
    // Resizes the surface to the editor's size, for the platform's ChangeSize.
    void ResizeSurface();

private:
    SystemBitmap* surface_ = nullptr;
    MemoryBitmap* scratch_ = nullptr;
};

// The raster library's mode word for a blend; null means BlendNone.
RasterMode RasterModeOf(const IBlend* blend);
float WeightOf(const IBlend* blend);
