#include "host/validate/AudioRun.h"
#include "host/validate/EditorPixels.h"
#include "host/validate/Validation.h"
#include "platform/DesktopSession.h"

#include <atomic>
#include <chrono>
#include <thread>

namespace {

// Keeps the host's side going for a while, as a host's user-interface thread does: its own
// window events and the editor's idle calls, which some plug-ins rely on to draw.
void Idle(DesktopSession& desktop, DesktopSession::Window top, HostedPlugin& plugin, int ms) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (std::chrono::steady_clock::now() < end) {
        plugin.Dispatch(effEditIdle);
        desktop.WaitForClose(top, 20);
    }
}

// Presses the first point of a grid over the editor where a press begins a host edit, drags a
// little, and closes the editor before releasing: every edit begun must have ended.
void CheckCloseDuringDrag(Validation& v, HostedPlugin& plugin, DesktopSession& desktop,
                          DesktopSession::Window top, int width, int height) {
    const char* name = "editor: closed during a drag ends the edit";
    if (!desktop.CanInject()) {
        v.Skip(name, "the display takes no synthetic input");
        return;
    }
    void* parent = reinterpret_cast<void*>(top);
    if (plugin.Dispatch(effEditOpen, 0, 0, parent) != 1) {
        v.Report(name, false, "the editor did not open");
        return;
    }
    EditorPixels(desktop, top, width, height, [&](int ms) { Idle(desktop, top, plugin, ms); });
    const auto children = desktop.Children(top);
    const DesktopSession::Window editor = children.empty() ? top : children.front();
    bool grabbed = false;
    for (int row = 0; row < 6 && !grabbed; ++row) {
        for (int column = 0; column < 8 && !grabbed; ++column) {
            const int x = width * (2 * column + 1) / 16, y = height * (2 * row + 1) / 12;
            plugin.ClearCalls();
            desktop.MovePointer(editor, x, y);
            desktop.Button(1, true);
            desktop.Flush();
            Idle(desktop, top, plugin, 60);
            grabbed = !plugin.CallsWith(audioMasterBeginEdit).empty();
            if (grabbed) {
                desktop.MovePointer(editor, x, y - 12);
                desktop.Flush();
                Idle(desktop, top, plugin, 60);
                plugin.Dispatch(effEditClose);
            }
            desktop.Button(1, false);
            desktop.Flush();
            Idle(desktop, top, plugin, 30);
        }
    }
    if (!grabbed) {
        plugin.Dispatch(effEditClose);
        v.Skip(name, "no press on the editor began an edit");
        return;
    }
    const size_t begun = plugin.CallsWith(audioMasterBeginEdit).size();
    const size_t ended = plugin.CallsWith(audioMasterEndEdit).size();
    v.Report(name, begun == ended, Figure("%zu begun, %zu ended", begun, ended));
}

} // namespace

void CheckEditor(Validation& v) {
    auto plugin = v.NewPlugin("editor: instantiate");
    if (!plugin) {
        return;
    }
    if (!(plugin->Effect()->flags & effFlagsHasEditor)) {
        v.Skip("editor: rectangle", "the plug-in has no editor");
        return;
    }
    StartPlugin(*plugin, 44100.0, 256);
    ERect* rect = nullptr;
    const VstIntPtr answered = plugin->Dispatch(effEditGetRect, 0, 0, &rect);
    const bool sized =
        answered == 1 && rect && rect->right > rect->left && rect->bottom > rect->top;
    v.Report("editor: rectangle", sized,
             sized ? Figure("%d x %d", rect->right - rect->left, rect->bottom - rect->top)
                   : "no usable rectangle");
    if (!sized) {
        return;
    }
    const int width = rect->right - rect->left;
    const int height = rect->bottom - rect->top;
    auto desktop = DesktopSession::Connect();
    if (!desktop) {
        v.Skip("editor: open, close, reopen", "no display");
        return;
    }
    const DesktopSession::Window top = desktop->CreateTopLevel("kvx-host validate", width, height);
    void* parent = reinterpret_cast<void*>(top);

    const auto idle = [&](int ms) { Idle(*desktop, top, *plugin, ms); };
    const bool opened = plugin->Dispatch(effEditOpen, 0, 0, parent) == 1;
    const std::vector<std::uint32_t> first = EditorPixels(*desktop, top, width, height, idle);
    plugin->Dispatch(effEditClose);
    Idle(*desktop, top, *plugin, 50);
    const bool reopened = plugin->Dispatch(effEditOpen, 0, 0, parent) == 1;
    const std::vector<std::uint32_t> second = EditorPixels(*desktop, top, width, height, idle);
    plugin->Dispatch(effEditClose);
    const bool same = opened && reopened && !first.empty() && first == second;
    v.Report("editor: reopened editor shows the same pixels", same,
             same ? Figure("%zu pixels", first.size())
                  : Figure("opened %d, reopened %d, %zu and %zu pixels read", opened, reopened,
                           first.size(), second.size()));

    CheckCloseDuringDrag(v, *plugin, *desktop, top, width, height);

    // The host's threads go on while its user-interface thread opens and closes the editor.
    std::atomic<bool> stop{false};
    std::atomic<bool> healthy{true};
    std::thread audio([&] {
        const int channels = plugin->Effect()->numInputs > 0 ? plugin->Effect()->numInputs : 1;
        const Planar input = MakeSignal(TestSignal::Noise, channels, 256, 44100.0, 5);
        while (!stop) {
            AudioRun run(*plugin, false, false);
            healthy = healthy && run.Process(input, {256}).outputsHealthy;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    });
    std::thread automation([&] {
        const std::vector<unsigned char> chunk = plugin->GetChunk(true);
        std::mt19937 random(v.Settings().seed);
        const int numParams = plugin->Effect()->numParams;
        for (int i = 0; !stop; ++i) {
            if (numParams > 0) {
                plugin->SetParameter(int(random() % unsigned(numParams)),
                                     float(random() % 101) / 100.0f);
            }
            if (i % 64 == 0 && !chunk.empty()) {
                plugin->SetChunk(chunk, true);
            }
            std::this_thread::sleep_for(std::chrono::microseconds(300));
        }
    });
    int cycles = 0;
    bool allOpened = true;
    for (; cycles < 100; ++cycles) {
        allOpened = plugin->Dispatch(effEditOpen, 0, 0, parent) == 1 && allOpened;
        Idle(*desktop, top, *plugin, cycles % 10 == 0 ? 60 : 5);
        plugin->Dispatch(effEditClose);
    }
    stop = true;
    audio.join();
    automation.join();
    v.Report("editor: opened and closed 100 times while audio runs", allOpened && healthy,
             Figure("%d cycles, audio %s", cycles, healthy ? "finite" : "broken"));
    desktop->DestroyWindow(top);
}
