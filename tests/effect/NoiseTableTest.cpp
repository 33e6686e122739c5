#include "effect/NoiseTable.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <thread>
#include <vector>

namespace {

std::uint32_t Advance(std::uint32_t seed, int steps) {
    for (int i = 0; i < steps; ++i) {
        seed = seed * 1234567u + 890123u;
    }
    return seed;
}

std::uint64_t Hash(const double* values, int count) {
    std::uint64_t h = 1469598103934665603ull;
    for (int i = 0; i < count; ++i) {
        std::uint64_t bits;
        std::memcpy(&bits, &values[i], 8);
        h = (h ^ bits) * 1099511628211ull;
    }
    return h;
}

} // namespace

TEST(NoiseTable, IsARunningSumOfTinySingleSteps) {
    std::vector<double> table(kNoiseTableLength);
    const std::uint32_t next = FillNoiseTable(table.data(), 1);
    EXPECT_EQ(next, Advance(1, kNoiseTableLength));
    // First step from seed 1: 1 * 1234567 + 890123 = 2124690 = 0x206B92.
    std::uint32_t bits = (2124690u & 0x9E7F0000u) | 0x1E000000u;
    float first;
    std::memcpy(&first, &bits, 4);
    EXPECT_EQ(table[0], double(first));
    double largest = 0;
    for (int i = 1; i < kNoiseTableLength; ++i) {
        const float step = float(table[i]) - float(table[i - 1]);
        EXPECT_EQ(double(float(table[i])), table[i]); // single-precision values, widened
        if (step != 0.0f) {
            ASSERT_LE(std::fabs(step), std::ldexp(1.0, -66) * 1.0001) << i;
        }
        largest = std::max(largest, std::fabs(table[i]));
    }
    EXPECT_GT(largest, 0.0);
    EXPECT_LT(largest, 1e-16); // inaudible, far below any signal
}

TEST(NoiseTable, RefillsContinueTheSharedSequence) {
    std::vector<double> table(kNoiseTableLength), expected(kNoiseTableLength);
    const std::uint32_t before = NoiseSeed();
    RefillNoiseTable(table.data());
    const std::uint32_t after = FillNoiseTable(expected.data(), before);
    EXPECT_EQ(table, expected);
    EXPECT_EQ(NoiseSeed(), after);
    RefillNoiseTable(table.data());
    EXPECT_NE(table, expected); // every refill gives a different table
}

// Instances refilling at the same moment: no step of the sequence is lost or handed out twice;
// each table is one whole stretch of the sequence.
TEST(NoiseTable, ConcurrentRefillsEachGetAWholeStretch) {
    constexpr int kThreads = 4;
    constexpr int kRefills = 20;
    const std::uint32_t start = NoiseSeed();
    std::vector<std::vector<std::uint64_t>> seen(kThreads);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([t, &seen] {
            std::vector<double> table(kNoiseTableLength);
            for (int i = 0; i < kRefills; ++i) {
                RefillNoiseTable(table.data());
                seen[t].push_back(Hash(table.data(), kNoiseTableLength));
            }
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    std::vector<std::uint64_t> expected;
    std::vector<double> table(kNoiseTableLength);
    std::uint32_t seed = start;
    for (int i = 0; i < kThreads * kRefills; ++i) {
        seed = FillNoiseTable(table.data(), seed);
        expected.push_back(Hash(table.data(), kNoiseTableLength));
    }
    EXPECT_EQ(NoiseSeed(), seed);
    std::vector<std::uint64_t> got;
    for (const auto& hashes : seen) {
        got.insert(got.end(), hashes.begin(), hashes.end());
    }
    std::sort(got.begin(), got.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(got, expected);
}
