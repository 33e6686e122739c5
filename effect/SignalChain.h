#pragma once

#include "effect/BiquadBank.h"
#include "effect/OnePoleBank.h"
#include "effect/Reverberator.h"
#include "effect/SerialBiquads.h"

// What the parameters set for one block.
struct ChainSettings {
    double levelGain;
    double drive;
    bool vortalizerOn;
};

// The bank slots of the sections after the level stage, in the order the mix passes them: the
// two presence peaks, the Low, Mid and High tone filters, then the voicing sections.
const int (&PresenceToneVoicingOrder())[SerialBiquads::kSections];

// Runs the distortion chain over one block: the sum of both inputs plus the noise table, the
// input low-pass, the three clipping branches, level, presence, tone and voicing filters, and
// the reverberation when it is on. Noise position i serves sample i, wrapping around after the
// table's end. Inputs that are not finite enter as 0. Outputs may be the input buffers.
void RunSignalChain(BiquadBank& biquads, OnePoleBank& onePoles, Reverberator& reverberator,
                    const double* noiseTable, const ChainSettings& settings, double* const* inputs,
                    double* const* outputs, int frames);
