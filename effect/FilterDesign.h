#pragma once

#include "effect/BiquadBank.h"
#include "effect/OnePoleBank.h"

enum BiquadType {
    LowPass = 0,
    HighPass = 1,
    BandPass = 2,
    Notch = 3,
    Peaking = 4,
    LowShelf = 5,
    HighShelf = 6,
    LowShelfVariant = 7
};

// Slots of the biquad bank, by their place in the signal chain.
enum BiquadSlot {
    kInputLowPassSlot = 0,
    kFixedClipLowPassSlot = 1,
    kFixedClipShelfSlot = 2,
    kMidDriveHighPassSlot = 3,
    kMidDriveLowPassSlot = 4,
    kMidDrivePeakSlot = 5,
    kMidDriveOutLowPassSlot = 6,
    kMidDriveShelfSlot = 7,
    kLowToneSlot = 8,
    kMidToneSlot = 9,
    kHighToneSlot = 10,
    kFirstVoicingSlot = 11,
    kLastVoicingSlot = 23,
    kPresenceSlot1 = 24,
    kPresenceSlot2 = 25,
    kUsedBiquadSlots = 26
};

// Slots of the one-pole families.
enum OnePoleSlot {
    kFixedClipSmoothSlot = 0,         // low-pass family, 723.431 Hz
    kDoubleClipInputSlot = 1,         // low-pass family, 2000 Hz
    kDoubleClipOutputSlot = 2,        // low-pass family, 2700 Hz
    kMidDriveSmoothSlot = 3,          // low-pass family, 6500 Hz
    kFixedClipHighPassSlot = 0,       // high-pass family, 720.484 Hz
    kDoubleClipHighPassSlot = 1,      // high-pass family, 720.484 Hz
    kDoubleClipOutputHighPassSlot = 2 // high-pass family, 723.431 Hz
};

struct BiquadDesign {
    int slot;
    int type;
    double frequency; // Hz
    double bandwidth; // octaves
    double gain;      // dB
};

struct OnePoleDesign {
    bool highPassFamily;
    int slot;
    double twoPiFrequency; // 2 pi f, stored as the product
};

// The fixed designs: every biquad slot but the three tone slots, and every one-pole slot.
extern const BiquadDesign kFixedBiquadDesigns[23];
extern const OnePoleDesign kOnePoleDesigns[7];

// Designs that would reach half the rate are made at this fraction of the rate instead: closer
// to it, the bandwidth term sinh(w / sin w) overflows and the poles land on the unit circle.
constexpr double kHighestDesignRatio = 0.45;

// Writes the five normalised coefficients of one slot, leaving its memories alone. Codes
// outside 0..7 design a LowPass. The result is always finite and stable.
void DesignBiquad(BiquadBank& bank, int slot, int type, double frequency, double bandwidth,
                  double gain, double rate);
void DesignOnePole(OnePoleFamily& family, int slot, double twoPiFrequency, double rate);
void ClearFilterBank(BiquadBank& biquads, OnePoleBank& onePoles);
// Sets every filter memory to 0 and keeps the coefficients.
void ClearFilterMemories(BiquadBank& biquads, OnePoleBank& onePoles);

// The tone controls, each value 0..1.
void DesignLowTone(BiquadBank& bank, double value, double rate);
void DesignMidTone(BiquadBank& bank, double value, double rate);
void DesignHighTone(BiquadBank& bank, double value, double rate);

// Every row of both tables at rate, the tone slots from their current values.
void DesignAllFilters(BiquadBank& biquads, OnePoleBank& onePoles, double rate, double low,
                      double mid, double high);
