#include "raster/ImageLoaderRegistry.h"
#include "raster/RasterImageLoad.h"

#include "platform/Module.h"
#include "platform/Resources.h"

#include <gtest/gtest.h>

#include <cstring>
#include <dlfcn.h>
#include <string>

namespace {

TEST(ImageLoaderRegistry, ListsPngThenJpeg) {
    ASSERT_NE(ImageLoaderList, nullptr);
    EXPECT_EQ(ImageLoaderList->load, RasterOpenPngImage);
    EXPECT_EQ(ImageLoaderList->filter, RasterPngFilter);
    ASSERT_NE(ImageLoaderList->next, nullptr);
    EXPECT_EQ(ImageLoaderList->next->load, RasterOpenJpegImage);
    EXPECT_EQ(ImageLoaderList->next->next, nullptr);
}

TEST(ImageLoaderRegistry, FilterTexts) {
    const char* png = RasterPngFilter();
    EXPECT_EQ(std::string(png), "PNG files (*.PNG)");
    png += std::strlen(png) + 1;
    EXPECT_EQ(std::string(png), "*.PNG");
    EXPECT_EQ(png[std::strlen(png) + 1], '\0');
    const char* jpeg = RasterJpegFilter();
    EXPECT_EQ(std::string(jpeg), "JPEG files (*.JPG;*.JPEG;*.JFIF)");
    jpeg += std::strlen(jpeg) + 1;
    EXPECT_EQ(std::string(jpeg), "*.JPG;*.JPEG;*.JFIF");
    EXPECT_EQ(jpeg[std::strlen(jpeg) + 1], '\0');
}

TEST(ImageLoaderRegistry, ExtensionTest) {
    static const char* const jpeg[] = {".jpg", ".jpeg", ".jfif"};
    EXPECT_TRUE(RasterPathHasExtension("/a/b/photo.JFIF", jpeg, 3));
    EXPECT_TRUE(RasterPathHasExtension("photo.jpeg", jpeg, 3));
    EXPECT_TRUE(RasterPathHasExtension(".jpg", jpeg, 3));
    EXPECT_FALSE(RasterPathHasExtension("photo.jpg.bak", jpeg, 3));
    EXPECT_FALSE(RasterPathHasExtension("jpg", jpeg, 3));
    EXPECT_FALSE(RasterPathHasExtension("dir.jpg/file", jpeg, 3));
    EXPECT_FALSE(RasterPathHasExtension("dir\\.jpgx", jpeg, 3));
    EXPECT_FALSE(RasterPathHasExtension("", jpeg, 3));
    EXPECT_FALSE(RasterPathHasExtension(nullptr, jpeg, 3));
    // A rejected extension gives null without touching the file system.
    EXPECT_EQ(RasterOpenJpegImage("/nonexistent/x.jpg.bak", true, nullptr), nullptr);
}

TEST(ModuleResources, FoundByTypeWithoutCaseAndId) {
    static const unsigned char first[] = {1, 2, 3};
    static const unsigned char second[] = {4};
    static ModuleResource a("PNG", 9001, first, sizeof first);
    static ModuleResource b("JPG", 9001, second, sizeof second);
    const unsigned char* data = nullptr;
    size_t size = 0;
    ASSERT_TRUE(FindModuleResource(nullptr, "png", 9001, &data, &size));
    EXPECT_EQ(data, first);
    EXPECT_EQ(size, 3u);
    ASSERT_TRUE(FindModuleResource(nullptr, "JPG", 9001, &data, &size));
    EXPECT_EQ(data, second);
    EXPECT_FALSE(FindModuleResource(nullptr, "PNG", 9002, &data, &size));
    EXPECT_FALSE(FindModuleResource(nullptr, "GIF", 9001, &data, &size));
    EXPECT_FALSE(FindModuleResource(nullptr, nullptr, 9001, &data, &size));
    {
        ModuleResource shadow("PNG", 9001, second, 1);
        ASSERT_TRUE(FindModuleResource(nullptr, "PNG", 9001, &data, &size));
        EXPECT_EQ(data, second);
    }
    ASSERT_TRUE(FindModuleResource(nullptr, "PNG", 9001, &data, &size));
    EXPECT_EQ(data, first);
}

TEST(ModuleResources, SearchedInTheModuleHandedIn) {
    static const unsigned char bytes[] = {7, 7};
    static ModuleResource mine("PNG", 9101, bytes, sizeof bytes);
    const unsigned char* data = nullptr;
    size_t size = 0;
    // This test program is the module, and also the executable that null stands for.
    EXPECT_TRUE(FindModuleResource(ThisModule().handle, "PNG", 9101, &data, &size));
    EXPECT_TRUE(FindModuleResource(nullptr, "PNG", 9101, &data, &size));
    // The maths library is another module: it holds no such resource.
    void* libm = dlopen("libm.so.6", RTLD_NOW);
    ASSERT_NE(libm, nullptr);
    Dl_info library{};
    ASSERT_TRUE(dladdr(dlsym(libm, "cos"), &library));
    ASSERT_NE(library.dli_fbase, ThisModule().handle);
    EXPECT_FALSE(FindModuleResource(library.dli_fbase, "PNG", 9101, &data, &size));
    EXPECT_EQ(RasterLoadPngResource(library.dli_fbase, 9101, nullptr), nullptr);
    dlclose(libm);
}

} // namespace
