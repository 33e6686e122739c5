// kvx-host edit [PLUGIN] [--screenshot FILE]
//
// Opens the plug-in's editor the way a Linux host does: in a top-level window of kvx-host's own,
// handed to the plug-in as the parent of its editor. Closing the window closes the editor and
// then the plug-in.

#include "host/ClapHostedPlugin.h"
#include "host/Commands.h"
#include "host/HostedPlugin.h"
#include "host/PngFile.h"
#include "platform/DesktopSession.h"

#include <cstdio>
#include <cstring>
#include <functional>

namespace {

void PrintHelp(std::FILE* to) {
    std::fprintf(to, "usage: kvx-host edit [PLUGIN] [--id ID] [--screenshot FILE]\n"
                     "\n"
                     "Opens the plug-in's editor (VST 2.x, or CLAP embedded in X11) in a window\n"
                     "of its own until the window is closed. Needs an X display (DISPLAY).\n"
                     "\n"
                     "  --id ID            the plug-in of a .clap module that holds several\n"
                     "  --screenshot FILE  once the editor has drawn itself, write the window\n"
                     "                     as a PNG and close\n");
}

// Shows the editor in window until the user closes it, or writes the window as a PNG once the
// editor has drawn itself; idle() keeps the host's side going meanwhile.
int ShowEditor(DesktopSession& desktop, DesktopSession::Window window, int width, int height,
               const std::string& screenshot, const std::function<void()>& idle) {
    if (screenshot.empty()) {
        while (!desktop.WaitForClose(window, 50)) {
            idle();
        }
        return 0;
    }
    // A few redraw ticks: the editor paints everything on its first.
    for (int waited = 0; waited < 500; waited += 50) {
        desktop.WaitForClose(window, 50);
        idle();
    }
    const auto pixels = desktop.ReadPixels(window, 0, 0, width, height);
    if (pixels.empty() || !WritePng(screenshot, pixels.data(), width, width, height)) {
        std::fprintf(stderr, "kvx-host edit: cannot write %s\n", screenshot.c_str());
        return 1;
    }
    return 0;
}

// The editor of a CLAP plug-in, embedded in an X11 window as CLAP hosts embed it.
int EditClap(const std::string& path, const std::string& pluginId, const std::string& screenshot) {
    std::string error;
    const LoadedClapPlugin loaded = LoadClapPlugin(path, pluginId, &error);
    ClapHostedPlugin* plugin = loaded.plugin.get();
    if (!plugin) {
        std::fprintf(stderr, "kvx-host edit: %s\n", error.c_str());
        return 1;
    }
    const clap_plugin* p = plugin->Plugin();
    const clap_plugin_gui* gui = plugin->Gui();
    std::uint32_t width = 0, height = 0;
    if (!gui || !gui->is_api_supported(p, CLAP_WINDOW_API_X11, false) ||
        !gui->create(p, CLAP_WINDOW_API_X11, false)) {
        std::fprintf(stderr, "kvx-host edit: %s has no editor to embed in X11\n", path.c_str());
        return 1;
    }
    const auto desktop = DesktopSession::Connect();
    if (!desktop || !gui->get_size(p, &width, &height)) {
        std::fprintf(stderr, "kvx-host edit: no X display to open the editor on (DISPLAY)\n");
        gui->destroy(p);
        return 1;
    }
    const std::string title = std::string("kvx-host edit: ") + plugin->Name();
    const DesktopSession::Window window =
        desktop->CreateTopLevel(title.c_str(), int(width), int(height));
    clap_window parent{};
    parent.api = CLAP_WINDOW_API_X11;
    parent.x11 = window;
    int status = 1;
    if (gui->set_parent(p, &parent) && gui->show(p)) {
        status = ShowEditor(*desktop, window, int(width), int(height), screenshot,
                            [plugin] { plugin->Pump(); });
    } else {
        std::fprintf(stderr, "kvx-host edit: the plug-in did not show its editor\n");
    }
    gui->destroy(p);
    desktop->DestroyWindow(window);
    return status;
}

} // namespace

int RunEdit(const std::vector<std::string>& args) {
    std::string pluginPath, pluginId, screenshot;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "-h" || args[i] == "--help") {
            PrintHelp(stdout);
            return 0;
        }
        if (args[i] == "--screenshot" && i + 1 < args.size()) {
            screenshot = args[++i];
        } else if (args[i] == "--id" && i + 1 < args.size()) {
            pluginId = args[++i];
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
    if (IsClapPath(pluginPath)) {
        return EditClap(pluginPath, pluginId, screenshot);
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
    // The editor runs on its own; a host still calls idle now and then.
    const int status = ShowEditor(*desktop, window, width, height, screenshot,
                                  [plugin] { plugin->Dispatch(effEditIdle); });
    plugin->Dispatch(effEditClose);
    plugin->Close();
    desktop->DestroyWindow(window);
    return status;
}
