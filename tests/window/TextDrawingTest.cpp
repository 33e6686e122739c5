#include "PlugWithEditor.h"
#include "platform/FontRenderer.h"

#include <vector>

namespace {

// A white page to draw on, and where its ink went.
struct Page {
    Page(int w, int h) : width(w), height(h), pixels(size_t(w) * size_t(h), 0xFFFFFFFFu) {}
    TextTarget Target() { return TextTarget{pixels.data(), width, height, width}; }
    bool Inked(int x, int y) const {
        return ((pixels[size_t(y) * size_t(width) + size_t(x)] >> 16) & 0xFF) < 128;
    }
    int Ink() const {
        int n = 0;
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                n += Inked(x, y);
            }
        }
        return n;
    }
    IRectangle InkBox() const {
        IRectangle box(width, height, -1, -1);
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                if (Inked(x, y)) {
                    box = IRectangle(std::min(box.left, x), std::min(box.top, y),
                                     std::max(box.right, x + 1), std::max(box.bottom, y + 1));
                }
            }
        }
        return box;
    }
    int width, height;
    std::vector<std::uint32_t> pixels;
};

} // namespace

TEST(FontRenderer, DrawsInTheColourWithinTheRectangleAlignedAsAsked) {
    auto font = FontRenderer::Create("DejaVu Sans", 20, false, false, 0);
    ASSERT_TRUE(font);
    const int width = font->Measure("Kelvorantumix");
    EXPECT_GT(width, 60);
    EXPECT_LT(width, 200);
    EXPECT_GE(font->LineHeight(), 18);

    for (const int align : {FontRenderer::kLeft, FontRenderer::kCentre, FontRenderer::kRight}) {
        Page page(300, 60);
        ASSERT_TRUE(font->Draw(page.Target(), "Kelvorantumix", 20, 10, 280, 40, align, 0x0000FF));
        const IRectangle box = page.InkBox();
        EXPECT_GE(box.top, 10) << align;
        EXPECT_LE(box.bottom, 10 + font->LineHeight() + 1) << align;
        const int expectedLeft = align == FontRenderer::kLeft     ? 20
                                 : align == FontRenderer::kCentre ? 20 + (260 - width) / 2
                                                                  : 280 - width;
        EXPECT_NEAR(box.left, expectedLeft, 3) << align;
        // Blue ink, and the page's alpha kept.
        for (const std::uint32_t p : page.pixels) {
            EXPECT_EQ(p >> 24, 0xFFu);
            EXPECT_EQ(p & 0xFF, 0xFFu);
        }
    }
}

TEST(FontRenderer, BoldItalicLinesAndOrientation) {
    auto regular = FontRenderer::Create("DejaVu Sans", 20, false, false, 0);
    auto bold = FontRenderer::Create("DejaVu Sans", 20, true, false, 0);
    auto upright = FontRenderer::Create("DejaVu Sans", 20, false, false, 90);
    ASSERT_TRUE(regular && bold && upright);
    Page a(300, 60), b(300, 60);
    regular->Draw(a.Target(), "Drive", 0, 0, 300, 60, FontRenderer::kLeft, 0);
    bold->Draw(b.Target(), "Drive", 0, 0, 300, 60, FontRenderer::kLeft, 0);
    EXPECT_GT(b.Ink(), a.Ink() * 11 / 10);

    Page lines(300, 80);
    regular->Draw(lines.Target(), "Low\nHigh", 0, 0, 300, 80, FontRenderer::kLeft, 0);
    EXPECT_GE(lines.InkBox().Height(), regular->LineHeight() + 10);

    Page turned(100, 200);
    EXPECT_TRUE(
        upright->Draw(turned.Target(), "Vortalizer", 30, 150, 100, 200, FontRenderer::kLeft, 0));
    const IRectangle box = turned.InkBox();
    EXPECT_GT(box.Height(), box.Width() * 2); // runs upwards from the rectangle's corner
    EXPECT_LE(box.bottom, 152);

    Page none(10, 10);
    EXPECT_FALSE(regular->Draw(none.Target(), " ", 0, 0, 10, 10, FontRenderer::kLeft, 0));
    EXPECT_FALSE(
        regular->Draw(none.Target(), "far away", 500, 500, 600, 600, FontRenderer::kLeft, 0));
}

TEST(FontRenderer, AnUnknownFaceFallsBackToTheSystemsMatch) {
    auto font = FontRenderer::Create("No Such Face Anywhere", 14, false, true, 0);
    ASSERT_TRUE(font);
    Page page(100, 30);
    EXPECT_TRUE(font->Draw(page.Target(), "Mid", 0, 0, 100, 30, FontRenderer::kLeft, 0));
}

using EditorText = PlugWithEditor;

TEST_F(EditorText, TheFirstFontServesEveryLaterText) {
    const IRectangle rect(10, 10, 300, 100);
    auto inkInRect = [&] {
        IRectangle box(10000, 10000, -1, -1);
        for (int y = rect.top; y < rect.bottom; ++y) {
            for (int x = rect.left; x < rect.right; ++x) {
                const IRgba p = editor->ReadPixel(x, y);
                if (p.red > 200 && p.green < 50 && p.blue < 50) {
                    box = IRectangle(std::min(box.left, x), std::min(box.top, y),
                                     std::max(box.right, x + 1), std::max(box.bottom, y + 1));
                }
            }
        }
        return box;
    };
    EXPECT_TRUE(editor->DrawTextInRect(ITextStyle(), nullptr, rect));
    ITextStyle small;
    small.size = 12;
    small.colour = IRgba(255, 255, 0, 0);
    editor->FillRectangle(IRgba(255, 255, 255, 255), rect);
    ASSERT_TRUE(editor->DrawTextInRect(small, "HHHH", rect));
    const IRectangle first = inkInRect();

    ITextStyle large = small;
    large.size = 40;
    large.style = ITextStyle::Bold;
    editor->FillRectangle(IRgba(255, 255, 255, 255), rect);
    ASSERT_TRUE(editor->DrawTextInRect(large, "HHHH", rect));
    EXPECT_EQ(inkInRect(), first);
}
