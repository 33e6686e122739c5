// The sound's way through the effect, in order:
//
//  1. Input: x = right + left input + a tiny noise value (NoiseTable), which with the
//     kDenormalOffset added after each recursive filter keeps the filters out of the denormal
//     range.
//  2. Input low-pass at 4300 Hz, y0.
//  3. Three parallel clipping branches (ClippingBranches): MidDriveBranch on x, band-limited,
//     peaked, clipped by drive x 50 and smoothed, a; FixedClipBranch on y0, its high band
//     clipped at a fixed gain and added back, b; DoubleClipBranch on y0, its high band clipped
//     twice by a drive-dependent gain, c.
//  4. Level stage: mix = ((b + a) + c) x levelGain.
//  5. Presence, tone and voicing (SerialBiquads): two presence peaks, the Low, Mid and High tone
//     filters and the thirteen fixed sections of the VoicingChain, giving the dry sound S.
//  6. Output: S on both channels; with the Vortalizer on, the reverberation (Reverberator) of
//     S at kReverbLevel, on top of S on the left and alone on the right.
//
// Each stage runs over a whole chunk before the next, so that it can keep its state in
// registers and interleave neighbouring frames; every frame still sees every operation of the
// chain in order, so the result is bit-identical to running one frame at a time.

#include "effect/SignalChain.h"

#include "effect/ClippingBranches.h"
#include "effect/FilterDesign.h"
#include "effect/NoiseTable.h"
#include "effect/SerialBiquads.h"

namespace {

// Work is done in chunks whose intermediate signals fit in the first-level cache.
constexpr int kChunk = 512;

// How loud the reverberation is against the dry sound.
constexpr double kReverbLevel = 0.075;

// The order in which the mix passes the sections after the level stage: the two presence
// peaks, the three tone filters, then the voicing sections in slot order.
constexpr int kPresenceAndTone = 5;
static_assert(kPresenceAndTone + kLastVoicingSlot - kFirstVoicingSlot + 1 ==
                  SerialBiquads::kSections,
              "every section after the level stage has its place");
struct SectionOrder {
    int slots[SerialBiquads::kSections];
};
constexpr SectionOrder PresenceToneVoicing() {
    SectionOrder order = {
        {kPresenceSlot1, kPresenceSlot2, kLowToneSlot, kMidToneSlot, kHighToneSlot}};
    for (int slot = kFirstVoicingSlot; slot <= kLastVoicingSlot; ++slot) {
        order.slots[kPresenceAndTone + slot - kFirstVoicingSlot] = slot;
    }
    return order;
}
constexpr SectionOrder kSerialOrder = PresenceToneVoicing();

// Step 6: the dry sound to both outputs, or with the reverberation.
void WriteOutputs(const double* dry, Reverberator& reverberator, bool vortalizerOn, double* outLeft,
                  double* outRight, int frames) {
    if (!vortalizerOn) {
        for (int i = 0; i < frames; ++i) {
            outLeft[i] = dry[i];
            outRight[i] = dry[i];
        }
        return;
    }
    // The reverberation of the dry sound (the same on both inputs) replaces it; the left output
    // adds the dry sound back, the right one carries the reverberation alone.
    reverberator.ProcessReverberatorBlock(dry, dry, outLeft, outRight, frames);
    for (int i = 0; i < frames; ++i) {
        outLeft[i] = outLeft[i] * kReverbLevel + dry[i];
        outRight[i] = outRight[i] * kReverbLevel;
    }
}

} // namespace

const int (&PresenceToneVoicingOrder())[SerialBiquads::kSections] {
    return kSerialOrder.slots;
}

void RunSignalChain(BiquadBank& biquads, OnePoleBank& onePoles, Reverberator& reverberator,
                    const double* noiseTable, const ChainSettings& settings, double* const* inputs,
                    double* const* outputs, int frames) {
    SerialBiquads presenceToneVoicing(biquads, kSerialOrder.slots);
    double mix[kChunk];
    double dry[kChunk];
    int noise = 0;
    for (int done = 0; done < frames; done += kChunk) {
        const int n = frames - done < kChunk ? frames - done : kChunk;
        RunClippingBranches(biquads, onePoles, settings.drive, settings.levelGain, inputs[0] + done,
                            inputs[1] + done, noiseTable, noise, mix, n);
        noise = (noise + n) % kNoiseTableLength;
        presenceToneVoicing.Run(mix, dry, n);
        WriteOutputs(dry, reverberator, settings.vortalizerOn, outputs[0] + done, outputs[1] + done,
                     n);
    }
}
