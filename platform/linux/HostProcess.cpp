#include "platform/HostProcess.h"

#include <unistd.h>

#include <climits>

std::string HostExecutablePath() {
    char path[PATH_MAX];
    const ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
    if (n <= 0) {
        return std::string();
    }
    return std::string(path, size_t(n));
}

std::string FolderOfPath(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    if (slash == std::string::npos || slash + 1 == path.size()) {
        return std::string();
    }
    return path.substr(0, slash + 1);
}
