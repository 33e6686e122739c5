#pragma once

#include <string>

// Loading a shared library (Linux .so, Windows .dll) and finding its exported functions.
struct DynamicLibrary;

// Returns null and the loader's message in error when the file cannot be loaded.
DynamicLibrary* OpenDynamicLibrary(const std::string& path, std::string* error);
void CloseDynamicLibrary(DynamicLibrary* library);
// The exported function of that name, or null.
void* FindLibrarySymbol(DynamicLibrary* library, const char* name);
