#include "editor/TextEntryPopup.h"

#include "platform/FontRenderer.h"
#include "raster/RasterPrimitives.h"

namespace {

constexpr RasterPixel kPaper = 0xFFFFFFFF;
constexpr RasterPixel kInk = 0xFF000000;
constexpr RasterPixel kFrame = 0xFF7A7A7A;
constexpr RasterPixel kHighlight = 0xFF3069C6;

void Fill(RasterBitmap* into, int x, int y, int w, int h, RasterPixel colour) {
    RasterFillRect(into, x, y, w, h, colour, 1.0f, ModeCopy);
}

void Frame(RasterBitmap* into, int x, int y, int w, int h, RasterPixel colour) {
    Fill(into, x, y, w, 1, colour);
    Fill(into, x, y + h - 1, w, 1, colour);
    Fill(into, x, y, 1, h, colour);
    Fill(into, x + w - 1, y, 1, h, colour);
}

void Text(RasterBitmap* into, FontRenderer* font, const std::string& text, int left, int top,
          int right, int align, RasterPixel colour) {
    if (!font) {
        return;
    }
    TextTarget target;
    target.bits = into->GetBits();
    target.width = into->GetWidth();
    target.height = into->GetHeight();
    target.rowSpan = into->GetRowSpan();
    font->Draw(target, text.c_str(), left, top, right, top + font->LineHeight(), align,
               colour & 0xFFFFFF);
}

} // namespace

void DrawTextEntryPopup(const TextEntryView& view, RasterBitmap* into, FontRenderer* font) {
    const int w = view.rect.Width();
    const int h = view.rect.Height();
    if (!into || w <= 0 || h <= 0) {
        return;
    }
    into->Resize(w, h);
    if (!into->GetBits() || into->GetWidth() != w || into->GetHeight() != h) {
        return;
    }
    Fill(into, 0, 0, w, h, kPaper);
    Frame(into, 0, 0, w, h, view.focused ? kHighlight : kFrame);
    const int lineHeight = font ? font->LineHeight() : 14;
    if (view.list) {
        const int rows = int(view.items.size()) + 1;
        const int rowHeight = h / rows;
        const int pad = (rowHeight - lineHeight) / 2;
        Text(into, font, view.text, 6, pad, w - 6, FontRenderer::kLeft, kInk);
        Fill(into, 1, rowHeight - 1, w - 2, 1, kFrame);
        for (int i = 0; i < int(view.items.size()); ++i) {
            const int top = (i + 1) * rowHeight;
            const bool chosen = i == view.selected;
            if (chosen) {
                Fill(into, 1, top, w - 2, rowHeight - 1, kHighlight);
            }
            Text(into, font, view.items[size_t(i)], 6, top + pad, w - 6, FontRenderer::kLeft,
                 chosen ? kPaper : kInk);
        }
        return;
    }
    const int textWidth = font ? font->Measure(view.text.c_str()) : 0;
    const int textLeft = (w - textWidth) / 2;
    if (view.selectAll && !view.text.empty()) {
        Fill(into, textLeft, 1, textWidth, lineHeight, kHighlight);
    }
    Text(into, font, view.text, 0, 1, w, FontRenderer::kCentre, view.selectAll ? kPaper : kInk);
    if (view.focused && !view.selectAll) {
        Fill(into, textLeft + textWidth + 1, 2, 1, lineHeight - 2, kInk);
    }
}
