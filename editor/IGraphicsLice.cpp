#include "editor/IGraphicsLice.h"

#include "editor/ImageCache.h"
#include "raster/MemoryBitmap.h"
#include "raster/RasterBlit.h"
#include "raster/RasterPrimitives.h"
#include "raster/SystemBitmap.h"

#include <algorithm>

namespace {

constexpr double kPi = 3.14159265358979323846;

RasterPixel PixelOf(const IRgba& c) {
    return RasterMakePixel(c.alpha, c.red, c.green, c.blue);
}

// The pixel at (x, y) of a bitmap stored top-down or bottom-up.
RasterPixel* PixelAt(RasterBitmap* bitmap, int x, int y) {
    const int row = bitmap->IsFlipped() ? bitmap->GetHeight() - 1 - y : y;
    return bitmap->GetBits() + ptrdiff_t(row) * bitmap->GetRowSpan() + x;
}

} // namespace

RasterMode RasterModeOf(const IBlend* blend) {
    switch (blend ? blend->mode : BlendNone) {
    case BlendCopy:
        return ModeCopy;
    case BlendAdd:
        return ModeAdd | ModeUseSourceAlpha;
    case BlendDodge:
        return ModeDodge | ModeUseSourceAlpha;
    default:
        return ModeCopy | ModeUseSourceAlpha;
    }
}

float WeightOf(const IBlend* blend) {
    return blend ? blend->weight : 1.0f;
}

IGraphicsLice::IGraphicsLice(IEditorDelegate* plug, int width, int height, int fps)
    : IGraphicsBase(plug, width, height, fps) {}

IGraphicsLice::~IGraphicsLice() {
    delete surface_;
    delete scratch_;
}

RasterBitmap* IGraphicsLice::Surface() const {
    return surface_;
}

void IGraphicsLice::PrepareSurface() {
    delete surface_;
    delete scratch_;
    surface_ = new SystemBitmap(Width(), Height());
    scratch_ = new MemoryBitmap();
}

void IGraphicsLice::ResizeSurface() {
    if (surface_) {
        surface_->Resize(Width(), Height());
    }
}

bool IGraphicsLice::BlitBitmap(const IBitmapRef& bitmap, const IRectangle& dest, int srcX, int srcY,
                               const IBlend* blend) {
    const IRectangle clipped = dest.Intersection(DrawArea());
    if (clipped.Empty()) {
        return true;
    }
    RasterBlitRect(surface_, bitmap.bitmap, clipped.left, clipped.top,
                   srcX + clipped.left - dest.left, srcY + clipped.top - dest.top, clipped.Width(),
                   clipped.Height(), WeightOf(blend), RasterModeOf(blend));
    return true;
}

bool IGraphicsLice::BlitRotated(const IBitmapRef& bitmap, int centreX, int centreY, double angle,
                                int yOffsetZero, const IBlend* blend) {
    const int w = bitmap.width;
    const int h = bitmap.height;
    RasterRotatedBlit(surface_, bitmap.bitmap, centreX - w / 2, centreY - h / 2, w, h, 0.0f, 0.0f,
                      float(w), float(h), float(angle), false, WeightOf(blend),
                      RasterModeOf(blend) | ModeFilter, 0.0f, float(yOffsetZero));
    return true;
}

bool IGraphicsLice::BlitRotatedComposite(const IBitmapRef& base, const IBitmapRef& mask,
                                         const IBitmapRef& top, int x, int y, double angle,
                                         const IBlend* blend) {
    const int w = base.width;
    const int h = base.height;
    const float radians = float(angle * kPi / 180.0);
    const float xOffset = (w & 1) ? -0.5f : 0.0f;
    if (!scratch_) {
        scratch_ = new MemoryBitmap();
    }
    RasterCopy(scratch_, base.bitmap);
    // Keep the base's colours but make it transparent: the mask adds its alpha back where the
    // pointer may show.
    RasterMaskFill(scratch_, 0, 0, w, h, 0x00FFFFFF, 0);
    RasterRotatedBlit(scratch_, mask.bitmap, 0, 0, w, h, 0.0f, 0.0f, float(w), float(h), radians,
                      true, 1.0f, ModeAdd | ModeUseSourceAlpha | ModeFilter, xOffset, 0.0f);
    RasterRotatedBlit(scratch_, top.bitmap, 0, 0, w, h, 0.0f, 0.0f, float(w), float(h), radians,
                      true, 1.0f, ModeCopy | ModeUseSourceAlpha | ModeFilter, xOffset, 0.0f);
    const IRectangle clipped = IRectangle(x, y, x + w, y + h).Intersection(DrawArea());
    RasterBlitRect(surface_, scratch_, clipped.left, clipped.top, clipped.left - x, clipped.top - y,
                   clipped.Width(), clipped.Height(), WeightOf(blend), RasterModeOf(blend));
    return true;
}

bool IGraphicsLice::PlotPoint(const IRgba& colour, float x, float y, const IBlend* blend) {
    RasterPutPixel(surface_, int(x + 0.5f), int(y + 0.5f), PixelOf(colour), WeightOf(blend),
                   RasterModeOf(blend));
    return true;
}

bool IGraphicsLice::PutPixel(const IRgba& colour, int x, int y) {
    if (!surface_ || !surface_->GetBits() || x < 0 || y < 0 || x >= surface_->GetWidth() ||
        y >= surface_->GetHeight()) {
        return true;
    }
    *PixelAt(surface_, x, y) = PixelOf(colour);
    return true;
}

