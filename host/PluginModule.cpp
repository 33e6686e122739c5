#include "host/PluginModule.h"

#include "platform/DynamicLibrary.h"
#include "platform/HostProcess.h"

#include <cstdio>
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

namespace {

bool FileExists(const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file) {
        std::fclose(file);
    }
    return file != nullptr;
}

} // namespace

std::string DefaultModulePath() {
    const char* fromEnvironment = std::getenv("KVX_MODULE");
    if (fromEnvironment && *fromEnvironment) {
        return fromEnvironment;
    }
    const std::string built = KVX_DEFAULT_MODULE;
    if (FileExists(built)) {
        return built;
    }
    // An installed kvx-host (bin/) finds the module installed with it (lib/vst/).
    const std::string program = HostExecutablePath();
    const size_t programSlash = program.find_last_of("/\\");
    const size_t builtSlash = built.find_last_of("/\\");
    if (programSlash == std::string::npos) {
        return built;
    }
    const std::string installed =
        program.substr(0, programSlash) + "/../lib/vst/" +
        built.substr(builtSlash == std::string::npos ? 0 : builtSlash + 1);
    return FileExists(installed) ? installed : built;
}
