#pragma once

#include "common/IRectangle.h"
#include "common/PointerList.h"
#include "editor/IBitmapRef.h"
#include "editor/IBlend.h"
#include "editor/IMouseKeys.h"
#include "editor/IRgba.h"
#include "editor/ITextStyle.h"
#include "plugin/IEditor.h"

#include <string>

class IControl;
class IObserverInterface;
class IParameter;
class IEditorDelegate;

// The platform-neutral heart of the editor. It owns the controls in drawing order, routes mouse
// and key input to them, collects what must be redrawn and redraws it, and keeps controls and
// parameters in step both ways. It lives as long as the plug-in object; the window comes and
// goes. Pixel work is done by IGraphicsLice, the window by the platform class. It knows the
// plug-in only through the delegate, and the plug-in knows it only as an IEditor.
class IGraphicsBase : public IEditor {
public:
    IGraphicsBase(IEditorDelegate* plug, int width, int height, int fps);
    IGraphicsBase(const IGraphicsBase&) = delete;
    IGraphicsBase& operator=(const IGraphicsBase&) = delete;

    virtual bool PresentArea(const IRectangle& area) = 0;
    virtual bool BlitBitmap(const IBitmapRef& bitmap, const IRectangle& dest, int srcX, int srcY,
                            const IBlend* blend = nullptr) = 0;
    // angle in radians; yOffsetZero moves the rotation centre vertically.
    virtual bool BlitRotated(const IBitmapRef& bitmap, int centreX, int centreY, double angle,
                             int yOffsetZero = 0, const IBlend* blend = nullptr) = 0;
    // angle in degrees: mask and top turned over a fixed base.
    virtual bool BlitRotatedComposite(const IBitmapRef& base, const IBitmapRef& mask,
                                      const IBitmapRef& top, int x, int y, double angle,
                                      const IBlend* blend = nullptr) = 0;
    virtual bool PlotPoint(const IRgba& colour, float x, float y,
                           const IBlend* blend = nullptr) = 0;
    virtual bool PutPixel(const IRgba& colour, int x, int y) = 0;
    virtual bool StrokeLine(const IRgba& colour, float x1, float y1, float x2, float y2,
                            const IBlend* blend = nullptr, bool antialias = false) = 0;
    virtual bool StrokeArc(const IRgba& colour, float cx, float cy, float r, float startAngle,
                           float endAngle, const IBlend* blend = nullptr,
                           bool antialias = false) = 0;
    virtual bool StrokeCircle(const IRgba& colour, float cx, float cy, float r,
                              const IBlend* blend = nullptr, bool antialias = false) = 0;
    virtual bool FillRectangle(const IRgba& colour, const IRectangle& rect,
                               const IBlend* blend = nullptr) = 0;
    virtual bool DrawTextInRect(const ITextStyle& style, const char* text,
                                const IRectangle& rect) = 0;
    virtual IRgba ReadPixel(int x, int y) = 0;
    virtual void* SurfacePixels() = 0;
    // Drops every control (the caller rebuilds the layout) and tells the host the new size.
    virtual void ChangeSize(int width, int height);
    virtual bool IsWindowOpen() { return NativeWindow() != nullptr; }
    // Lets the user type a value for the control's parameter.
    virtual void BeginValueEntry(IControl* control, IParameter* param) = 0;
    // Folders end with their separator; empty when unknown.
    virtual void GetHostFolder(std::string& out) = 0;
    virtual void GetModuleFolder(std::string& out) = 0;
    // action 1 saves, anything else opens; out stays empty when the user cancels.
    virtual void AskForFile(std::string& out, int action, const char* startFolder) = 0;
    virtual bool AskForColour(IRgba& colour, const char* caption) = 0;
    virtual bool OpenWebLink(const char* url, const char* caption, const char* confirmText,
                             const char* failText) = 0;
    virtual void* NativeWindow() = 0;
    ~IGraphicsBase() override;
    virtual IBitmapRef LoadBitmapResource(int id, const char* name, int frames) = 0;
    virtual IBitmapRef ScaledCopy(const IBitmapRef& bitmap, int width, int height) = 0;
    virtual IBitmapRef CroppedCopy(const IBitmapRef& bitmap, const IRectangle& rect) = 0;
    virtual void AddBackground(int id, const char* name);
    virtual void VerticalLine(const IRgba& colour, int x, int yLo, int yHi);
    virtual void HorizontalLine(const IRgba& colour, int y, int xLo, int xHi);
    virtual void KeepBitmap(const IBitmapRef& bitmap) = 0;
    virtual void DropBitmap(const IBitmapRef& bitmap) = 0;

    // Called by the plug-in core, also from host threads while the window may be drawing.
    void UpdateParamControls(int paramIdx, double value, bool normalized) override;
    void SetControlValue(int index, double value) override;

    // The three steps of an edit the host hears, sent from here alone: a press on a bound
    // control begins it, every value the user gives performs it, the release (or the loss of
    // the mouse) ends it.
    void BeginParamEdit(int paramIdx);
    void PerformParamEdit(int paramIdx, double normalized);
    void EndParamEdit(int paramIdx);

    // Takes ownership; returns the control's index.
    int AddControl(IControl* control);
    // Takes ownership of an observer that watches controls (a footswitch), so it lives as long
    // as they do.
    void AdoptObserver(IObserverInterface* observer);
    void HideParamControls(int paramIdx, bool hide);
    void MarkAllControlsDirty();

    // The topmost visible, enabled control under the point, or the captured one; -1 for none.
    int ControlAt(int x, int y) const;
    // Runs the observers of every control and unites the rectangles of the dirty ones into area.
    bool CollectDirtyArea(IRectangle& area);
    bool RedrawArea(const IRectangle& area);
    // Frame is 1-based; frames are stacked vertically.
    bool BlitFrame(const IBitmapRef& bitmap, const IRectangle& rect, int frame,
                   const IBlend* blend = nullptr);

    void MouseDown(int x, int y, const IMouseKeys& keys);
    void MouseUp(int x, int y, const IMouseKeys& keys);
    void MouseDrag(int x, int y, const IMouseKeys& keys);
    // True when the window must capture the mouse (the control takes the click as a press).
    bool MouseDoubleClick(int x, int y, const IMouseKeys& keys);
    void MouseWheel(int x, int y, const IMouseKeys& keys, int notches);
    void KeyDown(int x, int y, int key);
    bool MouseOver(int x, int y, const IMouseKeys& keys);
    void MouseLeft();
    // The press in progress ends without a release (the window closes or loses the mouse): the
    // host hears the end of the edit it heard begin, so it never keeps a parameter touched.
    void MouseCaptureLost();

    int Width() const override { return width_; }
    int Height() const override { return height_; }
    int FrameRate() const { return fps_; }
    IEditorDelegate* Plug() const { return plug_; }
    int NumControls() const { return controls_.Count(); }
    IControl* GetControl(int index) const { return controls_.Get(index); }
    const IRectangle& DrawArea() const { return drawArea_; }
    int CaptureIndex() const { return captureIndex_; }

private:
    void ResetCapture();
    void EndOpenEdit();

    PointerList<IControl> controls_{true, 4096};
    PointerList<IObserverInterface> observers_{true, 32};
    IEditorDelegate* plug_;
    IRectangle drawArea_;
    int width_;
    int height_;
    int fps_;
    int captureIndex_ = -1;
    // The parameter whose host edit a press began and no release has ended yet.
    int openEditParamIdx_ = -1;
    int mouseOverIndex_ = -1;
    int mouseX_ = -1;
    int mouseY_ = -1;
    bool handleMouseOver_ = false;
};
