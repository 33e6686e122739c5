#include "raster/MemoryBitmap.h"
#include "raster/RasterImageLoad.h"

#include "CappedBitmap.h"

#include <gtest/gtest.h>

#include <dirent.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

std::vector<unsigned char> ReadFile(const std::string& path) {
    std::vector<unsigned char> data;
    if (std::FILE* f = std::fopen(path.c_str(), "rb")) {
        unsigned char buffer[4096];
        size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) {
            data.insert(data.end(), buffer, buffer + n);
        }
        std::fclose(f);
    }
    return data;
}

std::vector<std::string> Files(const std::string& dir) {
    std::vector<std::string> names;
    if (DIR* d = opendir(dir.c_str())) {
        while (dirent* e = readdir(d)) {
            if (e->d_name[0] != '.') {
                names.push_back(e->d_name);
            }
        }
        closedir(d);
    }
    return names;
}

bool EndsWith(const std::string& s, const char* tail) {
    const std::string t(tail);
    return s.size() >= t.size() && s.compare(s.size() - t.size(), t.size(), t) == 0;
}

// The fuzz corpus (seed images, inputs the fuzzers kept and those that once hung) replayed
// through both loaders as the fuzz targets call them, in every build, also those without the
// fuzzers. The seeds are valid images and must decode.
TEST(FuzzCorpus, ReplaysThroughBothLoaders) {
    int files = 0;
    for (const char* format : {"png", "jpeg"}) {
        const std::string dir = std::string(KVX_RASTER_CORPUS_DIR) + "/" + format;
        for (const std::string& name : Files(dir)) {
            const auto data = ReadFile(dir + "/" + name);
            CappedBitmap png, jpeg;
            const bool pngDecoded = RasterLoadPngMemory(data.data(), data.size(), &png);
            const bool jpegDecoded = RasterLoadJpegMemory(data.data(), data.size(), &jpeg);
            if (EndsWith(name, ".png")) {
                EXPECT_TRUE(pngDecoded) << name;
            }
            if (EndsWith(name, ".jpg")) {
                EXPECT_TRUE(jpegDecoded) << name;
            }
            ++files;
        }
    }
    EXPECT_GT(files, 40);
}

} // namespace
