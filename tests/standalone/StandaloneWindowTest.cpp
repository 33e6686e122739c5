// kelvorantumix with its window on the virtual display the test runs in, on a private JACK
// server: the panel as kvx-host snapshot draws it, and a footswitch that changes the sound.

#include "StandaloneOnJack.h"
#include "WaitFor.h"
#include "platform/DesktopSession.h"

#include <png.h>

#include <chrono>
#include <csignal>
#include <thread>

namespace {

// The Effect footswitch's button on the panel.
constexpr int kEffectSwitchX = 345;
constexpr int kEffectSwitchY = 256;

// Pixels 0xRRGGBB of a PNG file, row by row; empty when it cannot be read.
std::vector<std::uint32_t> ReadPng(const std::string& path, int* width, int* height) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) {
        return {};
    }
    image.format = PNG_FORMAT_RGB;
    std::vector<png_byte> rgb(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr)) {
        return {};
    }
    *width = int(image.width);
    *height = int(image.height);
    std::vector<std::uint32_t> pixels(std::size_t(image.width) * image.height);
    for (std::size_t i = 0; i < pixels.size(); ++i) {
        pixels[i] =
            std::uint32_t(rgb[3 * i]) << 16 | std::uint32_t(rgb[3 * i + 1]) << 8 | rgb[3 * i + 2];
    }
    return pixels;
}

} // namespace

TEST_F(StandaloneOnJack, TheWindowShowsThePanelAndItsFootswitchChangesTheSound) {
    const auto desktop = DesktopSession::Connect();
    ASSERT_TRUE(desktop) << "no display: run under xvfb-run";
    if (!StartServer(48000, 256)) {
        GTEST_SKIP() << why_;
    }
    ASSERT_EQ(RunHost({"snapshot", "-o", "panel.png"}, dir.Path()).exitCode, 0);
    int width = 0, height = 0;
    const std::vector<std::uint32_t> panel = ReadPng(dir / "panel.png", &width, &height);
    ASSERT_FALSE(panel.empty());

    const auto app = Launch({"--no-connect"}, true);
    DesktopSession::Window window = 0;
    ASSERT_TRUE(WaitFor([&] {
        const auto found = desktop->TopLevelsTitled("Kelvorantumix");
        window = found.empty() ? 0 : found.front();
        return window != 0;
    })) << app->Err();
    int x, y, w, h;
    ASSERT_TRUE(desktop->Geometry(window, &x, &y, &w, &h));
    EXPECT_EQ(w, width);
    EXPECT_EQ(h, height);
    EXPECT_TRUE(WaitFor([&] { return desktop->ReadPixels(window, 0, 0, width, height) == panel; }))
        << "the window does not show the panel as kvx-host snapshot draws it";

    const auto rig = ConnectRig(30.0);
    ASSERT_TRUE(rig);
    ASSERT_TRUE(rig->WaitForRecordedFrames(4096));
    const std::vector<float> guitar = Guitar(48000, 8.0);
    const std::uint32_t start = rig->Play(guitar);
    const std::size_t stretch = 4800;
    const auto passesUntouched = [&](std::uint32_t at) {
        const std::vector<float> input(guitar.begin() + long(at - start),
                                       guitar.begin() + long(at - start + stretch));
        return Compare(rig->Recorded(0, at, stretch), input).count == 0;
    };
    ASSERT_TRUE(rig->WaitUntilRecorded(start + 2 * std::uint32_t(stretch)));
    EXPECT_FALSE(passesUntouched(start + std::uint32_t(stretch)));

    desktop->MovePointer(window, kEffectSwitchX, kEffectSwitchY);
    desktop->Button(1, true);
    desktop->Flush();
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
    desktop->Button(1, false);
    desktop->Flush();
    // Somewhere after the click the effect is off and the guitar passes untouched.
    std::uint32_t at = start + 2 * std::uint32_t(stretch);
    bool bypassed = false;
    while (!bypassed && at + stretch < start + guitar.size()) {
        ASSERT_TRUE(rig->WaitUntilRecorded(at + std::uint32_t(stretch)));
        bypassed = passesUntouched(at);
        at += std::uint32_t(stretch);
    }
    EXPECT_TRUE(bypassed) << "the footswitch did not switch the effect off";

    desktop->RequestClose(window);
    EXPECT_EQ(app->Wait(), 0) << app->Err();
    EXPECT_TRUE(desktop->TopLevelsTitled("Kelvorantumix").empty());
    EXPECT_NE(DescribeState(StatePath()).find("Effect=Off"), std::string::npos);
}
