#include "editor/TextEntry.h"
#include "PlugWithEditor.h"
#include "editor/TextEntryPopup.h"
#include "platform/FontRenderer.h"
#include "raster/MemoryBitmap.h"

TEST(TextEntryPopupRect, ATextBoxIsCentredAndAtLeast36By16) {
    EXPECT_EQ(TextEntryPopupRect(IRectangle(100, 50, 110, 56), 0, 0), IRectangle(87, 45, 123, 61));
    EXPECT_EQ(TextEntryPopupRect(IRectangle(349, 81, 429, 161), 0, 0),
              IRectangle(349, 81, 429, 161));
    // Odd sizes: the centre is cut toward zero, and so is the half width.
    EXPECT_EQ(TextEntryPopupRect(IRectangle(0, 0, 5, 5), 0, 0), IRectangle(-16, -6, 20, 10));
}

TEST(TextEntryPopupRect, AListHangsFromTheCentreSizedByItsItems) {
    // Two items, the longest three characters: 24 + 24 wide, 36 x 3 high.
    EXPECT_EQ(TextEntryPopupRect(IRectangle(330, 241, 370, 281), 2, 3),
              IRectangle(326, 261, 374, 369));
    EXPECT_EQ(TextEntryPopupRect(IRectangle(0, 0, 40, 40), 1, 0), IRectangle(8, 20, 32, 92));
}

using TextEntryEditing = PlugWithEditor;

TEST_F(TextEntryEditing, BeginsOnlyWithBothPartsAndOneAtATime) {
    TextEntry entry;
    IControl* drive = ControlOf(PlugExample::kDrive);
    IParameter* param = plug->GetParam(PlugExample::kDrive);
    EXPECT_FALSE(entry.Begin(nullptr, param));
    EXPECT_FALSE(entry.Begin(drive, nullptr));
    EXPECT_FALSE(entry.IsOpen());
    ASSERT_TRUE(entry.Begin(drive, param));
    const unsigned generation = entry.View().generation;
    EXPECT_FALSE(entry.Begin(ControlOf(PlugExample::kLevel), param));
    EXPECT_EQ(entry.Control(), drive);
    EXPECT_EQ(entry.View().generation, generation);
    EXPECT_EQ(entry.Text(), "0.500");
    EXPECT_FALSE(entry.View().list);
    EXPECT_EQ(entry.View().rect, TextEntryPopupRect(drive->Rect(), 0, 0));
    entry.End();
    EXPECT_FALSE(entry.IsOpen());
    EXPECT_TRUE(entry.Begin(drive, param));
    EXPECT_NE(entry.View().generation, generation);
}

TEST_F(TextEntryEditing, TypingReplacesTheTextOnceFocusedAndStopsAt31Characters) {
    TextEntry entry;
    ASSERT_TRUE(entry.Begin(ControlOf(PlugExample::kDrive), plug->GetParam(PlugExample::kDrive)));
    entry.FocusChanged(true);
    EXPECT_EQ(entry.State(), Focused);
    EXPECT_TRUE(entry.View().selectAll);
    entry.Type('7');
    EXPECT_EQ(entry.Text(), "7");
    entry.Backspace();
    entry.Backspace();
    EXPECT_EQ(entry.Text(), "");
    for (int i = 0; i < 40; ++i) {
        entry.Type('1');
    }
    EXPECT_EQ(entry.Text(), std::string(31, '1'));
    entry.FocusChanged(false);
    EXPECT_EQ(entry.State(), Idle);
    // Focus coming or going does not undo a decision already made.
    entry.Return();
    entry.FocusChanged(false);
    EXPECT_EQ(entry.State(), Commit);
    entry.SetState(Cancel);
    entry.FocusChanged(true);
    EXPECT_EQ(entry.State(), Cancel);
}

