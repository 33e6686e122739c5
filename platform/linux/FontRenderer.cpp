// Text through FreeType, with the face found by fontconfig's matching (so "Arial" gives the
// system's metric-compatible sans face).

#include "platform/FontRenderer.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_ADVANCES_H
#include FT_SYNTHESIS_H

#include <cmath>
#include <string>
#include <vector>

namespace {

// Code points of UTF-8 text; a byte that starts no valid sequence stands for itself (Latin-1).
std::vector<FT_ULong> CodePoints(const char* text, size_t length) {
    std::vector<FT_ULong> out;
    const auto* s = reinterpret_cast<const unsigned char*>(text);
    for (size_t i = 0; i < length;) {
        const unsigned c = s[i];
        int extra = c >= 0xF0 && c < 0xF8 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : 0;
        if (c >= 0xF8 || (extra && i + size_t(extra) >= length)) {
            extra = 0;
        }
        FT_ULong cp = extra ? c & (0x3F >> extra) : c;
        for (int k = 1; k <= extra; ++k) {
            if ((s[i + k] & 0xC0) != 0x80) {
                extra = 0;
                cp = c;
                break;
            }
            cp = (cp << 6) | (s[i + k] & 0x3F);
        }
        out.push_back(cp);
        i += size_t(extra) + 1;
    }
    return out;
}

class FreeTypeFont final : public FontRenderer {
public:
    ~FreeTypeFont() override {
        if (face_) {
            FT_Done_Face(face_);
        }
        if (library_) {
            FT_Done_FreeType(library_);
        }
    }

    bool Load(const char* face, int sizePx, bool bold, bool italic, int orientationDegrees);
    bool Draw(const TextTarget& target, const char* text, int left, int top, int right, int bottom,
              int align, std::uint32_t rgb) override;
    int Measure(const char* text) override;
    int LineHeight() const override { return lineHeight_; }

private:
    int MeasureLine(const std::vector<FT_ULong>& line);
    // Unrotated advance in 26.6 pixels: loading glyphs would turn it with the orientation.
    FT_Fixed Advance(FT_ULong cp);
    bool DrawGlyph(const TextTarget& target, FT_ULong cp, double penX, double penY,
                   std::uint32_t rgb);

