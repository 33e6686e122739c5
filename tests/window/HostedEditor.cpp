#include "HostedEditor.h"

#include "editor/IBitmapControl.h"
#include "raster/RasterBlit.h"
#include "raster/RasterImageLoad.h"

namespace {

std::unique_ptr<RasterBitmap> Decode(int id) {
    return std::unique_ptr<RasterBitmap>(RasterLoadPngResource(nullptr, id, nullptr));
}

} // namespace

IRectangle HostedEditor::KnobAt(int left) {
    const auto strip = Decode(101);
    return IRectangle(left, 81, left + strip->GetWidth(), 81 + strip->GetHeight() / 65);
}

void HostedEditor::SetUp() {
    // A busy virtual server may turn a connection away for a moment.
    WaitFor([&] { return (session = DesktopSession::Connect()) != nullptr; }, 2000);
    ASSERT_TRUE(session) << "no X display: run the tests through xvfb-run";
    ASSERT_TRUE(session->CanInject()) << "the X server lacks the XTest extension";
    std::string error;
    module = PluginModule::Load(DefaultModulePath(), &error);
    ASSERT_TRUE(module) << error;
    plugin = NewPlugin();
    ASSERT_TRUE(plugin);
    parent = session->CreateTopLevel("kvx window test", kWidth, kHeight);
}

void HostedEditor::TearDown() {
    if (plugin) {
        plugin->Dispatch(effEditClose);
        plugin.reset();
    }
    if (session && parent) {
        session->DestroyWindow(parent);
    }
}

std::unique_ptr<HostedPlugin> HostedEditor::NewPlugin() {
    std::string error;
    auto hosted = HostedPlugin::Create(*module, &error);
    EXPECT_TRUE(hosted) << error;
    if (hosted) {
        hosted->Open(44100.0, 512);
    }
    return hosted;
}

HostedEditor::Window HostedEditor::OpenEditor(HostedPlugin& hosted, Window into) {
    const auto before = session->Children(into);
    if (hosted.Dispatch(effEditOpen, 0, 0, reinterpret_cast<void*>(into)) != 1) {
        return 0;
    }
    for (const Window child : session->Children(into)) {
        if (std::find(before.begin(), before.end(), child) == before.end()) {
            return child;
        }
    }
    return 0;
}

int HostedEditor::KnobMismatch(Window editor, const IRectangle& knob, double value) {
    const auto background = Decode(102);
    const auto strip = Decode(101);
    const int frames = 65;
    const int frameHeight = strip->GetHeight() / frames;
    MemoryBitmap expected(knob.Width(), knob.Height());
    RasterBlitRect(&expected, background.get(), 0, 0, knob.left, knob.top, knob.Width(),
                   knob.Height(), 1.0f, ModeCopy);
    RasterBlitRect(&expected, strip.get(), 0, 0, 0,
                   (FrameForValue(value, frames) - 1) * frameHeight, knob.Width(), knob.Height(),
                   1.0f, ModeCopy | ModeUseSourceAlpha);
    const auto shown =
        session->ReadPixels(editor, knob.left, knob.top, knob.Width(), knob.Height());
    if (shown.empty()) {
        return knob.Width() * knob.Height();
    }
    int differing = 0;
    for (int y = 0; y < knob.Height(); ++y) {
        for (int x = 0; x < knob.Width(); ++x) {
            const RasterPixel want = RasterGetPixel(&expected, x, y) & 0xFFFFFF;
            differing += shown[size_t(y) * size_t(knob.Width()) + size_t(x)] != want;
        }
    }
    return differing;
}

void HostedEditor::Click(Window window, int x, int y, int button) {
    session->MovePointer(window, x, y);
    session->Button(button, true);
    session->Button(button, false);
    session->Flush();
}

void HostedEditor::Drag(Window window, int fromX, int fromY, int toX, int toY) {
    session->MovePointer(window, fromX, fromY);
    session->Button(1, true);
    session->Flush();
    Pause(20);
    for (int step = 1; step <= 8; ++step) {
        session->MovePointer(window, fromX + (toX - fromX) * step / 8,
                             fromY + (toY - fromY) * step / 8);
        session->Flush();
        Pause(15);
    }
    session->Button(1, false);
    session->Flush();
}

int HostedEditor::CallsWith(HostedPlugin& hosted, VstInt32 opcode, VstInt32 index) {
    int n = 0;
    for (const auto& call : hosted.CallsWith(opcode)) {
        n += call.index == index;
    }
    return n;
}
