#pragma once

#include "plugin/VstAbi.h"

#include <atomic>
#include <memory>
#include <string>
#include <vector>

// Kelvorantumix linked into this program, created through its VST 2.x entry and driven only
// through the AEffect record, exactly as a host drives the module: the same classes give the
// same sound.
class EmbeddedPlugin {
public:
    // Null, with the reason, when the entry returns no plug-in.
    static std::unique_ptr<EmbeddedPlugin> Create(std::string* error);
    // Closes the plug-in (effClose).
    ~EmbeddedPlugin();
    EmbeddedPlugin(const EmbeddedPlugin&) = delete;
    EmbeddedPlugin& operator=(const EmbeddedPlugin&) = delete;

    AEffect* Effect() const { return effect_; }
    VstIntPtr Dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0,
                       void* ptr = nullptr, float opt = 0.0f);

    // What a DAW does when it inserts the plug-in: effOpen, the rate, the block size, and two
    // inputs and two outputs connected. The plug-in is still switched off.
    void Open(double sampleRate, int blockSize);
    // The server's rate or period changed: the plug-in hears of it the way a host tells it,
    // and only when the value is new, since each call restarts its filter design. JACK calls
    // from its audio thread when it starts and from its notification thread later.
    void ChangeSampleRate(double sampleRate);
    void ChangeBlockSize(int frames);
    double SampleRate() const { return sampleRate_.load(); }
    int BlockSize() const { return blockSize_.load(); }
    void Resume() { Dispatch(effMainsChanged, 0, 1); }
    void Suspend() { Dispatch(effMainsChanged, 0, 0); }

    void Process(float** inputs, float** outputs, int frames) {
        effect_->processReplacing(effect_, inputs, outputs, frames);
    }

    int ParameterCount() const { return effect_->numParams; }
    std::string ParameterName(int index);
    float Parameter(int index) { return effect_->getParameter(effect_, index); }
    void SetParameter(int index, float value) { effect_->setParameter(effect_, index, value); }

    // The plug-in's whole state (its bank chunk), as `kvx-host chunk save` writes it.
    std::vector<unsigned char> State();
    // False when the plug-in refuses the bytes.
    bool SetState(const std::vector<unsigned char>& state);

private:
    explicit EmbeddedPlugin(AEffect* effect) : effect_(effect) {}
    static VstIntPtr HostCallback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                                  void* ptr, float opt);

    AEffect* effect_;
    std::atomic<double> sampleRate_{0.0};
    std::atomic<int> blockSize_{0};
};
