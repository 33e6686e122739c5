#pragma once

#include "host/HostedParameters.h"
#include "host/PluginModule.h"
#include "plugin/VstAbi.h"

#include <cstdint>
#include <memory>
#include <mutex>
#include <random>
#include <string>
#include <vector>

// The host's side of one plug-in instance: creates it through the module's entry, forwards
// calls as a DAW does, and answers and records every call the plug-in makes back.
class HostedPlugin : public HostedParameters {
public:
    struct HostCall {
        VstInt32 opcode;
        VstInt32 index;
        VstIntPtr value;
        float opt;
    };

    // Instantiates the plug-in; on failure returns null and says why in error.
    static std::unique_ptr<HostedPlugin> Create(const PluginModule& module, std::string* error);
    // Closes the plug-in (effClose) unless it was closed already.
    virtual ~HostedPlugin();
    HostedPlugin(const HostedPlugin&) = delete;
    HostedPlugin& operator=(const HostedPlugin&) = delete;

    AEffect* Effect() const { return effect_; }
    VstIntPtr Dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0,
                       void* ptr = nullptr, float opt = 0.0f);
    void Close();

    // Convenience wrappers over the dispatcher and the callbacks. Open is Setup then Resume,
    // the order a DAW uses when it inserts a plug-in.
    void Open(double sampleRate, int blockSize);
    void Setup(double sampleRate, int blockSize);
    void Resume() { Dispatch(effMainsChanged, 0, 1); }
    void Suspend() { Dispatch(effMainsChanged, 0, 0); }
    // Asks for the given number of input and output channels; true when the plug-in accepts.
    bool SetSpeakerArrangement(int inputs, int outputs);
    void ProcessFloat(float** inputs, float** outputs, int frames) {
        effect_->processReplacing(effect_, inputs, outputs, frames);
    }
    void ProcessDouble(double** inputs, double** outputs, int frames) {
        effect_->processDoubleReplacing(effect_, inputs, outputs, frames);
    }
    int NumParams() override { return effect_->numParams; }
    std::string ParamName(int index) override;
    std::string ParamLabel(int index) override;
    std::string ParamDisplay(int index) override;
    std::string ProgramName(int index);
    std::string EffectName();
    std::string VendorName();
    float GetParameter(int index) override { return effect_->getParameter(effect_, index); }
    void SetParameter(int index, float value) override {
        effect_->setParameter(effect_, index, value);
    }
    std::vector<unsigned char> GetChunk(bool isBank);
    bool SetChunk(const std::vector<unsigned char>& data, bool isBank);

    // What the host answers.
    void SetProductString(const std::string& product) { product_ = product; }
    void SetVendorVersion(VstIntPtr version) { vendorVersion_ = version; }
    void SetTimeInfo(const VstTimeInfo* time) { timeInfo_ = time; }
    // Answer to audioMasterProcessEvents.
    void SetProcessEventsAnswer(VstIntPtr answer) { processEventsAnswer_ = answer; }
    // From now on every call back is answered with garbage of the right shape, as broken hosts
    // answer: numbers at the edges of their type, a product text filling its whole buffer, a
    // time record of nonsense. The calls are still recorded.
    void AnswerWithGarbage(std::uint32_t seed);
    // From now on the host takes this long over every call with this opcode, as hosts do that
    // snapshot their undo history when an edit begins.
    void AnswerSlowly(VstInt32 opcode, int milliseconds);

    // The plug-in's calls back to the host, in order.
    std::vector<HostCall> Calls() const;
    std::vector<HostCall> CallsWith(VstInt32 opcode) const;
    void ClearCalls();
    // Events handed to audioMasterProcessEvents, copied.
    std::vector<VstMidiEvent> SentEvents() const;

private:
    HostedPlugin() = default;
    static VstIntPtr Callback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                              void* ptr, float opt);
    VstIntPtr Answer(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt);
    std::string ReadText(VstInt32 opcode, VstInt32 index);
    VstIntPtr Garbage(VstInt32 opcode, void* ptr);

    AEffect* effect_ = nullptr;
    std::string product_ = "kvx-host";
    VstIntPtr vendorVersion_ = 10000;
    const VstTimeInfo* timeInfo_ = nullptr;
    VstIntPtr processEventsAnswer_ = 1;
    bool garbage_ = false;
    VstInt32 slowOpcode_ = -1;
    int slowMs_ = 0;
    std::mt19937 garbageRandom_;
    VstTimeInfo garbageTime_{};
    mutable std::mutex callsMutex_;
    std::vector<HostCall> calls_;
    std::vector<VstMidiEvent> sentEvents_;
};

// A module with one instance of its plug-in; the instance is closed before the module unloads.
struct LoadedPlugin {
    std::unique_ptr<PluginModule> module;
    std::unique_ptr<HostedPlugin> plugin;
};

// Loads the module at path and instantiates its plug-in. On failure plugin is null (module
// too, when the file did not load) and error says why.
LoadedPlugin LoadPlugin(const std::string& path, std::string* error);
