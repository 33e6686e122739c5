#pragma once

#include "effect/BiquadBank.h"
#include "effect/NoiseTable.h"
#include "effect/OnePoleBank.h"
#include "effect/Reverberator.h"
#include "plugin/IPlugVST.h"

// The Kelvorantumix guitar distortion stompbox.
class PlugExample : public IPlugVST {
public:
    enum Params { kLevel = 0, kDrive, kLow, kMid, kHigh, kEffect, kVortalizer, kNumParams };
    static constexpr int kNumPrograms = 16;

    explicit PlugExample(AudioMasterCallback host);
    ~PlugExample() override;

    void OnReset() override;
    void OnParameterChange(int paramIdx) override;
    void ProcessBlock(double** inputs, double** outputs, int frames) override;

    double WorkingRate() const { return workingRate; }
    double LevelGain() const { return levelGain; }
    double Drive() const { return drive; }
    bool EffectOn() const { return effectOn; }
    bool VortalizerOn() const { return vortalizerOn; }
    const double* NoiseValues() const { return noiseTable; }
    const BiquadBank& Biquads() const { return biquads; }
    const OnePoleBank& OnePoles() const { return onePoles; }
    const Reverberator& Reverb() const { return reverberator; }

private:
    void SwitchLed(int ledIndex, double value);
    static bool SilenceNonFinite(double** outputs, int frames);
    // Builds the panel, records its LED indices and hands it to the core.
    void BuildEditor();

    double workingRate = 44100.0;
    double designedRate = 0.0;
    double levelGain;
    double drive;
    double noiseTable[kNoiseTableLength] = {};
    int effectLedIndex = -1;
    int vortalizerLedIndex = -1;
    bool effectOn = true;
    bool vortalizerOn = false;
    BiquadBank biquads = {};
    OnePoleBank onePoles = {};
    Reverberator reverberator;
};

// The "Level" taper: 0 at 0, about 0.0585 at the default 0.5, about 0.1824 at 1.
double LevelGainFor(double level);
