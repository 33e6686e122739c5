#include "effect/SerialBiquads.h"
#include "TestSignals.h"
#include "effect/FilterDesign.h"
#include "effect/FourWide.h"
#include "effect/SignalChain.h"

#include <gtest/gtest.h>

#include <vector>

// Every instruction set's form against stepping each frame through the sections one by one,
// across runs of every length around the wavefront's depth, with memories carried from run to
// run.
TEST(SerialBiquads, EveryFormMatchesSectionBySectionStepping) {
    const auto& order = PresenceToneVoicingOrder();
    using Form = void (SerialBiquads::*)(const double*, double*, int);
    struct Available {
        const char* name;
        Form run;
        bool present;
    };
    const Available forms[] = {{"SSE2", &SerialBiquads::RunTwoWide, true},
                               {"AVX", &SerialBiquads::RunFourWide, HasFourWide()},
                               {"AVX-512VL", &SerialBiquads::RunFourWide32, HasFourWide32()}};
    BiquadBank literal{};
    OnePoleBank poles{};
    DesignAllFilters(literal, poles, 48000, 0.9, 0.2, 0.7);
    BiquadBank banks[3] = {literal, literal, literal};
    TestRandom random(77);
    for (int frames : {1, 2, 16, 17, 18, 19, 35, 36, 37, 300, 5, 1000}) {
        std::vector<double> in(frames), expected(frames), out(frames);
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
        for (int f = 0; f < 3; ++f) {
            if (!forms[f].present) {
                continue;
            }
            SerialBiquads serial(banks[f], order);
            (serial.*forms[f].run)(in.data(), out.data(), frames);
            EXPECT_EQ(FirstBitDifference(out, expected), -1) << forms[f].name << ", " << frames;
        }
    }
    for (int f = 0; f < 3; ++f) {
        if (forms[f].present) {
            EXPECT_EQ(std::memcmp(&banks[f], &literal, sizeof literal), 0) << forms[f].name;
        }
    }
}