bool IGraphicsLice::StrokeLine(const IRgba& colour, float x1, float y1, float x2, float y2,
                               const IBlend* blend, bool antialias) {
    RasterLine(surface_, int(x1), int(y1), int(x2), int(y2), PixelOf(colour), WeightOf(blend),
               RasterModeOf(blend), antialias);
    return true;
}

bool IGraphicsLice::StrokeArc(const IRgba& colour, float cx, float cy, float r, float startAngle,
                              float endAngle, const IBlend* blend, bool antialias) {
    RasterArc(surface_, cx, cy, r, startAngle, endAngle, PixelOf(colour), WeightOf(blend),
              RasterModeOf(blend), antialias);
    return true;
}

bool IGraphicsLice::StrokeCircle(const IRgba& colour, float cx, float cy, float r,
                                 const IBlend* blend, bool antialias) {
    RasterCircle(surface_, cx, cy, r, PixelOf(colour), WeightOf(blend), RasterModeOf(blend),
                 antialias);
    return true;
}

bool IGraphicsLice::FillRectangle(const IRgba& colour, const IRectangle& rect,
                                  const IBlend* blend) {
    RasterFillRect(surface_, rect.left, rect.top, rect.Width(), rect.Height(), PixelOf(colour),
                   WeightOf(blend), RasterModeOf(blend));
    return true;
}

IRgba IGraphicsLice::ReadPixel(int x, int y) {
    const RasterPixel p = RasterGetPixel(surface_, x, y);
    return IRgba(int(p >> 24), int((p >> 16) & 0xFF), int((p >> 8) & 0xFF), int(p & 0xFF));
}

void* IGraphicsLice::SurfacePixels() {
    return surface_ ? surface_->GetBits() : nullptr;
}

IBitmapRef IGraphicsLice::LoadBitmapResource(int id, const char* name, int frames) {
    ImageCache& cache = ImageCache::Instance();
    RasterBitmap* bitmap = cache.Find(id);
    if (!bitmap) {
        // Decoded outside the cache lock: two editors loading the same new image at once both
        // decode it, and later lookups find the first.
        bitmap = DecodeImageResource(id, name);
        if (!bitmap) {
            // The artwork is compiled into the module, so this is a build fault. The controls
            // then draw nothing instead of taking the host down.
            return IBitmapRef();
        }
        cache.Add(id, bitmap);
    }
    IBitmapRef ref;
    ref.bitmap = bitmap;
    ref.width = bitmap->GetWidth();
    ref.height = bitmap->GetHeight();
    ref.frames = frames;
    return ref;
}

IBitmapRef IGraphicsLice::ScaledCopy(const IBitmapRef& bitmap, int width, int height) {
    auto* copy = new MemoryBitmap(width, height);
    RasterScaledBlit(copy, bitmap.bitmap, 0, 0, width, height, 0.0f, 0.0f, float(bitmap.width),
                     float(bitmap.height), 1.0f, ModeCopy | ModeFilter);
    IBitmapRef ref;
    ref.bitmap = copy;
    ref.width = copy->GetWidth();
    ref.height = copy->GetHeight();
    ref.frames = bitmap.frames;
    KeepBitmap(ref);
    return ref;
}

IBitmapRef IGraphicsLice::CroppedCopy(const IBitmapRef& bitmap, const IRectangle& rect) {
    auto* copy = new MemoryBitmap(rect.Width(), rect.Height());
    RasterBlitRect(copy, bitmap.bitmap, 0, 0, rect.left, rect.top, rect.Width(), rect.Height(),
                   1.0f, ModeCopy);
    IBitmapRef ref;
    ref.bitmap = copy;
    ref.width = copy->GetWidth();
    ref.height = copy->GetHeight();
    ref.frames = bitmap.frames;
    KeepBitmap(ref);
    return ref;
}

void IGraphicsLice::VerticalLine(const IRgba& colour, int x, int yLo, int yHi) {
    if (!surface_ || !surface_->GetBits() || Width() <= 0 || Height() <= 0) {
        return;
    }
    // Held to the editor's size, which never exceeds the surface's.
    x = std::clamp(x, 0, std::min(Width(), surface_->GetWidth()) - 1);
    const int maxY = std::min(Height(), surface_->GetHeight()) - 1;
    yLo = std::clamp(yLo, 0, maxY);
    yHi = std::clamp(yHi, 0, maxY);
    const RasterPixel pixel = PixelOf(colour);
    for (int y = yLo; y <= yHi; ++y) {
        *PixelAt(surface_, x, y) = pixel;
    }
}

void IGraphicsLice::HorizontalLine(const IRgba& colour, int y, int xLo, int xHi) {
    if (!surface_ || !surface_->GetBits() || Width() <= 0 || Height() <= 0) {
        return;
    }
    y = std::clamp(y, 0, std::min(Height(), surface_->GetHeight()) - 1);
    const int maxX = std::min(Width(), surface_->GetWidth()) - 1;
    xLo = std::clamp(xLo, 0, maxX);
    xHi = std::clamp(xHi, 0, maxX);
    const RasterPixel pixel = PixelOf(colour);
    RasterPixel* row = PixelAt(surface_, 0, y);
    for (int x = xLo; x <= xHi; ++x) {
        row[x] = pixel;
    }
}

void IGraphicsLice::KeepBitmap(const IBitmapRef& bitmap) {
    if (bitmap.bitmap) {
        ImageCache::Instance().Add(ImageCache::kDerived, bitmap.bitmap);
    }
}

void IGraphicsLice::DropBitmap(const IBitmapRef& bitmap) {
    ImageCache::Instance().Drop(bitmap.bitmap);
}
