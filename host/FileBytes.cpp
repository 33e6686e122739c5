#include "host/FileBytes.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

bool ReadFileBytes(const std::string& path, std::size_t maxBytes, std::vector<unsigned char>* bytes,
                   std::string* error) {
    bytes->clear();
    struct stat status {};
    if (stat(path.c_str(), &status) != 0) {
        *error = "cannot read " + path + ": " + std::strerror(errno);
        return false;
    }
    if (S_ISDIR(status.st_mode)) {
        *error = "cannot read " + path + ": it is a folder";
        return false;
    }
    if (std::uint64_t(status.st_size) > maxBytes) {
        *error = path + " is " + std::to_string(status.st_size) + " bytes, more than the " +
                 std::to_string(maxBytes) + " kvx-host reads of such a file";
        return false;
    }
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) {
        *error = "cannot read " + path + ": " + std::strerror(errno);
        return false;
    }
    unsigned char buffer[65536];
    std::size_t n;
    // A file that grew since stat is still held to the limit.
    while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0 && bytes->size() <= maxBytes) {
        bytes->insert(bytes->end(), buffer, buffer + n);
    }
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed || bytes->size() > maxBytes) {
        *error = failed
                     ? "cannot read " + path
                     : path + " grew past " + std::to_string(maxBytes) + " bytes while it was read";
        bytes->clear();
        return false;
    }
    return true;
}

bool WriteFileBytes(const std::string& path, const std::vector<unsigned char>& bytes,
                    std::string* error) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) {
        *error = "cannot write " + path + ": " + std::strerror(errno);
        return false;
    }
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    if (std::fclose(file) != 0 || !written) {
        unlink(path.c_str());
        *error = "cannot write " + path + ": " + std::strerror(errno);
        return false;
    }
    return true;
}
