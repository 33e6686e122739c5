#include "platform/Resources.h"

#include <strings.h>

namespace {

// Filled by static constructors before anything looks a resource up, so no lock is needed.
ModuleResource* gResources = nullptr;

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

bool FindModuleResource(const char* type, int id, const unsigned char** data, size_t* size) {
    if (!type || !data || !size) {
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
