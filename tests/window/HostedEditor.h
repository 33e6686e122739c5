#pragma once

#include "common/IRectangle.h"
#include "host/HostedPlugin.h"
#include "platform/DesktopSession.h"
#include "raster/MemoryBitmap.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <memory>
#include <thread>

// The built Kelvorantumix module hosted as a DAW hosts it, with a top-level window of the test's
// own as the parent of its editor, on the virtual display the tests run in.
class HostedEditor : public ::testing::Test {
protected:
    using Window = DesktopSession::Window;

    static constexpr int kWidth = 465;
    static constexpr int kHeight = 336;
    static constexpr int kLevel = 0;
    static constexpr int kDrive = 1;
    static constexpr int kEffect = 5;
    // The knobs where the panel puts them, sized by their artwork.
    static IRectangle LevelKnob() { return KnobAt(29); }
    static IRectangle DriveKnob() { return KnobAt(349); }
    static IRectangle KnobAt(int left);
    // The Effect footswitch's button.
    static constexpr int kEffectSwitchX = 345;
    static constexpr int kEffectSwitchY = 256;

    void SetUp() override;
    void TearDown() override;

    std::unique_ptr<HostedPlugin> NewPlugin();
    // effEditOpen in parent; the editor's window, or 0.
    Window OpenEditor(HostedPlugin& plugin, Window parent);

    // Polls until done() holds, for up to ms milliseconds.
    template <typename Done> static bool WaitFor(Done done, int ms = 5000) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        while (!done()) {
            if (std::chrono::steady_clock::now() > end) {
                return false;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return true;
    }
    static void Pause(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

    // Pixels of rect of the window that differ (in colour) from the panel as it should look
    // with the knob at rect showing value.
    int KnobMismatch(Window editor, const IRectangle& knob, double value);
    bool ShowsKnob(Window editor, const IRectangle& knob, double value) {
        return KnobMismatch(editor, knob, value) == 0;
    }

    void Click(Window window, int x, int y, int button = 1);
    // Presses at from, moves in steps to to, releases.
    void Drag(Window window, int fromX, int fromY, int toX, int toY);
    int CallsWith(HostedPlugin& plugin, VstInt32 opcode, VstInt32 index);

    std::unique_ptr<DesktopSession> session;
    std::unique_ptr<PluginModule> module;
    std::unique_ptr<HostedPlugin> plugin;
    Window parent = 0;
};
