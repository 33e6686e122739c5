#include "platform/FileOpen.h"
#include "raster/RasterBitmap.h"
#include "raster/RasterImageLoad.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>

namespace {

// A 1 x 1 PNG whose one pixel is red 10, green 20, blue 30, alpha 40.
const unsigned char kOnePixelPng[] = {
    0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A, 0x00, 0x00, 0x00, 0x0D, 0x49, 0x48,
    0x44, 0x52, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x01, 0x08, 0x06, 0x00, 0x00,
    0x00, 0x1F, 0x15, 0xC4, 0x89, 0x00, 0x00, 0x00, 0x0D, 0x49, 0x44, 0x41, 0x54, 0x78,
    0x9C, 0x63, 0xE0, 0x12, 0x91, 0xD3, 0x00, 0x00, 0x00, 0xCD, 0x00, 0x65, 0x6A, 0x99,
    0x84, 0x42, 0x00, 0x00, 0x00, 0x00, 0x49, 0x45, 0x4E, 0x44, 0xAE, 0x42, 0x60, 0x82};

std::wstring TempFolder() {
    wchar_t path[MAX_PATH];
    const DWORD n = GetTempPathW(MAX_PATH, path);
    return std::wstring(path, n);
}

std::string Utf8(const std::wstring& text) {
    const int n = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string out(size_t(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, &out[0], n, nullptr, nullptr);
    out.resize(size_t(n - 1));
    return out;
}

} // namespace

// A user folder such as "Jörg" holds images the loaders must open from their UTF-8 paths.
TEST(FileNames, ImagesOpenFromFoldersWithNonAsciiNames) {
    const std::wstring folder = TempFolder() + L"J\u00F6rg \u6C34";
    CreateDirectoryW(folder.c_str(), nullptr);
    const std::wstring file = folder + L"\\panel.png";
    FILE* out = _wfopen(file.c_str(), L"wb");
    ASSERT_NE(out, nullptr);
    ASSERT_EQ(std::fwrite(kOnePixelPng, 1, sizeof kOnePixelPng, out), sizeof kOnePixelPng);
    std::fclose(out);

    const std::string path = Utf8(file);
    FILE* in = OpenFileForReading(path.c_str());
    EXPECT_NE(in, nullptr);
    if (in) {
        std::fclose(in);
    }
    std::unique_ptr<RasterBitmap> image(RasterLoadPngFile(path.c_str(), nullptr));
    ASSERT_TRUE(image);
    EXPECT_EQ(image->GetWidth(), 1);
    EXPECT_EQ(*image->GetBits(), 0x280A141Eu);
    EXPECT_EQ(RasterLoadJpegFile(path.c_str(), nullptr), nullptr) << "a PNG is no JPEG";
    EXPECT_EQ(OpenFileForReading((path + ".missing").c_str()), nullptr);
    // A byte path that is no UTF-8 falls back to the narrow call and finds nothing here.
    EXPECT_EQ(OpenFileForReading("\xFF\xFE.png"), nullptr);

    DeleteFileW(file.c_str());
    RemoveDirectoryW(folder.c_str());
}