TEST_F(TextEntryEditing, ReadsTheLeadingNumberTheSameInEveryLocale) {
    TextEntry entry;
    ASSERT_TRUE(entry.Begin(ControlOf(PlugExample::kDrive), plug->GetParam(PlugExample::kDrive)));
    const struct {
        const char* typed;
        double value;
    } cases[] = {{"0.5", 0.5}, {" +2.5dB", 2.5}, {"-1e-1", -0.1}, {"abc", 0.0},
                 {"", 0.0},    {".25", 0.25},    {"3,5", 3.0}};
    for (const auto& c : cases) {
        entry.FocusChanged(true);
        entry.Backspace();
        for (const char* p = c.typed; *p; ++p) {
            entry.Type(*p);
        }
        EXPECT_DOUBLE_EQ(entry.PlainValue(), c.value) << '"' << c.typed << '"';
    }
}

TEST_F(TextEntryEditing, AListTakesItsItemsFromTheDisplayTexts) {
    TextEntry entry;
    IParameter* effect = plug->GetParam(PlugExample::kEffect);
    IControl* anyControl = ControlOf(PlugExample::kDrive);
    ASSERT_TRUE(entry.Begin(anyControl, effect));
    const TextEntryView view = entry.View();
    EXPECT_TRUE(view.list);
    EXPECT_EQ(view.text, "On");
    EXPECT_EQ(view.rect, TextEntryPopupRect(anyControl->Rect(), 2, 3));
    entry.Type('x'); // a list takes no typing
    EXPECT_EQ(entry.Text(), "On");
    entry.Choose(2);
    entry.Choose(-1);
    EXPECT_EQ(entry.State(), Idle);
    EXPECT_DOUBLE_EQ(entry.PlainValue(), 1.0);
    entry.Choose(0);
    EXPECT_EQ(entry.Text(), "Off");
    EXPECT_EQ(entry.State(), Commit);
    EXPECT_DOUBLE_EQ(entry.PlainValue(), 0.0);
}

TEST_F(TextEntryEditing, ThePopupIsDrawnAsTheViewSays) {
    TextEntry entry;
    ASSERT_TRUE(entry.Begin(ControlOf(PlugExample::kDrive), plug->GetParam(PlugExample::kDrive)));
    auto font = FontRenderer::Create("Arial", 14, false, false, 0);
    ASSERT_TRUE(font);
    MemoryBitmap pixels;
    auto count = [&](RasterPixel colour) {
        int n = 0;
        for (int y = 0; y < pixels.GetHeight(); ++y) {
            for (int x = 0; x < pixels.GetWidth(); ++x) {
                n += RasterGetPixel(&pixels, x, y) == colour;
            }
        }
        return n;
    };
    DrawTextEntryPopup(entry.View(), &pixels, font.get());
    EXPECT_EQ(pixels.GetWidth(), entry.View().rect.Width());
    EXPECT_EQ(pixels.GetHeight(), entry.View().rect.Height());
    int dark = 0; // the text
    for (int y = 0; y < pixels.GetHeight(); ++y) {
        for (int x = 0; x < pixels.GetWidth(); ++x) {
            dark += (RasterGetPixel(&pixels, x, y) & 0xFF) < 100;
        }
    }
    EXPECT_GT(dark, 20);
    const int highlightBefore = count(0xFF3069C6);
    entry.FocusChanged(true);
    DrawTextEntryPopup(entry.View(), &pixels, font.get());
    EXPECT_GT(count(0xFF3069C6), highlightBefore + 20); // all of the text selected

    entry.End();
    ASSERT_TRUE(entry.Begin(ControlOf(PlugExample::kDrive), plug->GetParam(PlugExample::kEffect)));
    DrawTextEntryPopup(entry.View(), &pixels, font.get());
    // The chosen row ("On", the second of two) is highlighted, the first is not.
    const int rowHeight = pixels.GetHeight() / 3;
    EXPECT_EQ(RasterGetPixel(&pixels, 3, rowHeight * 2 + 3), 0xFF3069C6u);
    EXPECT_EQ(RasterGetPixel(&pixels, 3, rowHeight + 3), 0xFFFFFFFFu);
}
