#include "host/validate/EditorPixels.h"
#include "host/validate/Validation.h"
#include "platform/DesktopSession.h"

#include <chrono>

namespace {

// The host's main thread for a while: its window events and the plug-in's requests.
void Idle(DesktopSession& desktop, DesktopSession::Window top, ClapHostedPlugin& plugin, int ms) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (std::chrono::steady_clock::now() < end) {
        plugin.Pump();
        desktop.WaitForClose(top, 20);
    }
}

// Counts of one gesture's events for one parameter, in the order they came.
struct Gesture {
    int begins = 0, values = 0, ends = 0;
    bool ordered = true;
};

Gesture GestureOf(const std::vector<ClapPluginEvent>& events, clap_id param) {
    Gesture g;
    for (const ClapPluginEvent& e : events) {
        if (e.paramId != param) {
            continue;
        }
        if (e.type == CLAP_EVENT_PARAM_GESTURE_BEGIN) {
            g.ordered = g.ordered && g.begins == g.ends;
            ++g.begins;
        } else if (e.type == CLAP_EVENT_PARAM_VALUE) {
            g.ordered = g.ordered && g.begins > g.ends;
            ++g.values;
        } else if (e.type == CLAP_EVENT_PARAM_GESTURE_END) {
            g.ordered = g.ordered && g.begins == g.ends + 1;
            ++g.ends;
        }
    }
    return g;
}

// Presses points of a grid over the editor until one begins a gesture, drags up from there and
// releases: the host must hear begin, values and end, in that order.
void CheckDrag(Validation& v, ClapHostedPlugin& plugin, DesktopSession& desktop,
               DesktopSession::Window top, int width, int height) {
    const char* name = "clap editor: a drag sends begin, values, end";
    if (!desktop.CanInject()) {
        v.Skip(name, "the display takes no synthetic input");
        return;
    }
    const auto children = desktop.Children(top);
    const DesktopSession::Window editor = children.empty() ? top : children.front();
    for (int row = 0; row < 6; ++row) {
        for (int column = 0; column < 8; ++column) {
            const int x = width * (2 * column + 1) / 16, y = height * (2 * row + 1) / 12;
            plugin.ClearPluginEvents();
            desktop.MovePointer(editor, x, y);
            desktop.Button(1, true);
            desktop.Flush();
            Idle(desktop, top, plugin, 60);
            const auto pressed = plugin.PluginEvents();
            if (pressed.empty() || pressed.front().type != CLAP_EVENT_PARAM_GESTURE_BEGIN) {
                desktop.Button(1, false);
                desktop.Flush();
                Idle(desktop, top, plugin, 30);
                continue;
            }
            const clap_id param = pressed.front().paramId;
            for (int step = 1; step <= 4; ++step) {
                desktop.MovePointer(editor, x, y - 8 * step);
                desktop.Flush();
                Idle(desktop, top, plugin, 40);
            }
            desktop.Button(1, false);
            desktop.Flush();
            Idle(desktop, top, plugin, 100);
            const Gesture g = GestureOf(plugin.PluginEvents(), param);
            const bool sent = g.begins == 1 && g.ends == 1 && g.values > 0 && g.ordered;
            v.Report(name, sent,
                     Figure("parameter %u: %d begin, %d values, %d end%s", unsigned(param),
                            g.begins, g.values, g.ends, g.ordered ? "" : ", out of order"));
            return;
        }
    }
    v.Skip(name, "no press on the editor began a gesture");
}

} // namespace

void CheckClapEditor(Validation& v) {
    auto plugin = v.NewClapPlugin("clap editor: instantiate");
    if (!plugin) {
        return;
    }
    const clap_plugin_gui* gui = plugin->Gui();
    const clap_plugin* p = plugin->Plugin();
    if (!gui) {
        v.Skip("clap editor: x11 embedding", "no gui extension");
        return;
    }
    if (!gui->is_api_supported(p, CLAP_WINDOW_API_X11, false)) {
        v.Skip("clap editor: x11 embedding", "the editor does not embed in X11");
        return;
    }
    auto desktop = DesktopSession::Connect();
    if (!desktop) {
        v.Skip("clap editor: x11 embedding", "no display");
        return;
    }
    std::uint32_t width = 0, height = 0;
    const bool created = gui->create(p, CLAP_WINDOW_API_X11, false);
    const bool sized = created && gui->get_size(p, &width, &height) && width > 0 && height > 0;
    v.Report("clap editor: create and size", sized,
             sized ? Figure("%u x %u", unsigned(width), unsigned(height)) : "no usable size");
    if (!sized) {
        if (created) {
            gui->destroy(p);
        }
        return;
    }
    const int w = int(width), h = int(height);
    const DesktopSession::Window top = desktop->CreateTopLevel("kvx-host validate", w, h);
    clap_window window{};
    window.api = CLAP_WINDOW_API_X11;
    window.x11 = top;
    const auto idle = [&](int ms) { Idle(*desktop, top, *plugin, ms); };
    const bool embedded = gui->set_parent(p, &window) && gui->show(p);
    const std::vector<std::uint32_t> first = EditorPixels(*desktop, top, w, h, idle);
    gui->hide(p);
    Idle(*desktop, top, *plugin, 50);
    const bool shownAgain = gui->show(p);
    const std::vector<std::uint32_t> second = EditorPixels(*desktop, top, w, h, idle);
    const bool same = embedded && shownAgain && !first.empty() && first == second;
    v.Report("clap editor: shown, hidden and shown the same", same,
             same ? Figure("%zu pixels", first.size())
                  : Figure("embedded %d, shown again %d, %zu and %zu pixels read", embedded,
                           shownAgain, first.size(), second.size()));

    CheckDrag(v, *plugin, *desktop, top, w, h);

    // Created and destroyed again and again, with and without being shown.
    gui->destroy(p);
    bool cycles = true;
    for (int i = 0; i < 20; ++i) {
        cycles = gui->create(p, CLAP_WINDOW_API_X11, false) && cycles;
        if (i % 2 == 0) {
            cycles = gui->set_parent(p, &window) && gui->show(p) && cycles;
            Idle(*desktop, top, *plugin, 5);
        }
        gui->destroy(p);
    }
    v.Report("clap editor: created and destroyed 20 times", cycles, "half of them shown");
    desktop->DestroyWindow(top);
}
