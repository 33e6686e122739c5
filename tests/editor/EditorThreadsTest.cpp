// Host threads change parameters while the editor's thread ticks, repaints and takes mouse
// gestures. Under ThreadSanitizer (the tsan preset) this finds data races between them; in
// every build it checks that the panel ends up showing what the host set last.

#include "PanelFixture.h"
#include "editor/IControl.h"

#include <atomic>
#include <thread>

using EditorThreads = PanelFixture;

TEST_F(EditorThreads, HostChangesRaceEditorTicks) {
    constexpr int kHostChanges = 4000;
    constexpr int kEditorRounds = 300;
    std::atomic<bool> hostDone{false};

    std::thread host([&] {
        for (int i = 0; i < kHostChanges; ++i) {
            const int param = i % PlugExample::kNumParams;
            const float value =
                param >= PlugExample::kEffect ? float(i / 7 % 2) : float(i % 101) / 100.0f;
            SetParameter(param, value);
        }
        hostDone = true;
    });

    IMouseKeys left;
    left.left = true;
    for (int round = 0; round < kEditorRounds || !hostDone; ++round) {
        switch (round % 4) {
        case 0: // drag the drive knob
            editor->MouseDown(389, 121, left);
            editor->MouseDrag(389, 111 - round % 20, left);
            editor->MouseUp(389, 111 - round % 20, left);
            break;
        case 1: // stomp on "Effect"
            editor->MouseDown(350, 260, left);
            break;
        case 2:
            editor->MouseUp(350, 260, left);
            editor->MouseWheel(149, 121, IMouseKeys(), round % 3 - 1);
            break;
        default:
            break;
        }
        Paint();
    }
    host.join();

    // What the host sets last is what the panel shows, LEDs included.
    const float last[] = {0.1f, 0.9f, 0.3f, 0.6f, 0.0f, 1.0f, 0.0f};
    for (int i = 0; i < PlugExample::kNumParams; ++i) {
        SetParameter(i, last[i]);
    }
    Paint();
    Paint();
    for (int i = 7; i < 12; ++i) {
        const IControl* knob = editor->GetControl(i);
        EXPECT_FLOAT_EQ(float(knob->Value()), last[knob->ParamIdx()]) << "knob " << i;
        EXPECT_FALSE(knob->NeedsRedraw());
    }
    EXPECT_EQ(editor->GetControl(3)->Value(), 1.0) << "Effect toggle";
    EXPECT_EQ(editor->GetControl(5)->Value(), 0.0) << "Vortalizer toggle";
    EXPECT_EQ(editor->GetControl(1)->Value(), 1.0) << "Effect LED";
    EXPECT_EQ(editor->GetControl(2)->Value(), 0.0) << "Vortalizer LED";
    const IRectangle level(29, 81, 109, 161);
    EXPECT_EQ(DifferingPixels(*PanelWith(101, 65, 7, level), level), 0)
        << "0.1 shows frame 7: 64 x 0.1 + 0.5 = 6.9, cut to 6, plus 1";
}
