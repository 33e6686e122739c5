#include "PanelFixture.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

namespace {

int RunHost(const std::string& arguments) {
    const std::string command =
        std::string(KVX_LAUNCHER " " KVX_HOST_EXE " ") + arguments + " 2>/dev/null";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string TempPng(const char* name) {
    return std::string(::testing::TempDir()) + name + std::to_string(getpid()) + ".png";
}

} // namespace

using SnapshotCommand = PanelFixture;

TEST_F(SnapshotCommand, WritesTheEditorAsDrawnInProcess) {
    const std::string path = TempPng("panel");
    ASSERT_EQ(RunHost("snapshot -o " + path + " --set Level=0 --set drive=1 --set Vortalizer=On"),
              0);
    std::unique_ptr<RasterBitmap> written(RasterLoadPngFile(path.c_str(), nullptr));
    std::remove(path.c_str());
    ASSERT_NE(written, nullptr);
    ASSERT_EQ(written->GetWidth(), 465);
    ASSERT_EQ(written->GetHeight(), 336);

    SetParameter(PlugExample::kLevel, 0.0f);
    SetParameter(PlugExample::kDrive, 1.0f);
    SetParameter(PlugExample::kVortalizer, 1.0f);
    Paint();
    EXPECT_EQ(DifferingPixels(*written, IRectangle(0, 0, 465, 336)), 0);
}

TEST_F(SnapshotCommand, AboutBoxAndRefusals) {
    const std::string plain = TempPng("plain");
    const std::string about = TempPng("about");
    ASSERT_EQ(RunHost("snapshot -o " + plain), 0);
    ASSERT_EQ(RunHost("snapshot Kelvorantumix_x64.so --about -o " + about), 0);
    std::unique_ptr<RasterBitmap> a(RasterLoadPngFile(plain.c_str(), nullptr));
    std::unique_ptr<RasterBitmap> b(RasterLoadPngFile(about.c_str(), nullptr));
    std::remove(plain.c_str());
    std::remove(about.c_str());
    ASSERT_TRUE(a && b);
    EXPECT_EQ(DifferingPixels(*a, IRectangle(0, 0, 465, 336)), 0);
    int differing = 0;
    for (int y = 69; y < 294; ++y) {
        for (int x = 72; x < 391; ++x) {
            differing += RasterGetPixel(a.get(), x, y) != RasterGetPixel(b.get(), x, y);
        }
    }
    EXPECT_GT(differing, 10000) << "the about box covers the middle of the panel";

    const std::string refused = TempPng("refused");
    EXPECT_EQ(RunHost("snapshot -o " + refused + " --set Sparkle=1"), 2);
    EXPECT_EQ(RunHost("snapshot -o " + refused + " --set Level=2"), 2);
    EXPECT_EQ(RunHost("snapshot -o " + refused + " --set Level"), 2);
    EXPECT_EQ(RunHost("snapshot /usr/lib/other.so -o " + refused), 2);
    EXPECT_EQ(RunHost("snapshot --set Level=1"), 2);
    EXPECT_NE(access(refused.c_str(), F_OK), 0) << "nothing written on a refusal";
}
