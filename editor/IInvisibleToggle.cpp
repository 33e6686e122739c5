#include "editor/IInvisibleToggle.h"

IInvisibleToggle::IInvisibleToggle(IEditorDelegate* plug, const IRectangle& rect, int paramIdx)
    : IControl(plug, rect, paramIdx, BlendCopy) {
    disablePrompt_ = true;
}

void IInvisibleToggle::MouseDown(int, int, const IMouseKeys&) {
    SetValue(Value() < 0.5 ? 1.0 : 0.0);
    CommitUserValue();
}

bool IInvisibleToggle::Draw(IGraphicsBase*) {
    return true;
}
