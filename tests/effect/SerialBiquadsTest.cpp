#include "effect/SerialBiquads.h"
#include "TestSignals.h"
#include "effect/FilterDesign.h"
#include "effect/FourWide.h"

#include <gtest/gtest.h>

#include <vector>

// Both vector widths against stepping each frame through the sections one by one, across runs
// of every length around the wavefront's depth, with memories carried from run to run.
TEST(SerialBiquads, BothWidthsMatchSectionBySectionStepping) {
    constexpr int order[SerialBiquads::kSections] = {24, 25, 8,  9,  10, 11, 12, 13, 14,
                                                     15, 16, 17, 18, 19, 20, 21, 22, 23};
    BiquadBank literal{};
    OnePoleBank poles{};
    DesignAllFilters(literal, poles, 48000, 0.9, 0.2, 0.7);
    BiquadBank two = literal, four = literal;
    TestRandom random(77);
    const bool fourWide = HasFourWide();
    for (int frames : {1, 2, 16, 17, 18, 19, 35, 36, 37, 300, 5, 1000}) {
        std::vector<double> in(frames), expected(frames), outTwo(frames), outFour(frames);
        for (double& v : in) {
            v = random.Uniform();
        }
        for (int i = 0; i < frames; ++i) {
            double x = in[i];
            for (int slot : order) {
                x = StepBiquad(literal, slot, x);
            }
            expected[i] = x;
        }
        SerialBiquads serial;
        serial.Load(two, order);
        serial.RunTwoWide(in.data(), outTwo.data(), frames);
        serial.Store(two, order);
        EXPECT_EQ(FirstBitDifference(outTwo, expected), -1) << frames;
        if (fourWide) {
            serial.Load(four, order);
            serial.RunFourWide(in.data(), outFour.data(), frames);
            serial.Store(four, order);
            EXPECT_EQ(FirstBitDifference(outFour, expected), -1) << frames;
        }
    }
    EXPECT_EQ(std::memcmp(&two, &literal, sizeof two), 0);
    if (fourWide) {
        EXPECT_EQ(std::memcmp(&four, &literal, sizeof four), 0);
    }
}
