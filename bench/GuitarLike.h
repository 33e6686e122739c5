#pragma once

#include <cmath>
#include <cstddef>
#include <vector>

// A riff-like signal for the benchmarks: two partials at amplitude, the same in every run.
template <class Sample> std::vector<Sample> GuitarLike(int n, double amplitude) {
    std::vector<Sample> v(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) {
        v[std::size_t(i)] = Sample(amplitude * (std::sin(i * 0.0171) + 0.3 * std::sin(i * 0.0513)));
    }
    return v;
}
