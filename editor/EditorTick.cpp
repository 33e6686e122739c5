#include "editor/EditorTick.h"

#include "editor/IControl.h"
#include "editor/IGraphicsBase.h"
#include "editor/TextEntry.h"
#include "plugin/IParameter.h"

int TickPeriodMs(int fps) {
    return 1000 / (fps > 0 ? fps : 24);
}

int WheelNotches(int delta) {
    return delta / 120;
}

TickResult RunEditorTick(IGraphicsBase& graphics, TextEntry& entry) {
    TickResult result;
    if (entry.IsOpen() && entry.State() != Idle) {
        switch (entry.State()) {
        case RefreshText:
            entry.RefreshFromParam();
            entry.SetState(Idle);
            break;
        case Cancel:
            entry.End();
            break;
        case Commit: {
            IControl* control = entry.Control();
            const double normalized = entry.Param()->NormalizedOf(entry.PlainValue());
            control->ApplyUserValue(normalized);
            entry.End();
            break;
        }
        default:
            entry.SetState(Idle);
            break;
        }
        return result;
    }
    IRectangle area;
    if (graphics.CollectDirtyArea(area)) {
        result.repaint = true;
        result.area = area;
        if (entry.IsOpen()) {
            entry.SetState(RefreshText);
        }
    }
    return result;
}
