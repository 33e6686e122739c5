#pragma once

#include "TestPlug.h"
#include "editor/IControl.h"
#include "editor/IGraphicsLinux.h"
#include "effect/PlugExample.h"

#include <gtest/gtest.h>

// The Kelvorantumix plug-in opened as a host opens it, its editor drawn off screen.
class PlugWithEditor : public ::testing::Test {
protected:
    void SetUp() override {
        HostCallLog::Instance().Clear();
        plug = new PlugExample(HostCallLog::Callback);
        Dispatch(effOpen);
        editor = static_cast<IGraphicsLinux*>(plug->Editor());
        ASSERT_NE(editor, nullptr);
    }
    void TearDown() override { Dispatch(effClose); }

    VstIntPtr Dispatch(VstInt32 opcode) {
        return plug->Effect()->dispatcher(plug->Effect(), opcode, 0, 0, nullptr, 0.0f);
    }
    // The visible control bound to the parameter.
    IControl* ControlOf(int paramIdx) const {
        for (int i = 0; i < editor->NumControls(); ++i) {
            IControl* control = editor->GetControl(i);
            if (control->ParamIdx() == paramIdx && !control->IsHidden()) {
                return control;
            }
        }
        return nullptr;
    }

    PlugExample* plug = nullptr; // deleted by effClose
    IGraphicsLinux* editor = nullptr;
};
