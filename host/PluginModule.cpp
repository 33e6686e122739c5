#include "host/PluginModule.h"

#include "platform/DynamicLibrary.h"

#include <cstdlib>

#ifndef KVX_DEFAULT_MODULE
#define KVX_DEFAULT_MODULE ""
#endif

PluginModule::PluginModule(DynamicLibrary* library, VstPluginMainProc entry, std::string path)
    : library_(library), entry_(entry), path_(std::move(path)) {}

PluginModule::~PluginModule() {
    CloseDynamicLibrary(library_);
}

std::unique_ptr<PluginModule> PluginModule::Load(const std::string& path, std::string* error) {
    std::string reason;
    DynamicLibrary* library = OpenDynamicLibrary(path, &reason);
    if (!library) {
        *error = "cannot load " + path + ": " + reason;
        return nullptr;
    }
    void* entry = FindLibrarySymbol(library, "VSTPluginMain");
    if (!entry) {
        entry = FindLibrarySymbol(library, "main");
    }
    if (!entry) {
        CloseDynamicLibrary(library);
        *error = path + " is not a VST 2.x plug-in: it exports neither VSTPluginMain nor main";
        return nullptr;
    }
    return std::unique_ptr<PluginModule>(
        new PluginModule(library, reinterpret_cast<VstPluginMainProc>(entry), path));
}

std::string DefaultModulePath() {
    const char* fromEnvironment = std::getenv("KVX_MODULE");
    return fromEnvironment && *fromEnvironment ? fromEnvironment : KVX_DEFAULT_MODULE;
}
