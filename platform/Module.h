#pragma once

// The loaded plug-in module itself, recorded when the library is loaded. Resources and files
// beside the module are found through it.
struct ModuleInfo {
    void* handle = nullptr; // Linux: the module's base address; Windows: its HINSTANCE
    const char* path = "";  // full path of the module file
};

const ModuleInfo& ThisModule();