    FT_Library library_ = nullptr;
    FT_Face face_ = nullptr;
    bool emboldened_ = false;
    bool slanted_ = false;
    double angle_ = 0.0; // radians, counter-clockwise on screen
    int ascender_ = 0;
    int lineHeight_ = 0;
};

bool FreeTypeFont::Load(const char* face, int sizePx, bool bold, bool italic,
                        int orientationDegrees) {
    if (sizePx <= 0) {
        sizePx = 1;
    }
    FcPattern* pattern = FcPatternCreate();
    if (!pattern) {
        return false;
    }
    FcPatternAddString(pattern, FC_FAMILY,
                       reinterpret_cast<const FcChar8*>(face && *face ? face : "sans-serif"));
    FcPatternAddDouble(pattern, FC_PIXEL_SIZE, sizePx);
    FcPatternAddInteger(pattern, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pattern, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    FcPatternDestroy(pattern);
    if (!match) {
        return false;
    }
    FcChar8* file = nullptr;
    int index = 0, weight = FC_WEIGHT_REGULAR, slant = FC_SLANT_ROMAN;
    std::string path;
    if (FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch && file) {
        path = reinterpret_cast<const char*>(file);
    }
    FcPatternGetInteger(match, FC_INDEX, 0, &index);
    FcPatternGetInteger(match, FC_WEIGHT, 0, &weight);
    FcPatternGetInteger(match, FC_SLANT, 0, &slant);
    FcPatternDestroy(match);
    // A family without the weight or slant asked for gets them drawn in.
    emboldened_ = bold && weight < FC_WEIGHT_DEMIBOLD;
    slanted_ = italic && slant == FC_SLANT_ROMAN;

    if (path.empty() || FT_Init_FreeType(&library_) != 0 ||
        FT_New_Face(library_, path.c_str(), index, &face_) != 0) {
        return false;
    }
    FT_Size_RequestRec request{};
    request.type = FT_SIZE_REQUEST_TYPE_CELL;
    request.height = FT_Long(sizePx) * 64;
    if (FT_Request_Size(face_, &request) != 0 && FT_Set_Pixel_Sizes(face_, 0, FT_UInt(sizePx))) {
        return false;
    }
    ascender_ = int(face_->size->metrics.ascender >> 6);
    lineHeight_ = int(face_->size->metrics.height >> 6);
    angle_ = orientationDegrees * M_PI / 180.0;
    FT_Matrix rotation;
    rotation.xx = FT_Fixed(std::lround(std::cos(angle_) * 65536.0));
    rotation.xy = FT_Fixed(std::lround(-std::sin(angle_) * 65536.0));
    rotation.yx = FT_Fixed(std::lround(std::sin(angle_) * 65536.0));
    rotation.yy = rotation.xx;
    FT_Set_Transform(face_, &rotation, nullptr);
    return true;
}

FT_Fixed FreeTypeFont::Advance(FT_ULong cp) {
    FT_Fixed advance = 0;
    if (FT_Get_Advance(face_, FT_Get_Char_Index(face_, cp), FT_LOAD_NO_SCALE, &advance) != 0) {
        return 0;
    }
    return FT_MulFix(advance, face_->size->metrics.x_scale);
}

int FreeTypeFont::MeasureLine(const std::vector<FT_ULong>& line) {
    FT_Fixed width = 0;
    for (const FT_ULong cp : line) {
        width += Advance(cp);
    }
    return int((width + 32) >> 6);
}

int FreeTypeFont::Measure(const char* text) {
    if (!text) {
        return 0;
    }
    const char* end = text;
    while (*end && *end != '\n') {
        ++end;
    }
    return MeasureLine(CodePoints(text, size_t(end - text)));
}

bool FreeTypeFont::DrawGlyph(const TextTarget& target, FT_ULong cp, double penX, double penY,
                             std::uint32_t rgb) {
    if (FT_Load_Char(face_, cp, FT_LOAD_DEFAULT) != 0) {
        return false;
    }
    FT_GlyphSlot slot = face_->glyph;
    if (emboldened_) {
        FT_GlyphSlot_Embolden(slot);
    }
    if (slanted_) {
        FT_GlyphSlot_Oblique(slot);
    }
    if (slot->format != FT_GLYPH_FORMAT_BITMAP &&
        FT_Render_Glyph(slot, FT_RENDER_MODE_NORMAL) != 0) {
        return false;
    }
    const FT_Bitmap& bitmap = slot->bitmap;
    const int originX = int(std::lround(penX)) + slot->bitmap_left;
    const int originY = int(std::lround(penY)) - slot->bitmap_top;
    const unsigned red = (rgb >> 16) & 0xFF, green = (rgb >> 8) & 0xFF, blue = rgb & 0xFF;
    bool drew = false;
    for (unsigned row = 0; row < bitmap.rows; ++row) {
        const int y = originY + int(row);
        if (y < 0 || y >= target.height) {
            continue;
        }
        const unsigned char* src = bitmap.buffer + std::ptrdiff_t(row) * bitmap.pitch;
        std::uint32_t* dst = target.bits + std::ptrdiff_t(y) * target.rowSpan;
        for (unsigned col = 0; col < bitmap.width; ++col) {
            const int x = originX + int(col);
            if (x < 0 || x >= target.width) {
                continue;
            }
            unsigned a = 0;
            if (bitmap.pixel_mode == FT_PIXEL_MODE_MONO) {
                a = (src[col >> 3] & (0x80 >> (col & 7))) ? 255 : 0;
            } else if (bitmap.pixel_mode == FT_PIXEL_MODE_GRAY) {
                a = src[col] * 255u / (bitmap.num_grays > 1 ? bitmap.num_grays - 1u : 255u);
            }
            if (!a) {
                continue;
            }
            const std::uint32_t p = dst[x];
            auto mix = [a](unsigned from, unsigned to) {
                return (from * (255 - a) + to * a) / 255;
            };
            dst[x] = (p & 0xFF000000u) | (mix((p >> 16) & 0xFF, red) << 16) |
                     (mix((p >> 8) & 0xFF, green) << 8) | mix(p & 0xFF, blue);
            drew = true;
        }
    }
    return drew;
}

bool FreeTypeFont::Draw(const TextTarget& target, const char* text, int left, int top, int right,
                        int, int align, std::uint32_t rgb) {
    if (!text || !target.bits) {
        return false;
    }
    const double c = std::cos(angle_), s = std::sin(angle_);
    bool drew = false;
    int lineIndex = 0;
    for (const char* line = text;; ++lineIndex) {
        const char* end = line;
        while (*end && *end != '\n') {
            ++end;
        }
        const std::vector<FT_ULong> points = CodePoints(line, size_t(end - line));
        const int width = MeasureLine(points);
        int startX = left;
        if (align == kCentre) {
            startX = left + (right - left - width) / 2;
        } else if (align == kRight) {
            startX = right - width;
        }
        // Along the baseline from the line's start, turned about the rectangle's top left.
        double along = startX - left;
        const double down = ascender_ + double(lineIndex) * lineHeight_;
        for (const FT_ULong cp : points) {
            const double x = left + along * c + down * s;
            const double y = top - along * s + down * c;
            drew = DrawGlyph(target, cp, x, y, rgb) || drew;
            along += Advance(cp) / 64.0;
        }
        if (!*end) {
            break;
        }
        line = end + 1;
    }
    return drew;
}

} // namespace

std::unique_ptr<FontRenderer> FontRenderer::Create(const char* face, int sizePx, bool bold,
                                                   bool italic, int orientationDegrees) {
    auto font = std::make_unique<FreeTypeFont>();
    if (!font->Load(face, sizePx, bold, italic, orientationDegrees)) {
        return nullptr;
    }
    return font;
}
