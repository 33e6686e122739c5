#pragma once

#include "editor/IBitmapRef.h"
#include "editor/IObserverInterface.h"

class IContactControlNoDblClick;
class IControl;
class IGraphicsBase;
class IEditorDelegate;

// Turns a momentary footswitch button into a latching switch: each press seen on a timer tick
// flips the target control, which holds the on/off parameter. A press released again before
// the tick is not seen and toggles nothing.
class StompSwitch : public IObserverInterface {
public:
    // Adds its button to graphics at (x, y) and watches it; graphics owns both.
    StompSwitch(IEditorDelegate* plug, IGraphicsBase* graphics, int x, int y,
                const IBitmapRef& bitmap, IControl* target);

    void SubjectChanged(ISubject* subject) override;

    IContactControlNoDblClick* Button() const { return button_; }
    IControl* Target() const { return target_; }

private:
    double lastValue_ = 0.0;
    IControl* target_;
    IContactControlNoDblClick* button_;
};
