#pragma once

// What the plug-in core asks of its editor. The editor lives as long as the plug-in object;
// its window comes and goes with the host's open and close requests.
class IGraphicsBase {
public:
    virtual ~IGraphicsBase() = default;

    // Creates the backing drawing surface of the editor's size.
    virtual void PrepareSurface() = 0;
    // Pushes a parameter's value into every control bound to it; a plain value is normalized first.
    virtual void UpdateParamControls(int paramIdx, double value, bool normalized) = 0;
    // Hands a value to the control at index (controls not bound to a parameter, such as LEDs).
    virtual void SetControlValue(int controlIndex, double value) = 0;
    // Opens the editor window inside parent; returns the new window or null.
    virtual void* OpenEditorWindow(void* parent) = 0;
    virtual void CloseEditorWindow() = 0;

    virtual int Width() const = 0;
    virtual int Height() const = 0;
};
