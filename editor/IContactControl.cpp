#include "editor/IContactControl.h"

void IContactControl::MouseUp(int, int, const IMouseKeys&) {
    SetValue(0.0);
    CommitUserValue();
}
