#include "editor/StompSwitch.h"

#include "editor/IContactControlNoDblClick.h"
#include "editor/IGraphicsBase.h"

StompSwitch::StompSwitch(IEditorDelegate* plug, IGraphicsBase* graphics, int x, int y,
                         const IBitmapRef& bitmap, IControl* target)
    : target_(target), button_(new IContactControlNoDblClick(plug, x, y, -1, bitmap, BlendNone)) {
    graphics->AddControl(button_);
    button_->AddObserver(this);
    graphics->AdoptObserver(this);
}

void StompSwitch::SubjectChanged(ISubject*) {
    const double v = button_->Value();
    if (v == 1.0 && lastValue_ == 0.0 && target_) {
        target_->ApplyUserValue(1.0 - target_->Value());
    }
    lastValue_ = v;
}
