#include "editor/IGraphicsBase.h"

#include "editor/IBitmapControl.h"
#include "editor/IControl.h"
#include "editor/IObserverInterface.h"
#include "plugin/IEditorDelegate.h"
#include "plugin/IParameter.h"

namespace {

constexpr int kDefaultFrameRate = 24;

} // namespace

IGraphicsBase::IGraphicsBase(IEditorDelegate* plug, int width, int height, int fps)
    : plug_(plug), width_(width), height_(height), fps_(fps > 0 ? fps : kDefaultFrameRate) {}

IGraphicsBase::~IGraphicsBase() {
    controls_.RemoveAll();
    observers_.RemoveAll();
}

void IGraphicsBase::ChangeSize(int width, int height) {
    width_ = width;
    height_ = height;
    MouseCaptureLost();
    mouseOverIndex_ = -1;
    controls_.RemoveAll();
    // The footswitches watched controls that are gone; the new layout brings its own.
    observers_.RemoveAll();
    if (plug_) {
        plug_->EditorResized();
    }
}

void IGraphicsBase::AddBackground(int id, const char* name) {
    const IBitmapRef bitmap = LoadBitmapResource(id, name, 1);
    IControl* background = new IBitmapControl(plug_, 0, 0, -1, bitmap, BlendCopy);
    background->AttachTo(this);
    controls_.Insert(0, background);
}

void IGraphicsBase::VerticalLine(const IRgba& colour, int x, int yLo, int yHi) {
    const IBlend copy(BlendCopy, 1.0f);
    StrokeLine(colour, float(x), float(yLo), float(x), float(yHi), &copy, false);
}

void IGraphicsBase::HorizontalLine(const IRgba& colour, int y, int xLo, int xHi) {
    const IBlend copy(BlendCopy, 1.0f);
    StrokeLine(colour, float(xLo), float(y), float(xHi), float(y), &copy, false);
}

void IGraphicsBase::UpdateParamControls(int paramIdx, double value, bool normalized) {
    if (!normalized) {
        const IParameter* param = plug_ ? plug_->GetParam(paramIdx) : nullptr;
        if (!param) {
            return;
        }
        value = param->NormalizedOf(value);
    }
    for (int i = 0; i < controls_.Count(); ++i) {
        IControl* control = controls_.Get(i);
        if (control->ParamIdx() == paramIdx) {
            control->ApplyPlugValue(value);
        }
    }
}

void IGraphicsBase::SetControlValue(int index, double value) {
    if (IControl* control = controls_.Get(index)) {
        control->ApplyPlugValue(value);
    }
}

int IGraphicsBase::AddControl(IControl* control) {
    control->AttachTo(this);
    controls_.Append(control);
    return controls_.Count() - 1;
}

void IGraphicsBase::BeginParamEdit(int paramIdx) {
    if (plug_ && paramIdx >= 0) {
        openEditParamIdx_ = paramIdx;
        plug_->BeginParamEdit(paramIdx);
    }
}

void IGraphicsBase::PerformParamEdit(int paramIdx, double normalized) {
    if (plug_ && paramIdx >= 0) {
        plug_->PerformParamEdit(paramIdx, normalized);
    }
}

void IGraphicsBase::EndParamEdit(int paramIdx) {
    if (plug_ && paramIdx >= 0) {
        plug_->EndParamEdit(paramIdx);
    }
}

void IGraphicsBase::AdoptObserver(IObserverInterface* observer) {
    observers_.Append(observer);
}

void IGraphicsBase::HideParamControls(int paramIdx, bool hide) {
    for (int i = 0; i < controls_.Count(); ++i) {
        IControl* control = controls_.Get(i);
        if (control->ParamIdx() == paramIdx) {
            control->SetHidden(hide);
        }
    }
}

void IGraphicsBase::MarkAllControlsDirty() {
    for (int i = 0; i < controls_.Count(); ++i) {
        controls_.Get(i)->MarkDirty();
    }
}

int IGraphicsBase::ControlAt(int x, int y) const {
    if (captureIndex_ >= 0) {
        return captureIndex_;
    }
    for (int i = controls_.Count() - 1; i >= 0; --i) {
        const IControl* control = controls_.Get(i);
        if (!control->IsHidden() && !control->IsGrayed() && control->HitTest(x, y)) {
            return i;
        }
    }
    return -1;
}

bool IGraphicsBase::CollectDirtyArea(IRectangle& area) {
    bool dirty = false;
    for (int i = 0; i < controls_.Count(); ++i) {
        IControl* control = controls_.Get(i);
        control->NotifyObservers();
        if (control->NeedsRedraw()) {
            area = area.Union(control->Rect());
            dirty = true;
        }
    }
    return dirty;
}

