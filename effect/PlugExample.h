#pragma once

#include "plugin/IPlugVST.h"

// The Kelvorantumix guitar distortion stompbox.
class PlugExample : public IPlugVST {
public:
    enum Params {
        kLevel = 0,
        kDrive,
        kLow,
        kMid,
        kHigh,
        kEffect,
        kVortalizer,
        kNumParams
    };
    static constexpr int kNumPrograms = 16;

    explicit PlugExample(AudioMasterCallback host);
    ~PlugExample() override;
};
