#include "host/ClapModule.h"

#include "platform/DynamicLibrary.h"

ClapModule::ClapModule(DynamicLibrary* library, const clap_plugin_entry* entry,
                       const clap_plugin_factory* factory, std::string path)
    : library_(library), entry_(entry), factory_(factory), path_(std::move(path)) {}

ClapModule::~ClapModule() {
    if (entry_->deinit) {
        entry_->deinit();
    }
    CloseDynamicLibrary(library_);
}

std::unique_ptr<ClapModule> ClapModule::Load(const std::string& path, std::string* error) {
    std::string reason;
    DynamicLibrary* library = OpenDynamicLibrary(path, &reason);
    if (!library) {
        *error = "cannot load " + path + ": " + reason;
        return nullptr;
    }
    const auto* entry =
        static_cast<const clap_plugin_entry*>(FindLibrarySymbol(library, "clap_entry"));
    const auto fail = [&](const std::string& why) {
        CloseDynamicLibrary(library);
        *error = path + ": " + why;
        return nullptr;
    };
    if (!entry) {
        return fail("not a CLAP module: it exports no clap_entry");
    }
    if (!ClapVersionIsCompatible(entry->clap_version) || !entry->init || !entry->get_factory) {
        return fail("its clap_entry is of an incompatible CLAP version or incomplete");
    }
    if (!entry->init(path.c_str())) {
        return fail("its entry refused to initialise");
    }
    const auto* factory =
        static_cast<const clap_plugin_factory*>(entry->get_factory(CLAP_PLUGIN_FACTORY_ID));
    if (!factory || !factory->get_plugin_count || !factory->get_plugin_descriptor ||
        !factory->create_plugin) {
        if (entry->deinit) {
            entry->deinit();
        }
        return fail("it offers no plug-in factory");
    }
    return std::unique_ptr<ClapModule>(new ClapModule(library, entry, factory, path));
}

std::vector<const clap_plugin_descriptor*> ClapModule::Descriptors() const {
    std::vector<const clap_plugin_descriptor*> found;
    const std::uint32_t count = factory_->get_plugin_count(factory_);
    for (std::uint32_t i = 0; i < count; ++i) {
        const clap_plugin_descriptor* d = factory_->get_plugin_descriptor(factory_, i);
        if (d && d->id) {
            found.push_back(d);
        }
    }
    return found;
}

bool ClapModule::ChoosePlugin(const std::string& wanted, std::string* id,
                              std::string* error) const {
    const auto descriptors = Descriptors();
    std::string ids;
    for (const clap_plugin_descriptor* d : descriptors) {
        if (!wanted.empty() && wanted == d->id) {
            *id = wanted;
            return true;
        }
        ids += (ids.empty() ? "" : ", ") + std::string(d->id);
    }
    if (wanted.empty() && descriptors.size() == 1) {
        *id = descriptors.front()->id;
        return true;
    }
    if (descriptors.empty()) {
        *error = path_ + " offers no plug-in";
    } else if (wanted.empty()) {
        *error = path_ + " holds several plug-ins; choose one with --id: " + ids;
    } else {
        *error = path_ + " has no plug-in " + wanted + "; it offers " + ids;
    }
    return false;
}

bool IsClapPath(const std::string& path) {
    const std::string extension = ".clap";
    return path.size() > extension.size() &&
           path.compare(path.size() - extension.size(), extension.size(), extension) == 0;
}
