#include "platform/HostProcess.h"

#include <windows.h>

std::string HostExecutablePath() {
    char path[MAX_PATH];
    const DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    return n > 0 && n < MAX_PATH ? std::string(path, n) : std::string();
}

std::string FolderOfPath(const std::string& path) {
    const size_t slash = path.find_last_of('\\');
    if (slash == std::string::npos || slash + 1 == path.size()) {
        return std::string();
    }
    return path.substr(0, slash + 1);
}
