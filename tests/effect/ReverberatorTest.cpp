#include "effect/Reverberator.h"
#include "TestSignals.h"
#include "effect/FourWide.h"

#include <gtest/gtest.h>

#include <cmath>

#include <vector>

namespace {

std::vector<int> CombLengths(const Reverberator& reverb, int side) {
    std::vector<int> lengths;
    for (int k = 0; k < Reverberator::kCombPairs; ++k) {
        lengths.push_back(int(reverb.Comb(2 * k + side).line.size()));
    }
    return lengths;
}

std::vector<int> AllpassLengths(const Reverberator& reverb, int side) {
    std::vector<int> lengths;
    for (int k = 0; k < Reverberator::kStages; ++k) {
        lengths.push_back(int(reverb.Allpass(2 * k + side).line.size()));
    }
    return lengths;
}

void Retune(Reverberator& reverb, double rate) {
    reverb.rate = rate;
    reverb.ConfigureReverberator(true);
    reverb.roomSize = 0.91;
    reverb.damping = 0.0;
    reverb.ConfigureReverberator(true);
}

} // namespace

TEST(Reverberator, DelayLengthsFollowTheRate) {
    Reverberator reverb;
    EXPECT_EQ(CombLengths(reverb, 0),
              (std::vector<int>{1116, 1188, 1277, 1356, 1422, 1491, 1557, 1617, 1685, 1748}));
    EXPECT_EQ(CombLengths(reverb, 1),
              (std::vector<int>{1139, 1211, 1300, 1379, 1445, 1514, 1580, 1640, 1708, 1771}));
    EXPECT_EQ(AllpassLengths(reverb, 0), (std::vector<int>{556, 441, 341, 225, 180, 153}));
    EXPECT_EQ(AllpassLengths(reverb, 1), (std::vector<int>{579, 464, 364, 248, 203, 176}));
    EXPECT_EQ(reverb.Comb(0).feedback, 0.5);
    EXPECT_EQ(reverb.Comb(0).damping, 0.2);

    Retune(reverb, 48000);
    EXPECT_EQ(CombLengths(reverb, 0),
              (std::vector<int>{1214, 1293, 1389, 1475, 1547, 1622, 1694, 1760, 1834, 1902}));
    EXPECT_EQ(reverb.Comb(19).feedback, 0.91);
    EXPECT_EQ(reverb.Comb(19).damping, 0.0);
    EXPECT_EQ(reverb.Allpass(11).feedback, 0.5);

    Retune(reverb, 200); // far below 44100 / 153: every line keeps at least one sample
    for (int i = 0; i < 2 * Reverberator::kStages; ++i) {
        EXPECT_GE(reverb.Allpass(i).line.size(), 1u);
    }
    EXPECT_EQ(reverb.Allpass(10).line.size(), 1u);
    double left = 1, right = 1;
    for (int i = 0; i < 100; ++i) {
        reverb.ProcessReverberator(left, right);
    }
    EXPECT_TRUE(std::isfinite(left) && std::isfinite(right));
}

TEST(Reverberator, ConfiguringAgainAtTheSameRateOnlyEmptiesTheLines) {
    Reverberator reverb;
    Retune(reverb, 44100);
    for (int i = 0; i < 500; ++i) {
        double left = 0.7, right = -0.3;
        reverb.ProcessReverberator(left, right);
    }
    const double* line = reverb.Comb(4).line.data();
    const int position = reverb.Comb(4).position;
    const double store = reverb.Comb(4).store;
    reverb.ConfigureReverberator(false);
    EXPECT_EQ(reverb.Comb(4).line.data(), line);
    EXPECT_EQ(reverb.Comb(4).position, position);
    EXPECT_NE(reverb.Comb(4).line[position - 1], 0.0);
    reverb.ConfigureReverberator(true);
    EXPECT_EQ(reverb.Comb(4).line.data(), line);
    EXPECT_EQ(reverb.Comb(4).position, position);
    EXPECT_EQ(reverb.Comb(4).store, store);
    for (int i = 0; i < 20; ++i) {
        for (double v : reverb.Comb(i).line) {
            ASSERT_EQ(v, 0.0);
        }
    }
}

