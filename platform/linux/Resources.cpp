#include "platform/Resources.h"

#include <dlfcn.h>
#include <strings.h>
#include <sys/auxv.h>

namespace {

// Filled by static constructors before anything looks a resource up, so no lock is needed.
ModuleResource* gResources = nullptr;

// The base address of the loaded object that holds address, as ModuleInfo's handle.
void* ModuleHolding(const void* address) {
    Dl_info info{};
    return dladdr(address, &info) ? info.dli_fbase : nullptr;
}

// Every module links its own copy of this table, so it holds that module's resources only.
bool IsTheModuleOfThisTable(void* module) {
    if (!module) {
        // The executable is the object that holds the program's entry point.
        module = ModuleHolding(reinterpret_cast<const void*>(getauxval(AT_ENTRY)));
    }
    return module && module == ModuleHolding(&gResources);
}

} // namespace

ModuleResource::ModuleResource(const char* type, int id, const unsigned char* data, size_t size)
    : type_(type), id_(id), data_(data), size_(size), next_(gResources) {
    gResources = this;
}

ModuleResource::~ModuleResource() {
    for (ModuleResource** link = &gResources; *link; link = &(*link)->next_) {
        if (*link == this) {
            *link = next_;
            break;
        }
    }
}

bool FindModuleResource(void* module, const char* type, int id, const unsigned char** data,
                        size_t* size) {
    if (!type || !data || !size || !IsTheModuleOfThisTable(module)) {
        return false;
    }
    for (const ModuleResource* r = gResources; r; r = r->next_) {
        if (r->id_ == id && r->type_ && strcasecmp(r->type_, type) == 0) {
            *data = r->data_;
            *size = r->size_;
            return true;
        }
    }
    return false;
}
