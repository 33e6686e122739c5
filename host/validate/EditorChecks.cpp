#include "host/validate/Validation.h"

void CheckEditor(Validation& v) {
    auto plugin = v.NewPlugin("editor: instantiate");
    if (!plugin) {
        return;
    }
    if (!(plugin->Effect()->flags & effFlagsHasEditor)) {
        v.Skip("editor: rectangle", "the plug-in has no editor");
        return;
    }
    ERect* rect = nullptr;
    const VstIntPtr answered = plugin->Dispatch(effEditGetRect, 0, 0, &rect);
    const bool sized =
        answered == 1 && rect && rect->right > rect->left && rect->bottom > rect->top;
    v.Report("editor: rectangle", sized,
             sized ? Figure("%d x %d", rect->right - rect->left, rect->bottom - rect->top)
                   : "no usable rectangle");
}
