#pragma once

#include <cstdint>

// A running sum of tiny random values (|step| between 2^-67 and 2^-66) added to the input,
// position i to sample i of a block; together with kDenormalOffset it keeps the recursive
// filters out of the slow denormal range.
constexpr int kNoiseTableLength = 44100;

// Fills the table from the generator sequence that follows seed; returns the seed after the
// last step.
std::uint32_t FillNoiseTable(double* table, std::uint32_t seed);

// Fills the table with the next stretch of the module-wide sequence. Instances refilling at the
// same moment each get a whole stretch of their own.
void RefillNoiseTable(double* table);

// The module-wide seed: where the next refill continues.
std::uint32_t NoiseSeed();
