#pragma once

#include "effect/BiquadBank.h"
#include "effect/OnePoleBank.h"

// The front of the chain, from the inputs to the level stage: x = in1 + in0 + noise, the input
// low-pass, the three parallel clipping branches (MidDriveBranch from x, FixedClipBranch and
// DoubleClipBranch from the low-passed x) and mix = ((b + a) + c) x levelGain. Frame i takes
// the noise at noiseStart + i, wrapping round at the table's end. Inputs that are not finite
// enter as 0. Filter memories are carried in the banks from call to call.
void RunClippingBranches(BiquadBank& biquads, OnePoleBank& onePoles, double drive, double levelGain,
                         const double* in0, const double* in1, const double* noiseTable,
                         int noiseStart, double* mix, int frames);
