#include "host/validate/EditorPixels.h"

std::vector<std::uint32_t> EditorPixels(DesktopSession& desktop, DesktopSession::Window top,
                                        int width, int height,
                                        const std::function<void(int ms)>& idle) {
    std::vector<std::uint32_t> pixels;
    for (int attempt = 0; attempt < 40; ++attempt) {
        idle(50);
        const auto children = desktop.Children(top);
        if (children.empty()) {
            continue;
        }
        pixels = desktop.ReadPixels(children.front(), 0, 0, width, height);
        for (std::uint32_t p : pixels) {
            if (p != pixels.front()) {
                // Drawn; one more round so a frame in progress is finished.
                idle(100);
                return desktop.ReadPixels(children.front(), 0, 0, width, height);
            }
        }
    }
    return pixels;
}
