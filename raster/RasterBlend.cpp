#include "raster/RasterBlend.h"

#include "raster/RasterMode.h"

namespace raster_blend {
namespace {

constexpr uint16_t Reciprocal(int i) {
    return i == 0 ? 0 : uint16_t(65536 / i - 1);
}

} // namespace

const uint16_t HueReciprocalTable[256] = {
#define KVX_R4(i) Reciprocal(i), Reciprocal(i + 1), Reciprocal(i + 2), Reciprocal(i + 3)
#define KVX_R16(i) KVX_R4(i), KVX_R4(i + 4), KVX_R4(i + 8), KVX_R4(i + 12)
#define KVX_R64(i) KVX_R16(i), KVX_R16(i + 16), KVX_R16(i + 32), KVX_R16(i + 48)
    KVX_R64(0), KVX_R64(64), KVX_R64(128), KVX_R64(192)
#undef KVX_R64
#undef KVX_R16
#undef KVX_R4
};

RasterPixel HsvAdjust(RasterPixel d, RasterPixel s, int sa, int w) {
    const int bd = Ch(d, 0), gd = Ch(d, 8), rd = Ch(d, 16);
    const int bs = Ch(s, 0), gs = Ch(s, 8), rs = Ch(s, 16);

    int v = rd > gd ? rd : gd;
    v = bd > v ? bd : v;
    int lo = rd < gd ? rd : gd;
    lo = bd < lo ? bd : lo;
    const int delta = v - lo;

    int base, numerator;
    if (gd > rd && gd > bd) {
        base = 128;
        numerator = bd - rd;
    } else if (rd >= gd && rd > bd) {
        base = gd >= bd ? 0 : 383;
        numerator = gd - bd;
    } else {
        // Blue, also when it ties red at the top.
        base = 256;
        numerator = rd - gd;
    }
    int h =
        base + numerator * (HueReciprocalTable[delta] + 1) / 1024 + w * (rs + rs / 2 - 192) / 256;
    // One wrap suffices for weights up to 1.0; the modulo keeps larger weights in range too.
    h %= 384;
    if (h < 0) {
        h += 384;
    }
    const int sat = Clamp255(delta * HueReciprocalTable[v] / 256 + w * (gs - 128) / 256);
    const int val = Clamp255(v + w * (bs - 128) / 256);

    const int p = (256 - sat) * val / 256;
    int r, g, b;
    switch (h / 64) {
    case 0:
        r = val, g = val * (16384 - sat * (64 - h)) / 16384, b = p;
        break;
    case 1:
        r = val * (16384 + sat * (64 - h)) / 16384, g = val, b = p;
        break;
    case 2:
        r = p, g = val, b = val * (16384 - sat * (192 - h)) / 16384;
        break;
    case 3:
        r = p, g = val * (16384 + sat * (192 - h)) / 16384, b = val;
        break;
    case 4:
        r = val * (16384 - sat * (320 - h)) / 16384, g = p, b = val;
        break;
    default:
        r = val, g = p, b = val * (16384 + sat * (320 - h)) / 16384;
        break;
    }
    return Pack(b, g, r, sa);
}

PixelOp OperationFor(uint32_t mode) {
    switch (mode & kRasterOperationMask) {
    case ModeCopy:
        return Copy;
    case ModeAdd:
        return Add;
    case ModeDodge:
        return Dodge;
    case ModeMultiply:
        return Multiply;
    case ModeSoftLight:
        return SoftLight;
    case ModeHsvAdjust:
        return HsvAdjust;
    case ModeUseSourceAlpha | ModeCopy:
        return CopySourceAlpha;
    case ModeUseSourceAlpha | ModeAdd:
        return AddSourceAlpha;
    case ModeUseSourceAlpha | ModeDodge:
        return DodgeSourceAlpha;
    case ModeUseSourceAlpha | ModeMultiply:
        return MultiplySourceAlpha;
    case ModeUseSourceAlpha | ModeSoftLight:
        return SoftLightSourceAlpha;
    case ModeUseSourceAlpha | ModeHsvAdjust:
        return HsvAdjustSourceAlpha;
    default:
        return nullptr;
    }
}

int WeightFromAlpha(float alpha) {
    if (!(alpha == alpha) || alpha == 0.0f) {
        return 0;
    }
    const float scaled = alpha * 256.0f;
    if (scaled >= 65536.0f) {
        return 65536;
    }
    if (scaled <= -65536.0f) {
        return -65536;
    }
    return int(scaled);
}

} // namespace raster_blend
