#pragma once

#include "HostedEditor.h"

// An LV2 UI on the virtual display with the VST module's editor beside it, to compare the two
// panels pixel for pixel.
class BesideVstEditor : public HostedEditor {
protected:
    void TearDown() override;

    // The VST module's editor in a window of its own at (x, y) on the screen.
    Window VstEditorAt(int x, int y);
    // Pixels of the two windows' panels that differ.
    int PanelMismatch(Window a, Window b);
    void DragDriveUp(Window editor);

    Window reference = 0;
};
