#pragma once

#include "common/IRectangle.h"
#include "editor/IBlend.h"
#include "editor/IMouseKeys.h"
#include "editor/ISubject.h"

#include <atomic>

class IGraphicsBase;
class IEditorDelegate;

// A rectangle of the editor that draws itself and reacts to the mouse, usually bound to one
// parameter. Its value is normalized to 0..1. The value, the default and the dirty flags are
// also written from host threads (ApplyPlugValue) while the editor's thread reads them, so they
// are atomic.
class IControl : public ISubject {
public:
    IControl(IEditorDelegate* plug, const IRectangle& rect, int paramIdx = -1,
             int blendMode = BlendNone);
    ~IControl() override = default;

    virtual void MouseDown(int x, int y, const IMouseKeys& keys);
    virtual void MouseUp(int x, int y, const IMouseKeys& keys);
    virtual void MouseDrag(int x, int y, int dX, int dY, const IMouseKeys& keys);
    virtual void MouseDoubleClick(int x, int y, const IMouseKeys& keys);
    virtual void MouseWheel(int x, int y, const IMouseKeys& keys, int notches);
    virtual void KeyDown(int x, int y, int key);
    virtual void MouseOver(int x, int y, const IMouseKeys& keys);
    virtual void MouseOut();
    virtual bool Draw(IGraphicsBase* graphics) = 0;
    // A value from the plug-in side: shown, never sent back to the host. The first one becomes
    // the double-click default.
    virtual void ApplyPlugValue(double value);
    virtual void SetHidden(bool hide);
    virtual void SetGrayed(bool gray);
    virtual bool HitTest(int x, int y) const;
    // Clamps the value and flags the control for drawing.
    virtual void MarkDirty();
    virtual void MarkClean();
    virtual bool NeedsRedraw() const;

    // A value chosen by the user: shown and written to the parameter when it differs.
    void ApplyUserValue(double value);
    // The editor that owns the control; set when it is added.
    void AttachTo(IGraphicsBase* graphics) { graphics_ = graphics; }
    // Asks the editor to let the user type the parameter's value (right click).
    void PromptValueEntry();

    double Value() const { return value_.load(std::memory_order_acquire); }
    double DefaultValue() const { return defaultValue_.load(std::memory_order_acquire); }
    const IRectangle& Rect() const { return rect_; }
    const IRectangle& TargetRect() const { return targetRect_; }
    int ParamIdx() const { return paramIdx_; }
    bool IsHidden() const { return hidden_; }
    bool IsGrayed() const { return grayed_; }
    bool DoubleClickAsPress() const { return dblAsPress_; }
    const IBlend& Blend() const { return blend_; }
    IEditorDelegate* Plug() const { return plug_; }

protected:
    void SetValue(double value) { value_.store(value, std::memory_order_release); }
    void AddToValue(double delta);
    void RequestRedraw() { redraw_.store(true, std::memory_order_release); }
    // MarkDirty, and for a bound control the user's new value goes to the parameter through
    // the editor, as the perform step of the host's edit.
    void CommitUserValue();

    IEditorDelegate* plug_;
    IGraphicsBase* graphics_ = nullptr;
    IRectangle rect_;
    IRectangle targetRect_;
    int paramIdx_;
    double clampLo_ = 0.0;
    double clampHi_ = 1.0;
    bool hidden_ = false;
    bool grayed_ = false;
    bool disablePrompt_ = false;
    bool dblAsPress_ = false;
    IBlend blend_;

private:
    std::atomic<double> value_{0.0};
    std::atomic<double> defaultValue_{-1.0};
    std::atomic<bool> dirty_{true};
    std::atomic<bool> redraw_{false};
};
