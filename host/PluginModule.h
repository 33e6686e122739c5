#pragma once

#include "plugin/VstAbi.h"

#include <memory>
#include <string>

struct DynamicLibrary;

// A VST 2.x module loaded from a file, with its entry function.
class PluginModule {
public:
    // Loads the module at path; on failure returns null and says why in error.
    static std::unique_ptr<PluginModule> Load(const std::string& path, std::string* error);
    ~PluginModule();
    PluginModule(const PluginModule&) = delete;
    PluginModule& operator=(const PluginModule&) = delete;

    VstPluginMainProc Entry() const { return entry_; }
    const std::string& Path() const { return path_; }

private:
    PluginModule(DynamicLibrary* library, VstPluginMainProc entry, std::string path);

    DynamicLibrary* library_;
    VstPluginMainProc entry_;
    std::string path_;
};

// The module this host was built with, or the one named by the KVX_MODULE environment variable.
std::string DefaultModulePath();
