#include "host/LevelMeter.h"
#include "host/ProgressBar.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

namespace {

TEST(LevelMeter, MeasuresPeakAndRmsInDecibelsFullScale) {
    std::vector<double> sine(48000);
    for (std::size_t i = 0; i < sine.size(); ++i) {
        sine[i] = -0.5 * std::sin(2.0 * M_PI * 1000.0 * double(i) / 48000.0);
    }
    LevelMeter meter;
    meter.Add(sine.data(), 1000);
    meter.Add(sine.data() + 1000, sine.size() - 1000);
    EXPECT_EQ(meter.Samples(), 48000);
    EXPECT_NEAR(meter.Peak(), 0.5, 1e-9);
    EXPECT_EQ(LevelMeter::FormatDecibels(meter.Peak()), "-6.02 dBFS");
    EXPECT_EQ(LevelMeter::FormatDecibels(meter.Rms()), "-9.03 dBFS");
    EXPECT_EQ(LevelMeter::FormatDecibels(LevelMeter().Rms()), "-inf dBFS");
}

std::string Drawn(bool enabled, const std::vector<int>& steps) {
    std::FILE* file = std::tmpfile();
    ProgressBar bar(file, enabled);
    for (int done : steps) {
        bar.Update(done, 1000);
    }
    bar.Finish();
    std::string text(std::size_t(std::ftell(file)), '\0');
    std::rewind(file);
    text.resize(std::fread(&text[0], 1, text.size(), file));
    std::fclose(file);
    return text;
}

TEST(ProgressBar, RedrawsOnlyWhenThePercentageMovesAndClearsItsLine) {
    EXPECT_EQ(Drawn(false, {0, 500, 1000}), "");
    const std::string text = Drawn(true, {0, 1, 2, 505, 509, 1000});
    // 0%, 50% and 100% are drawn, then the line is blanked and the cursor sent back.
    EXPECT_EQ(std::count(text.begin(), text.end(), '\r'), 5);
    EXPECT_NE(text.find("[################----------------]  50%"), std::string::npos);
    EXPECT_NE(text.find("[################################] 100%"), std::string::npos);
    EXPECT_EQ(text.substr(text.find_last_not_of(" \r") + 1).front(), '\r');
    EXPECT_EQ(text.back(), '\r');
    std::FILE* file = std::tmpfile();
    EXPECT_FALSE(ProgressBar::IsTerminal(file));
    std::fclose(file);
}

} // namespace
