#include "raster/RasterBlit.h"

#include "raster/RasterBlend.h"
#include "raster/RasterSourceAlphaAdd.h"
#include "raster/RasterSourceAlphaCopy.h"
#include "raster/RasterView.h"

#include <cstdint>
#include <cstring>

using namespace raster_blend;

namespace {

// The clipped area: rows of width pixels from (srcX, srcY) in the source to (x, y) in the
// destination.
struct BlitArea {
    RasterView dest;
    RasterView src;
    int x, y, srcX, srcY, width, height;

    RasterPixel* DestRow(int row) const { return dest.Row(y + row) + x; }
    const RasterPixel* SrcRow(int row) const { return src.Row(srcY + row) + srcX; }
};

template <PixelOp Op> void BlendRows(const BlitArea& a, int w) {
    for (int row = 0; row < a.height; ++row) {
        RasterPixel* d = a.DestRow(row);
        const RasterPixel* s = a.SrcRow(row);
        for (int i = 0; i < a.width; ++i) {
            d[i] = Op(d[i], s[i], int(s[i] >> 24), w);
        }
    }
}

void BlendRows(const BlitArea& a, uint32_t mode, int w) {
    switch (mode & kRasterOperationMask) {
    case ModeCopy:
        if (w >= 1) {
            BlendRows<Copy>(a, w);
        }
        break;
    case ModeAdd:
        BlendRows<Add>(a, w);
        break;
    case ModeDodge:
        BlendRows<Dodge>(a, w);
        break;
    case ModeMultiply:
        BlendRows<Multiply>(a, w);
        break;
    case ModeSoftLight:
        BlendRows<SoftLight>(a, w);
        break;
    case ModeHsvAdjust:
        BlendRows<HsvAdjust>(a, w);
        break;
    case ModeUseSourceAlpha | ModeCopy:
        if (w == 256) {
            const RasterSourceAlphaCopyRowFn row = RasterSourceAlphaCopyRow();
            for (int r = 0; r < a.height; ++r) {
                row(a.DestRow(r), a.SrcRow(r), a.width);
            }
        } else if (w >= 1 && w <= 255) {
            const RasterSourceAlphaBlendRowFn row = RasterSourceAlphaBlendRow();
            for (int r = 0; r < a.height; ++r) {
                row(a.DestRow(r), a.SrcRow(r), a.width, w);
            }
        } else {
            BlendRows<CopySourceAlpha>(a, w);
        }
        break;
    case ModeUseSourceAlpha | ModeAdd:
        if (w >= 1 && w <= 256) {
            const RasterSourceAlphaAddRowFn row = RasterSourceAlphaAddRow();
            for (int r = 0; r < a.height; ++r) {
                row(a.DestRow(r), a.SrcRow(r), a.width, w);
            }
        } else {
            BlendRows<AddSourceAlpha>(a, w);
        }
        break;
    case ModeUseSourceAlpha | ModeDodge:
        BlendRows<DodgeSourceAlpha>(a, w);
        break;
    case ModeUseSourceAlpha | ModeMultiply:
        BlendRows<MultiplySourceAlpha>(a, w);
        break;
    case ModeUseSourceAlpha | ModeSoftLight:
        BlendRows<SoftLightSourceAlpha>(a, w);
        break;
    case ModeUseSourceAlpha | ModeHsvAdjust:
        BlendRows<HsvAdjustSourceAlpha>(a, w);
        break;
    default:
        break;
    }
}

} // namespace

void RasterBlit(RasterBitmap* dest, const RasterBitmap* src, int x, int y,
                const RasterRect* srcRect, float alpha, RasterMode mode) {
    if (!dest || !src || alpha == 0.0f || !(alpha == alpha)) {
        return;
    }
    BlitArea a{RasterView(dest), RasterView(src), 0, 0, 0, 0, 0, 0};
    if (!a.dest.Valid() || !a.src.Valid()) {
        return;
    }
    // 64-bit so that no coordinate, however far out, can overflow while it is clipped.
    int64_t left = 0, top = 0, right = a.src.width, bottom = a.src.height;
    int64_t dx = x, dy = y;
    if (srcRect) {
        left = srcRect->left;
        top = srcRect->top;
        right = srcRect->right < right ? srcRect->right : right;
        bottom = srcRect->bottom < bottom ? srcRect->bottom : bottom;
        if (left < 0) {
            dx -= left;
            left = 0;
        }
        if (top < 0) {
            dy -= top;
            top = 0;
        }
    }
    if (dx < 0) {
        left -= dx;
        dx = 0;
    }
    if (dy < 0) {
        top -= dy;
        dy = 0;
    }
    if (dx + (right - left) > a.dest.width) {
        right = a.dest.width - dx + left;
    }
    if (dy + (bottom - top) > a.dest.height) {
        bottom = a.dest.height - dy + top;
    }
    if (left >= right || top >= bottom) {
        return;
    }
    a.x = int(dx);
    a.y = int(dy);
    a.srcX = int(left);
    a.srcY = int(top);
    a.width = int(right - left);
    a.height = int(bottom - top);

    if ((mode & 0xFF) >= ModeChannelCopy) {
        const int db = int(mode >> 2) & 3;
        const int sb = int(mode) & 3;
        for (int row = 0; row < a.height; ++row) {
            RasterPixel* d = a.DestRow(row);
            const RasterPixel* s = a.SrcRow(row);
            for (int i = 0; i < a.width; ++i) {
                d[i] = ChannelCopy(d[i], s[i], db, sb);
            }
        }
        return;
    }
    if ((mode & kRasterOperationMask) == ModeCopy) {
        if (alpha == 1.0f) {
            for (int row = 0; row < a.height; ++row) {
                // memmove: a bitmap may be blitted onto itself.
                std::memmove(a.DestRow(row), a.SrcRow(row), size_t(a.width) * sizeof(RasterPixel));
            }
            return;
        }
        if (alpha == 0.5f) {
            for (int row = 0; row < a.height; ++row) {
                RasterPixel* d = a.DestRow(row);
                const RasterPixel* s = a.SrcRow(row);
                for (int i = 0; i < a.width; ++i) {
                    d[i] = Average(d[i], s[i]);
                }
            }
            return;
        }
    }
    const int w = WeightFromAlpha(alpha);
    if (w != 0) {
        BlendRows(a, mode, w);
    }
}

void RasterBlitRect(RasterBitmap* dest, const RasterBitmap* src, int x, int y, int srcX, int srcY,
                    int width, int height, float alpha, RasterMode mode) {
    RasterRect r;
    r.left = srcX;
    r.top = srcY;
    // Held inside int; a rectangle reaching further is cut at the source edge anyway.
    const int64_t right = int64_t(srcX) + width;
    const int64_t bottom = int64_t(srcY) + height;
    r.right = right > INT32_MAX ? INT32_MAX : (right < INT32_MIN ? INT32_MIN : int(right));
    r.bottom = bottom > INT32_MAX ? INT32_MAX : (bottom < INT32_MIN ? INT32_MIN : int(bottom));
    RasterBlit(dest, src, x, y, &r, alpha, mode);
}

void RasterCopy(RasterBitmap* dest, const RasterBitmap* src) {
    if (!dest || !src) {
        return;
    }
    dest->Resize(src->GetWidth(), src->GetHeight());
    RasterBlit(dest, src, 0, 0, nullptr, 1.0f, ModeCopy);
}
