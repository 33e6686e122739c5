#pragma once

class IEditorDelegate;
class IGraphicsLice;

// The stompbox panel on a new editor of this platform, its controls bound to plug's parameters,
// and the indices of the two LEDs that show the footswitches.
struct StompboxPanel {
    IGraphicsLice* editor = nullptr;
    int effectLedIndex = -1;
    int vortalizerLedIndex = -1;
};
StompboxPanel BuildStompboxPanel(IEditorDelegate* plug);
