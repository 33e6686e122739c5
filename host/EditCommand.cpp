// kvx-host edit [PLUGIN] [--screenshot FILE]
//
// Opens the plug-in's editor the way a Linux host does: in a top-level window of kvx-host's own,
// handed to the plug-in as the parent of its editor. Closing the window closes the editor and
// then the plug-in.

#include "host/Commands.h"
#include "host/HostedPlugin.h"
#include "host/PngFile.h"
#include "platform/DesktopSession.h"

#include <cstdio>
#include <cstring>

namespace {

void PrintHelp(std::FILE* to) {
    std::fprintf(to, "usage: kvx-host edit [PLUGIN] [--screenshot FILE]\n"
                     "\n"
                     "Opens the plug-in's editor in a window of its own until the window is\n"
                     "closed. Needs an X display (DISPLAY).\n"
                     "\n"
                     "  --screenshot FILE  once the editor has drawn itself, write the window\n"
                     "                     as a PNG and close\n");
}

} // namespace

int RunEdit(const std::vector<std::string>& args) {
    std::string pluginPath, screenshot;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "-h" || args[i] == "--help") {
            PrintHelp(stdout);
            return 0;
        }
        if (args[i] == "--screenshot" && i + 1 < args.size()) {
            screenshot = args[++i];
        } else if (!args[i].empty() && args[i][0] != '-' && pluginPath.empty()) {
            pluginPath = args[i];
        } else {
            std::fprintf(stderr, "kvx-host edit: unexpected '%s'\n\n", args[i].c_str());
            PrintHelp(stderr);
            return 2;
        }
    }
    if (pluginPath.empty()) {
        pluginPath = DefaultModulePath();
    }
    std::string error;
    const LoadedPlugin loaded = LoadPlugin(pluginPath, &error);
    HostedPlugin* plugin = loaded.plugin.get();
    if (!plugin) {
        std::fprintf(stderr, "kvx-host edit: %s\n", error.c_str());
        return 1;
    }
    plugin->Open(44100.0, 512);
    ERect* rect = nullptr;
    if (!(plugin->Effect()->flags & effFlagsHasEditor) ||
        !plugin->Dispatch(effEditGetRect, 0, 0, &rect) || !rect) {
        std::fprintf(stderr, "kvx-host edit: %s has no editor\n", pluginPath.c_str());
        return 1;
    }
    const int width = rect->right - rect->left;
    const int height = rect->bottom - rect->top;
    const auto desktop = DesktopSession::Connect();
    if (!desktop) {
        std::fprintf(stderr, "kvx-host edit: no X display to open the editor on (DISPLAY)\n");
        return 1;
    }
    const std::string title = "kvx-host edit: " + plugin->EffectName();
    const DesktopSession::Window window = desktop->CreateTopLevel(title.c_str(), width, height);
    if (!plugin->Dispatch(effEditOpen, 0, 0, reinterpret_cast<void*>(window))) {
        std::fprintf(stderr, "kvx-host edit: the plug-in did not open its editor\n");
        desktop->DestroyWindow(window);
        return 1;
    }
    int status = 0;
    if (!screenshot.empty()) {
        // A few redraw ticks: the editor paints everything on its first.
        desktop->WaitForClose(window, 500);
        const auto pixels = desktop->ReadPixels(window, 0, 0, width, height);
        if (pixels.empty() || !WritePng(screenshot, pixels.data(), width, width, height)) {
            std::fprintf(stderr, "kvx-host edit: cannot write %s\n", screenshot.c_str());
            status = 1;
        }
    } else {
        // The editor runs on its own; a host still calls idle now and then.
        while (!desktop->WaitForClose(window, 50)) {
            plugin->Dispatch(effEditIdle);
        }
    }
    plugin->Dispatch(effEditClose);
    plugin->Close();
    desktop->DestroyWindow(window);
    return status;
}
