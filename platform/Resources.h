#pragma once

#include <cstddef>

// Data compiled into a module, found by a resource type name ("PNG", "JPG") and an integer id,
// as Windows finds resources of a module. module is a handle as ModuleInfo records it; null
// means the program's own executable, as on Windows. Type names compare without regard to case.
bool FindModuleResource(void* module, const char* type, int id, const unsigned char** data,
                        size_t* size);

// On Linux a resource translation unit fills the table at load time by defining static
// ModuleResource objects; each links itself into the table and stays there for the life of the
// module. Each module has a table of its own. Later registrations of the same type and id hide
// earlier ones.
class ModuleResource {
public:
    ModuleResource(const char* type, int id, const unsigned char* data, size_t size);
    ModuleResource(const ModuleResource&) = delete;
    ModuleResource& operator=(const ModuleResource&) = delete;
    ~ModuleResource();

private:
    friend bool FindModuleResource(void*, const char*, int, const unsigned char**, size_t*);
    const char* type_;
    int id_;
    const unsigned char* data_;
    size_t size_;
    ModuleResource* next_;
};
