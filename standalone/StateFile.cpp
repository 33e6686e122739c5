#include "standalone/StateFile.h"

#include "host/FileBytes.h"
#include "standalone/EmbeddedPlugin.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

// Bytes at the start of every state: the chunk's magic and format version.
constexpr std::size_t kHeaderSize = 8;
// A state is a few dozen bytes; a file near a megabyte is none.
constexpr std::size_t kMaxStateFileBytes = 1 << 20;

bool MakeFolders(const std::string& folder, std::string* error) {
    for (std::size_t slash = folder.find('/', 1);; slash = folder.find('/', slash + 1)) {
        const std::string part = folder.substr(0, slash);
        if (mkdir(part.c_str(), 0755) != 0 && errno != EEXIST) {
            *error = "cannot create the folder " + part + ": " + std::strerror(errno);
            return false;
        }
        if (slash == std::string::npos) {
            return true;
        }
    }
}

} // namespace

std::string DefaultStatePath() {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    if (config && *config == '/') {
        return std::string(config) + "/kelvorantumix/state";
    }
    const char* home = std::getenv("HOME");
    if (home && *home) {
        return std::string(home) + "/.config/kelvorantumix/state";
    }
    return {};
}

StateLoad LoadStateFile(EmbeddedPlugin& plugin, const std::string& path, std::string* problem) {
    struct stat info {};
    if (stat(path.c_str(), &info) != 0 && errno == ENOENT) {
        return StateLoad::kMissing;
    }
    std::vector<unsigned char> bytes;
    std::string reason;
    if (!S_ISREG(info.st_mode)) {
        *problem = "cannot read " + path;
        return StateLoad::kRejected;
    }
    if (!ReadFileBytes(path, kMaxStateFileBytes, &bytes, &reason)) {
        *problem = reason;
        return StateLoad::kRejected;
    }
    const std::vector<unsigned char> current = plugin.State();
    if (bytes.size() < current.size()) {
        *problem = path + " is too short for a Kelvorantumix state (" +
                   std::to_string(bytes.size()) + " bytes of " + std::to_string(current.size()) +
                   ")";
        return StateLoad::kRejected;
    }
    if (current.size() < kHeaderSize ||
        std::memcmp(bytes.data(), current.data(), kHeaderSize) != 0) {
        *problem = path + " is not a Kelvorantumix state";
        return StateLoad::kRejected;
    }
    if (!plugin.SetState(bytes)) {
        // A refused state may have been read in part: the settings before it come back.
        plugin.SetState(current);
        *problem = "the plug-in refused the state in " + path;
        return StateLoad::kRejected;
    }
    return StateLoad::kLoaded;
}

bool SaveStateFile(EmbeddedPlugin& plugin, const std::string& path, std::string* error) {
    const std::vector<unsigned char> state = plugin.State();
    if (state.empty()) {
        *error = "the plug-in gave no state to save";
        return false;
    }
    const std::size_t slash = path.find_last_of('/');
    if (slash != std::string::npos && slash > 0 && !MakeFolders(path.substr(0, slash), error)) {
        return false;
    }
    const std::string temporary = path + ".new-" + std::to_string(getpid());
    if (!WriteFileBytes(temporary, state, error)) {
        return false;
    }
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        *error = "cannot replace " + path + ": " + std::strerror(errno);
        std::remove(temporary.c_str());
        return false;
    }
    return true;
}
