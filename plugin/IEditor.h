#pragma once

// What the plug-in core needs of its editor, and all it knows of it: the core owns the editor,
// shows parameter values on its controls, opens and closes its window in the host's, and asks
// its size. The editor itself lives on the other side of this seam (IGraphicsBase).
class IEditor {
public:
    virtual ~IEditor() = default;

    // Called once when the core takes the editor over, after every parameter's value was shown.
    virtual void PrepareSurface() = 0;
    // Shows a parameter's value on the controls bound to it (normalized 0..1, or plain).
    virtual void UpdateParamControls(int paramIdx, double value, bool normalized) = 0;
    // Sets the value of one control by its index (the effect's indicator lights).
    virtual void SetControlValue(int controlIndex, double value) = 0;
    // The editor's window inside the host's parent window; null when it cannot be made.
    virtual void* OpenEditorWindow(void* parent) = 0;
    virtual void CloseEditorWindow() = 0;
    virtual int Width() const = 0;
    virtual int Height() const = 0;
};
