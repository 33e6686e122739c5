#pragma once

#include "plugin/ClapAbi.h"

#include <memory>
#include <string>
#include <vector>

struct DynamicLibrary;

// A CLAP module loaded from a file: its entry initialised, its plug-in factory found. The entry
// is deinitialised and the file unloaded when the module goes.
class ClapModule {
public:
    // Loads the module at path; on failure returns null and says why in error.
    static std::unique_ptr<ClapModule> Load(const std::string& path, std::string* error);
    ~ClapModule();
    ClapModule(const ClapModule&) = delete;
    ClapModule& operator=(const ClapModule&) = delete;

    const clap_plugin_factory* Factory() const { return factory_; }
    const std::string& Path() const { return path_; }
    // Every plug-in the factory offers, in its order.
    std::vector<const clap_plugin_descriptor*> Descriptors() const;
    // The plug-in to use: wanted when the module offers it, or the only one when wanted is
    // empty; otherwise false, and error lists the IDs.
    bool ChoosePlugin(const std::string& wanted, std::string* id, std::string* error) const;

private:
    ClapModule(DynamicLibrary* library, const clap_plugin_entry* entry,
               const clap_plugin_factory* factory, std::string path);

    DynamicLibrary* library_;
    const clap_plugin_entry* entry_;
    const clap_plugin_factory* factory_;
    std::string path_;
};

// Whether path names a CLAP module (by its extension, as hosts find them).
bool IsClapPath(const std::string& path);
