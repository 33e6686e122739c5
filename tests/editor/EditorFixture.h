#pragma once

#include "RecordingGraphics.h"
#include "TestPlug.h"
#include "editor/IControl.h"

#include <gtest/gtest.h>

// A test plug-in with a recording graphics core attached, and a user at the mouse.
class EditorFixture : public ::testing::Test {
protected:
    void SetUp() override {
        HostCallLog::Instance().Clear();
        graphics = new RecordingGraphics(&plug, 465, 336);
    }

    // Hands the editor to the core, which pushes every parameter's value into its controls.
    void Attach() {
        plug.AttachEditor(graphics);
        HostCallLog::Instance().Clear();
    }

    IBitmapRef Bitmap(int id, int frames) { return graphics->LoadBitmapResource(id, "", frames); }

    void Click(int x, int y, IMouseKeys keys = {}) {
        keys.left = !keys.right;
        graphics->MouseDown(x, y, keys);
        graphics->MouseUp(x, y, keys);
    }

    // What the editor's timer does: run the observers, then repaint what is dirty.
    void Tick() {
        IRectangle area;
        if (graphics->CollectDirtyArea(area)) {
            graphics->RedrawArea(area);
        }
    }

    static std::vector<HostCallLog::Call> Heard(VstInt32 opcode) {
        return HostCallLog::Instance().With(opcode);
    }

    TestPlug plug;
    RecordingGraphics* graphics = nullptr; // owned by plug once attached

    void TearDown() override {
        if (!plug.Editor()) {
            delete graphics;
        }
    }
};
