#pragma once

#include <cstdint>
#include <cstring>
#include <vector>

// A small deterministic generator, the same on every build and library.
class TestRandom {
public:
    explicit TestRandom(std::uint64_t seed) : state_(seed) {}
    std::uint32_t Next() {
        state_ = state_ * 6364136223846793005ull + 1442695040888963407ull;
        return std::uint32_t(state_ >> 33);
    }
    double Uniform() { return Next() / 2147483648.0 - 1.0; } // -1 .. 1
    int Below(int n) { return int(Next() % std::uint32_t(n)); }

private:
    std::uint64_t state_;
};

inline std::uint64_t HashDoubles(std::uint64_t h, const double* values, int count) {
    for (int i = 0; i < count; ++i) {
        std::uint64_t bits;
        std::memcpy(&bits, &values[i], 8);
        h = (h ^ bits) * 1099511628211ull;
    }
    return h;
}

// Index of the first sample whose bits differ, or -1.
inline int FirstBitDifference(const std::vector<double>& a, const std::vector<double>& b) {
    for (size_t i = 0; i < a.size(); ++i) {
        if (std::memcmp(&a[i], &b[i], sizeof(double)) != 0) {
            return int(i);
        }
    }
    return -1;
}
