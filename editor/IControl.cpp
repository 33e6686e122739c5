#include "editor/IControl.h"

#include "editor/IGraphicsBase.h"
#include "plugin/IEditorDelegate.h"

#include <cmath>

IControl::IControl(IEditorDelegate* plug, const IRectangle& rect, int paramIdx, int blendMode)
    : plug_(plug), rect_(rect), targetRect_(rect), paramIdx_(paramIdx), blend_(blendMode, 1.0f) {}

void IControl::MouseDown(int, int, const IMouseKeys& keys) {
    if (keys.right) {
        PromptValueEntry();
    }
}

void IControl::MouseUp(int, int, const IMouseKeys&) {}

void IControl::MouseDrag(int, int, int, int, const IMouseKeys&) {}

void IControl::MouseDoubleClick(int, int, const IMouseKeys&) {
    const double def = DefaultValue();
    if (def >= 0.0) {
        SetValue(def);
        CommitUserValue();
    }
}

void IControl::MouseWheel(int, int, const IMouseKeys& keys, int notches) {
    AddToValue(notches * (keys.control || keys.shift ? 0.001 : 0.01));
    CommitUserValue();
}

void IControl::KeyDown(int, int, int) {}

void IControl::MouseOver(int, int, const IMouseKeys&) {}

void IControl::MouseOut() {}

void IControl::ApplyPlugValue(double value) {
    if (DefaultValue() < 0.0) {
        defaultValue_.store(value, std::memory_order_release);
    } else if (value == Value()) {
        return;
    }
    SetValue(value);
    MarkDirty();
    RequestRedraw();
}

void IControl::SetHidden(bool hide) {
    hidden_ = hide;
    RequestRedraw();
    MarkDirty();
}

void IControl::SetGrayed(bool gray) {
    grayed_ = gray;
    blend_.weight = gray ? 0.25f : 1.0f;
    MarkDirty();
}

bool IControl::HitTest(int x, int y) const {
    return targetRect_.Contains(x, y);
}

void IControl::MarkDirty() {
    double v = Value();
    if (v < clampLo_ || std::isnan(v)) {
        v = clampLo_;
    } else if (v > clampHi_) {
        v = clampHi_;
    }
    SetValue(v);
    dirty_.store(true, std::memory_order_release);
    MarkChanged();
}

void IControl::CommitUserValue() {
    MarkDirty();
    if (graphics_) {
        graphics_->PerformParamEdit(paramIdx_, Value());
    }
}

void IControl::MarkClean() {
    dirty_.store(redraw_.exchange(false, std::memory_order_acq_rel), std::memory_order_release);
}

bool IControl::NeedsRedraw() const {
    return dirty_.load(std::memory_order_acquire);
}

void IControl::ApplyUserValue(double value) {
    if (value != Value()) {
        SetValue(value);
        CommitUserValue();
        RequestRedraw();
    }
}

void IControl::PromptValueEntry() {
    if (paramIdx_ < 0 || disablePrompt_ || !plug_) {
        return;
    }
    if (graphics_) {
        graphics_->BeginValueEntry(this, plug_->GetParam(paramIdx_));
    }
    RequestRedraw();
}

void IControl::AddToValue(double delta) {
    double v = Value();
    while (!value_.compare_exchange_weak(v, v + delta, std::memory_order_acq_rel)) {
    }
}
