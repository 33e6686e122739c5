#pragma once

#include <cstdint>
#include <memory>

struct SurfaceHandle;

// Where text is drawn: 32-bit pixels 0xAARRGGBB, rows rowSpan pixels apart, and the system's
// surface they belong to when they have one (Windows draws text through it).
struct TextTarget {
    std::uint32_t* bits = nullptr;
    int width = 0;
    int height = 0;
    int rowSpan = 0;
    SurfaceHandle* surface = nullptr;
};

// One font, chosen by face name, pixel size, weight, slant and orientation, that draws text into
// pixels blended over what is there.
class FontRenderer {
public:
    enum Align { kLeft = 0, kCentre = 1, kRight = 2 };

    // sizePx is the cell height (ascent plus descent). Null when no font can be had.
    static std::unique_ptr<FontRenderer> Create(const char* face, int sizePx, bool bold,
                                                bool italic, int orientationDegrees);
    virtual ~FontRenderer() = default;

    // Lines (split at '\n') from the top of the rectangle, aligned horizontally within it, not
    // clipped to it. rgb is 0xRRGGBB; the pixels' alpha is kept. True when any pixel was drawn.
    virtual bool Draw(const TextTarget& target, const char* text, int left, int top, int right,
                      int bottom, int align, std::uint32_t rgb) = 0;
    // Width in pixels of the text's first line.
    virtual int Measure(const char* text) = 0;
    virtual int LineHeight() const = 0;
};
