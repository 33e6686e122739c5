#include "host/PluginModule.h"

#include <dlfcn.h>

#include <cstdlib>

#ifndef KVX_DEFAULT_MODULE
#define KVX_DEFAULT_MODULE ""
#endif

PluginModule::PluginModule(void* handle, VstPluginMainProc entry, std::string path)
    : handle_(handle), entry_(entry), path_(std::move(path)) {}

PluginModule::~PluginModule() { dlclose(handle_); }

std::unique_ptr<PluginModule> PluginModule::Load(const std::string& path, std::string* error) {
    // A name without a slash would be searched for in the library path only, but a user who
    // types one means the file in the current folder.
    const std::string file = path.find('/') == std::string::npos ? "./" + path : path;
    void* handle = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        const char* reason = dlerror();
        *error = "cannot load " + path + ": " + (reason ? reason : "unknown loader error");
        return nullptr;
    }
    void* entry = dlsym(handle, "VSTPluginMain");
    if (!entry) {
        entry = dlsym(handle, "main");
    }
    if (!entry) {
        dlclose(handle);
        *error = path + " is not a VST 2.x plug-in: it exports neither VSTPluginMain nor main";
        return nullptr;
    }
    return std::unique_ptr<PluginModule>(
        new PluginModule(handle, reinterpret_cast<VstPluginMainProc>(entry), path));
}

std::string DefaultModulePath() {
    const char* fromEnvironment = std::getenv("KVX_MODULE");
    return fromEnvironment && *fromEnvironment ? fromEnvironment : KVX_DEFAULT_MODULE;
}