TEST(Reverberator, ImpulseIsSilentUntilTheShortestCombAndNeverCrossesChannels) {
    Reverberator reverb;
    Retune(reverb, 44100);
    std::vector<double> left(6000), right(6000);
    for (int i = 0; i < 6000; ++i) {
        double l = i == 0 ? 1.0 : 0.0, r = 0.0;
        reverb.ProcessReverberator(l, r);
        left[i] = l;
        right[i] = r;
    }
    for (int i = 0; i < 1116; ++i) {
        ASSERT_EQ(left[i], 0.0) << i;
    }
    // The first comb echo passes the six still-empty all-passes with six sign flips.
    EXPECT_EQ(left[1116], 0.015);
    for (double v : right) {
        ASSERT_EQ(v, 0.0);
    }
    double energy = 0;
    for (int i = 4000; i < 6000; ++i) {
        energy += left[i] * left[i];
    }
    EXPECT_GT(energy, 0.0); // the 0.91 loop gain keeps the tail going
}

TEST(Reverberator, TailsDecayToExactZeroWithoutDenormalMemories) {
    Reverberator reverb;
    Retune(reverb, 2000);
    double l = 1.0, r = 1.0;
    reverb.ProcessReverberator(l, r);
    for (int i = 0; i < 1000000; ++i) {
        l = r = 0.0;
        reverb.ProcessReverberator(l, r);
        for (int k = 0; k < 20; ++k) {
            const double store = reverb.Comb(k).store;
            ASSERT_TRUE(store == 0.0 || std::fabs(store) >= 2.2250738585072014e-308);
        }
    }
    for (int k = 0; k < 12; ++k) {
        for (double v : reverb.Allpass(k).line) {
            ASSERT_EQ(v, 0.0);
        }
    }
    EXPECT_EQ(l, 0.0);
    EXPECT_EQ(r, 0.0);
}

// Every instruction set's form, in blocks of every awkward length (spans that cross the lines'
// ends, blocks longer than the shortest line), against one frame at a time, with and without comb
// damping: the same bits out, and the same lines, positions and damping states left behind.
TEST(Reverberator, BlocksOfEveryFormMatchFrameByFrame) {
    using Form = void (Reverberator::*)(const double*, const double*, double*, double*, int);
    const Form forms[] = {&Reverberator::ProcessTwoWide, &Reverberator::ProcessFourWide,
                          &Reverberator::ProcessFourWide32};
    const bool present[] = {true, HasFourWide(), HasFourWide32()};
    for (const double damping : {0.0, 0.35}) {
        Reverberator single, blocks[3];
        for (Reverberator* reverb : {&single, &blocks[0], &blocks[1], &blocks[2]}) {
            reverb->rate = 48000;
            reverb->roomSize = 0.91;
            reverb->damping = damping;
            reverb->width = 0.8;
            reverb->ConfigureReverberator(true);
        }
        TestRandom random(11);
        for (int frames : {1, 3, 16, 17, 64, 165, 166, 167, 255, 256, 257, 600, 4096, 7}) {
            std::vector<double> left(frames), right(frames);
            for (int i = 0; i < frames; ++i) {
                left[i] = random.Uniform();
                right[i] = random.Uniform();
            }
            std::vector<double> expectedLeft = left, expectedRight = right;
            for (int i = 0; i < frames; ++i) {
                single.ProcessReverberator(expectedLeft[i], expectedRight[i]);
            }
            for (int f = 0; f < 3; ++f) {
                if (!present[f]) {
                    continue;
                }
                // In place, as the effect calls it.
                std::vector<double> outLeft = left, outRight = right;
                (blocks[f].*forms[f])(outLeft.data(), outRight.data(), outLeft.data(),
                                      outRight.data(), frames);
                EXPECT_EQ(FirstBitDifference(outLeft, expectedLeft), -1) << f << ", " << frames;
                EXPECT_EQ(FirstBitDifference(outRight, expectedRight), -1) << f << ", " << frames;
            }
        }
        for (int f = 0; f < 3; ++f) {
            if (!present[f]) {
                continue;
            }
            for (int k = 0; k < 2 * Reverberator::kCombPairs; ++k) {
                EXPECT_EQ(blocks[f].Comb(k).position, single.Comb(k).position) << f;
                EXPECT_EQ(blocks[f].Comb(k).line, single.Comb(k).line) << f;
                EXPECT_EQ(blocks[f].Comb(k).store, single.Comb(k).store) << f;
            }
            for (int k = 0; k < 2 * Reverberator::kStages; ++k) {
                EXPECT_EQ(blocks[f].Allpass(k).position, single.Allpass(k).position) << f;
                EXPECT_EQ(blocks[f].Allpass(k).line, single.Allpass(k).line) << f;
            }
        }
    }
}
