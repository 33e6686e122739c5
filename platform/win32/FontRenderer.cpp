#include "platform/FontRenderer.h"
#include "platform/win32/SurfaceWin32.h"

#include <windows.h>

#include <cstring>

namespace {

// A GDI font drawn through the surface's device context, as the system draws its own text.
class GdiFontRenderer final : public FontRenderer {
public:
    explicit GdiFontRenderer(HFONT font) : font_(font) {}
    ~GdiFontRenderer() override { DeleteObject(font_); }

    bool Draw(const TextTarget& target, const char* text, int left, int top, int right, int bottom,
              int align, std::uint32_t rgb) override {
        HDC dc = SurfaceDeviceContext(target.surface);
        if (!dc || !text) {
            return false;
        }
        SelectObject(dc, font_);
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF));
        UINT format = DT_NOCLIP;
        if (align == kCentre) {
            format |= DT_CENTER;
        } else if (align == kRight) {
            format |= DT_RIGHT;
        }
        RECT r{left, top, right, bottom};
        return DrawTextA(dc, text, -1, &r, format) != 0;
    }

    int Measure(const char* text) override {
        SIZE size{};
        const char* end = std::strchr(text, '\n');
        const int length = end ? int(end - text) : int(std::strlen(text));
        HDC dc = GetDC(nullptr);
        HGDIOBJ previous = SelectObject(dc, font_);
        GetTextExtentPoint32A(dc, text, length, &size);
        SelectObject(dc, previous);
        ReleaseDC(nullptr, dc);
        return size.cx;
    }

    int LineHeight() const override {
        TEXTMETRICA metrics{};
        HDC dc = GetDC(nullptr);
        HGDIOBJ previous = SelectObject(dc, font_);
        GetTextMetricsA(dc, &metrics);
        SelectObject(dc, previous);
        ReleaseDC(nullptr, dc);
        return metrics.tmHeight;
    }

private:
    HFONT font_;
};

} // namespace

std::unique_ptr<FontRenderer> FontRenderer::Create(const char* face, int sizePx, bool bold,
                                                   bool italic, int orientationDegrees) {
    HFONT font = CreateFontA(sizePx, 0, orientationDegrees * 10, orientationDegrees * 10,
                             bold ? FW_BOLD : 0, italic, 0, 0, 0, 0, 0, 0, 0, face);
    if (!font) {
        return nullptr;
    }
    return std::make_unique<GdiFontRenderer>(font);
}
