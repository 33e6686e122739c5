// The Windows editor in a window of this test host, driven by window messages as Windows sends
// them for a user's mouse and keyboard, with the window's pixels read back.

#include "host/HostedPlugin.h"
#include "host/PluginModule.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <memory>
#include <string>

namespace {

constexpr int kLevel = 0, kDrive = 1, kEffect = 5;
// Panel positions: the Drive knob's centre, the Level knob's, the Effect footswitch's, and a
// pixel inside the Effect LED.
constexpr POINT kDriveKnob{389, 121}, kLevelKnob{69, 121}, kEffectSwitch{350, 261},
    kEffectLed{350, 234};

LRESULT CALLBACK ParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(window, message, wParam, lParam);
}

// Runs the thread's messages (the editor's timer and paints among them) for a while.
void Pump(int milliseconds) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    while (std::chrono::steady_clock::now() < end) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        Sleep(5);
    }
}

class EditorWindow : public testing::Test {
protected:
    void SetUp() override {
        std::string error;
        module_ = PluginModule::Load(DefaultModulePath(), &error);
        ASSERT_NE(module_, nullptr) << error;
        plugin_ = HostedPlugin::Create(*module_, &error);
        ASSERT_NE(plugin_, nullptr) << error;
        plugin_->Open(44100.0, 512);

        WNDCLASSA parentClass{};
        parentClass.lpfnWndProc = ParentProc;
        parentClass.hInstance = GetModuleHandleA(nullptr);
        parentClass.lpszClassName = "KvxTestHostWindow";
        RegisterClassA(&parentClass);
        parent_ =
            CreateWindowExA(0, "KvxTestHostWindow", "test host", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                            0, 0, 600, 450, nullptr, nullptr, parentClass.hInstance, nullptr);
        ASSERT_NE(parent_, nullptr) << "no window: is there a display?";
    }

    void TearDown() override {
        if (plugin_) {
            plugin_->Dispatch(effEditClose);
        }
        plugin_.reset();
        if (parent_) {
            DestroyWindow(parent_);
        }
    }

    HWND OpenEditor() {
        EXPECT_EQ(plugin_->Dispatch(effEditOpen, 0, 0, parent_), 1);
        HWND editor = FindWindowExA(parent_, nullptr, "IPlugWndClass", nullptr);
        Pump(150);
        return editor;
    }

    void Post(HWND editor, UINT message, WPARAM keys, POINT at) {
        PostMessageA(editor, message, keys, MAKELPARAM(at.x, at.y));
        Pump(10);
    }

    COLORREF PixelAt(HWND editor, POINT at) {
        HDC dc = GetDC(editor);
        const COLORREF colour = GetPixel(dc, at.x, at.y);
        ReleaseDC(editor, dc);
        return colour;
    }

    std::unique_ptr<PluginModule> module_;
    std::unique_ptr<HostedPlugin> plugin_;
    HWND parent_ = nullptr;
};

} // namespace

TEST_F(EditorWindow, OpensAChildWindowOfTheEditorsSize) {
    ERect* rect = nullptr;
    ASSERT_EQ(plugin_->Dispatch(effEditGetRect, 0, 0, &rect), 1);
    HWND editor = OpenEditor();
    ASSERT_NE(editor, nullptr);
    char title[32] = "";
    GetWindowTextA(editor, title, sizeof title);
    EXPECT_STREQ(title, "IPlug");
    EXPECT_TRUE(GetWindowLongA(editor, GWL_STYLE) & WS_CHILD);
    RECT client{};
    GetClientRect(editor, &client);
    EXPECT_EQ(client.right, rect->right);
    EXPECT_EQ(client.bottom, rect->bottom);
    // The panel is painted: the background is not the black of an empty window.
    EXPECT_NE(PixelAt(editor, {232, 20}), RGB(0, 0, 0));
}

