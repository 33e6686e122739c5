#include "editor/IGraphicsLinux.h"

#include "platform/HostProcess.h"
#include "platform/Module.h"
#include "raster/RasterImageLoad.h"

#include <strings.h>

#include <cstring>

IGraphicsLinux::IGraphicsLinux(IPlugBase* plug, int width, int height, int fps)
    : IGraphicsLice(plug, width, height, fps) {}

// Everything is already on the surface; there is no window to copy it to.
bool IGraphicsLinux::PresentArea(const IRectangle&) {
    return true;
}

// Text needs the window's font machinery; without it nothing is drawn.
bool IGraphicsLinux::DrawTextInRect(const ITextStyle&, const char* text, const IRectangle&) {
    return !text;
}

void IGraphicsLinux::ChangeSize(int width, int height) {
    IGraphicsBase::ChangeSize(width, height);
    ResizeSurface();
}

void IGraphicsLinux::BeginValueEntry(IControl*, IParameter*) {}

void IGraphicsLinux::GetHostFolder(std::string& out) {
    out = FolderOfPath(HostExecutablePath());
}

void IGraphicsLinux::GetModuleFolder(std::string& out) {
    out = FolderOfPath(ThisModule().path);
}

void IGraphicsLinux::AskForFile(std::string& out, int, const char*) {
    out.clear();
}

bool IGraphicsLinux::AskForColour(IRgba&, const char*) {
    return false;
}

bool IGraphicsLinux::OpenWebLink(const char*, const char*, const char*, const char*) {
    return false;
}

void* IGraphicsLinux::OpenEditorWindow(void*) {
    return nullptr;
}

void IGraphicsLinux::CloseEditorWindow() {}

void* IGraphicsLinux::NativeWindow() {
    return nullptr;
}

RasterBitmap* IGraphicsLinux::DecodeImageResource(int id, const char* name) {
    if (!name || !*name) {
        return nullptr;
    }
    const char* dot = std::strrchr(name, '.');
    // A name without a dot is taken from its second character on, as its whole "extension".
    const char* extension = dot ? dot + 1 : name + 1;
    void* module = ThisModule().handle;
    if (strcasecmp(extension, "png") == 0) {
        return RasterLoadPngResource(module, id, nullptr);
    }
    if (strcasecmp(extension, "jpg") == 0 || strcasecmp(extension, "jpeg") == 0) {
        return RasterLoadJpegResource(module, id, nullptr);
    }
    return nullptr;
}

std::string FolderOfPath(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    if (slash == std::string::npos || slash + 1 == path.size()) {
        return std::string();
    }
    return path.substr(0, slash + 1);
}
