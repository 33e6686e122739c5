#include "BesideVstEditor.h"

void BesideVstEditor::TearDown() {
    HostedEditor::TearDown();
    if (reference) {
        session->DestroyWindow(reference);
    }
}

BesideVstEditor::Window BesideVstEditor::VstEditorAt(int x, int y) {
    reference = session->CreateTopLevel("kvx vst reference", kWidth, kHeight);
    session->MoveWindow(reference, x, y);
    return OpenEditor(*plugin, reference);
}

int BesideVstEditor::PanelMismatch(Window a, Window b) {
    const auto first = session->ReadPixels(a, 0, 0, kWidth, kHeight);
    const auto second = session->ReadPixels(b, 0, 0, kWidth, kHeight);
    if (first.empty() || first.size() != second.size()) {
        return kWidth * kHeight;
    }
    int differing = 0;
    for (std::size_t i = 0; i < first.size(); ++i) {
        differing += first[i] != second[i];
    }
    return differing;
}

void BesideVstEditor::DragDriveUp(Window editor) {
    const IRectangle knob = DriveKnob();
    const int cx = (knob.left + knob.right) / 2, cy = (knob.top + knob.bottom) / 2;
    Drag(editor, cx, cy, cx, cy - 40);
}