TEST_F(EditorWindow, DraggingTheDriveKnobWritesTheParameterAndTellsTheHost) {
    HWND editor = OpenEditor();
    ASSERT_NE(editor, nullptr);
    const COLORREF before = PixelAt(editor, {kDriveKnob.x, kDriveKnob.y - 25});
    plugin_->ClearCalls();
    Post(editor, WM_LBUTTONDOWN, MK_LBUTTON, kDriveKnob);
    for (int step = 1; step <= 10; ++step) {
        Post(editor, WM_MOUSEMOVE, MK_LBUTTON, {kDriveKnob.x, kDriveKnob.y - 8 * step});
    }
    Post(editor, WM_LBUTTONUP, 0, {kDriveKnob.x, kDriveKnob.y - 80});
    Pump(150);

    EXPECT_GT(plugin_->GetParameter(kDrive), 0.6f);
    const auto begins = plugin_->CallsWith(audioMasterBeginEdit);
    const auto automation = plugin_->CallsWith(audioMasterAutomate);
    const auto ends = plugin_->CallsWith(audioMasterEndEdit);
    ASSERT_EQ(begins.size(), 1u);
    EXPECT_EQ(begins[0].index, kDrive);
    EXPECT_EQ(automation.size(), 10u);
    EXPECT_FLOAT_EQ(automation.back().opt, plugin_->GetParameter(kDrive));
    ASSERT_EQ(ends.size(), 1u);
    EXPECT_NE(PixelAt(editor, {kDriveKnob.x, kDriveKnob.y - 25}), before)
        << "the knob was redrawn at its new position";
}

TEST_F(EditorWindow, FootswitchHeldAcrossTicksTogglesTheEffectAndItsLed) {
    HWND editor = OpenEditor();
    ASSERT_NE(editor, nullptr);
    ASSERT_EQ(plugin_->GetParameter(kEffect), 1.0f);
    const COLORREF ledOn = PixelAt(editor, kEffectLed);
    Post(editor, WM_LBUTTONDOWN, MK_LBUTTON, kEffectSwitch);
    Pump(150);
    Post(editor, WM_LBUTTONUP, 0, kEffectSwitch);
    Pump(150);
    EXPECT_EQ(plugin_->GetParameter(kEffect), 0.0f);
    EXPECT_NE(PixelAt(editor, kEffectLed), ledOn);
}

TEST_F(EditorWindow, RightClickTypesAValueIntoAKnob) {
    HWND editor = OpenEditor();
    ASSERT_NE(editor, nullptr);
    plugin_->SetParameter(kLevel, 0.9f);
    Post(editor, WM_RBUTTONDOWN, MK_RBUTTON, kLevelKnob);
    Post(editor, WM_RBUTTONUP, 0, kLevelKnob);
    HWND popup = FindWindowExA(editor, nullptr, "EDIT", nullptr);
    ASSERT_NE(popup, nullptr);
    RECT box{};
    GetClientRect(popup, &box);
    EXPECT_GE(box.right, 36);
    EXPECT_GE(box.bottom, 16);
    SetWindowTextA(popup, "0.25");
    SendMessageA(popup, WM_KEYDOWN, VK_RETURN, 0);
    Pump(150);
    EXPECT_FLOAT_EQ(plugin_->GetParameter(kLevel), 0.25f);
    EXPECT_EQ(FindWindowExA(editor, nullptr, "EDIT", nullptr), nullptr) << "the entry ended";
}

TEST_F(EditorWindow, CloseAndReopenManyTimes) {
    for (int round = 0; round < 20; ++round) {
        ASSERT_EQ(plugin_->Dispatch(effEditOpen, 0, 0, parent_), 1) << round;
        HWND editor = FindWindowExA(parent_, nullptr, "IPlugWndClass", nullptr);
        ASSERT_NE(editor, nullptr);
        if (round % 5 == 0) {
            Post(editor, WM_RBUTTONDOWN, MK_RBUTTON, kLevelKnob);
        }
        Pump(20);
        ASSERT_EQ(plugin_->Dispatch(effEditClose), 1);
        EXPECT_FALSE(IsWindow(editor));
    }
    // With no editor window left, the module has taken its window class back.
    HMODULE module =
        GetModuleHandleA(sizeof(void*) == 8 ? "Kelvorantumix_x64.dll" : "Kelvorantumix_x86.dll");
    ASSERT_NE(module, nullptr);
    WNDCLASSA registered{};
    EXPECT_FALSE(GetClassInfoA(module, "IPlugWndClass", &registered));
}
