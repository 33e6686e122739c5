#pragma once

#include "plugin/IPlugBase.h"
#include "plugin/StateChunk.h"
#include "plugin/VstAbi.h"

// Binds the plug-in core to a VST 2.x host: owns the published AEffect record, answers the
// dispatcher and the processing and parameter callbacks, and calls the host back.
class IPlugVST : public IPlugBase {
public:
    IPlugVST(AudioMasterCallback host, int numParams, const char* channelConfigs, int numPrograms,
             const char* effectName, const char* productName, const char* vendorName,
             std::int32_t version, std::int32_t uniqueId, std::int32_t manufacturerCode,
             int latency, bool doesMidi, bool doesStateChunks, bool isInstrument);
    ~IPlugVST() override;

    void BeginHostEdit(int paramIdx) override;
    void NotifyHostOfChange(int paramIdx, double normalized) override;
    void EndHostEdit(int paramIdx) override;
    std::int32_t HostSamplePosition() override;
    double HostTempo() override;
    void HostTimeSignature(int* numerator, int* denominator) override;
    HostId HostCode() override;
    void UpdateEditorRect() override;
    void HostSpecificSetup() override;
    void AttachEditor(IEditor* editor) override;
    void ChangeLatency(int samples) override;
    bool SendMidiMessage(const MidiMessage& message) override;
    bool SendMidiMessages(const MidiMessage* messages, int count) override;

    AEffect* Effect() { return &effect_; }
    bool DoesMidi() const { return doesMidi_; }

    // Clears chunk and writes the 8-byte header (magic, format version).
    static void StartStateChunk(StateChunk& chunk);

    static VstIntPtr VSTDispatcher(AEffect* effect, VstInt32 opcode, VstInt32 index,
                                   VstIntPtr value, void* ptr, float opt);
    static void VSTProcessAccumulating(AEffect* effect, float** inputs, float** outputs,
                                       VstInt32 frames);
    static void VSTProcessFloat(AEffect* effect, float** inputs, float** outputs, VstInt32 frames);
    static void VSTProcessDouble(AEffect* effect, double** inputs, double** outputs,
                                 VstInt32 frames);
    static float VSTGetParameter(AEffect* effect, VstInt32 index);
    static void VSTSetParameter(AEffect* effect, VstInt32 index, float value);

    static constexpr std::int32_t kChunkMagic = 0x70666674;
    static constexpr std::int32_t kChunkVersion = 0x00010000;

private:
    VstIntPtr Dispatch(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt);
    VstIntPtr GetChunk(void** data, bool isBank);
    VstIntPtr SetChunk(const void* data, VstIntPtr byteCount, bool isBank);
    VstIntPtr ProcessEvents(const VstEvents* events);
    VstIntPtr CanDo(const char* text) const;
    void SetSpeakerArrangement(const VstSpeakerArrangement* in, const VstSpeakerArrangement* out);
    VstIntPtr CallHost(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0,
                       void* ptr = nullptr, float opt = 0.0f);
    VstTimeInfo* HostTime(VstIntPtr filter);

    // A plug-in that takes MIDI asks for it with every processing call, as hosts expect.
    void WantMidiForThisCall();

    ERect editRect_{};
    AudioMasterCallback host_;
    VstSpeakerArrangement inputArrangement_{};
    VstSpeakerArrangement outputArrangement_{};
    bool hostSetupDone_ = false;
    bool doesMidi_;
    StateChunk programChunk_;
    StateChunk bankChunk_;
    AEffect effect_{};
};

// Creates the plug-in object for one instance; defined by the effect.
IPlugVST* MakePlug(AudioMasterCallback host);