bool IGraphicsBase::RedrawArea(const IRectangle& area) {
    if (controls_.Count() == 0) {
        return true;
    }
    drawArea_ = area;
    for (int i = 0; i < controls_.Count(); ++i) {
        IControl* control = controls_.Get(i);
        if (!control->IsHidden() && area.Overlaps(control->Rect())) {
            control->Draw(this);
        }
        control->MarkClean();
    }
    return PresentArea(area);
}

bool IGraphicsBase::BlitFrame(const IBitmapRef& bitmap, const IRectangle& rect, int frame,
                              const IBlend* blend) {
    int srcY = 0;
    if (bitmap.frames >= 2 && frame >= 2) {
        srcY = int(double(bitmap.height) * (frame - 1) / bitmap.frames + 0.5);
    }
    return BlitBitmap(bitmap, rect, 0, srcY, blend);
}

void IGraphicsBase::ResetCapture() {
    captureIndex_ = -1;
    mouseX_ = -1;
    mouseY_ = -1;
}

void IGraphicsBase::EndOpenEdit() {
    const int paramIdx = openEditParamIdx_;
    openEditParamIdx_ = -1;
    EndParamEdit(paramIdx);
}

void IGraphicsBase::MouseCaptureLost() {
    ResetCapture();
    EndOpenEdit();
}

void IGraphicsBase::MouseDown(int x, int y, const IMouseKeys& keys) {
    // A press whose release never came still ends its edit before the next one begins.
    EndOpenEdit();
    ResetCapture();
    const int index = ControlAt(x, y);
    if (index < 0) {
        return;
    }
    IControl* control = controls_.Get(index);
    captureIndex_ = index;
    mouseX_ = x;
    mouseY_ = y;
    control->MouseDown(x, y, keys);
    BeginParamEdit(control->ParamIdx());
}

void IGraphicsBase::MouseUp(int x, int y, const IMouseKeys& keys) {
    // Only the control that took the press hears the release: one that merely lies under the
    // pointer would end an edit the host never saw begin.
    const int index = captureIndex_;
    ResetCapture();
    if (index < 0) {
        return;
    }
    openEditParamIdx_ = -1;
    IControl* control = controls_.Get(index);
    control->MouseUp(x, y, keys);
    EndParamEdit(control->ParamIdx());
}

void IGraphicsBase::MouseDrag(int x, int y, const IMouseKeys& keys) {
    IControl* control = controls_.Get(captureIndex_);
    if (!control || (x == mouseX_ && y == mouseY_)) {
        return;
    }
    const int dX = x - mouseX_;
    const int dY = y - mouseY_;
    mouseX_ = x;
    mouseY_ = y;
    control->MouseDrag(x, y, dX, dY, keys);
}

bool IGraphicsBase::MouseDoubleClick(int x, int y, const IMouseKeys& keys) {
    EndOpenEdit();
    ResetCapture();
    const int index = ControlAt(x, y);
    if (index < 0) {
        return false;
    }
    IControl* control = controls_.Get(index);
    if (!control->DoubleClickAsPress()) {
        control->MouseDoubleClick(x, y, keys);
        return false;
    }
    captureIndex_ = index;
    mouseX_ = x;
    mouseY_ = y;
    control->MouseDown(x, y, keys);
    return true;
}

void IGraphicsBase::MouseWheel(int x, int y, const IMouseKeys& keys, int notches) {
    if (IControl* control = controls_.Get(ControlAt(x, y))) {
        control->MouseWheel(x, y, keys, notches);
    }
}

void IGraphicsBase::KeyDown(int x, int y, int key) {
    if (IControl* control = controls_.Get(ControlAt(x, y))) {
        control->KeyDown(x, y, key);
    }
}

bool IGraphicsBase::MouseOver(int x, int y, const IMouseKeys& keys) {
    if (handleMouseOver_) {
        const int index = ControlAt(x, y);
        if (IControl* control = controls_.Get(index)) {
            mouseX_ = x;
            mouseY_ = y;
            control->MouseOver(x, y, keys);
            if (mouseOverIndex_ >= 0 && mouseOverIndex_ != index) {
                if (IControl* previous = controls_.Get(mouseOverIndex_)) {
                    previous->MouseOut();
                }
            }
            mouseOverIndex_ = index;
        }
    }
    return handleMouseOver_;
}

void IGraphicsBase::MouseLeft() {
    for (int i = 0; i < controls_.Count(); ++i) {
        controls_.Get(i)->MouseOut();
    }
    mouseOverIndex_ = -1;
}
