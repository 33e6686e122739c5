#pragma once

#include "common/ByteBuffer.h"
#include "common/HostId.h"
#include "common/MidiMessage.h"
#include "common/PointerList.h"
#include "platform/RecursiveLock.h"
#include "plugin/ChannelModel.h"
#include "plugin/IEditor.h"
#include "plugin/IEditorDelegate.h"
#include "plugin/IParameter.h"
#include "plugin/IProgramSlot.h"
#include "plugin/StateChunk.h"

#include <cstdint>

// The host-independent core of a plug-in: identity, channel configurations, the channel model
// that hands the effect double-precision buffers, parameters, programs, the editor and the lock
// that serializes all work on one plug-in object. It is what its editor edits.
class IPlugBase : public BlockProcessor, public IEditorDelegate {
public:
    static constexpr int kNameSize = 128;
    // The largest block size taken from a host: 8 MB of scratch per channel.
    static constexpr int kMaxBlockSize = 1 << 20;

    IPlugBase(int numParams, const char* channelConfigs, int numPrograms, const char* effectName,
              const char* productName, const char* vendorName, std::int32_t version,
              std::int32_t uniqueId, std::int32_t manufacturerCode, int latency, bool doesMidi,
              bool doesStateChunks, bool isInstrument);
    virtual ~IPlugBase();
    IPlugBase(const IPlugBase&) = delete;
    IPlugBase& operator=(const IPlugBase&) = delete;

    // Hooks for the effect.
    virtual void OnReset();
    virtual void OnParameterChange(int paramIdx);
    void ProcessBlock(double** inputs, double** outputs, int frames) override;
    virtual void OnEditorOpened() {}
    virtual void OnEditorClosed() {}
    virtual void OnActivation(bool active);
    virtual void OnMidiMessage(const MidiMessage& message);
    virtual bool MidiNoteName(int keyNumber, char* text);
    virtual bool SaveState(StateChunk& chunk);
    virtual int LoadState(const StateChunk& chunk, int position);

    // Calls into the host, supplied by the host binding.
    virtual void BeginHostEdit(int paramIdx) = 0;
    virtual void NotifyHostOfChange(int paramIdx, double normalized) = 0;
    virtual void EndHostEdit(int paramIdx) = 0;
    virtual std::int32_t HostSamplePosition() = 0;
    virtual double HostTempo() = 0;
    virtual void HostTimeSignature(int* numerator, int* denominator) = 0;
    virtual HostId HostCode() { return hostCode_; }
    virtual void UpdateEditorRect() = 0;
    virtual void HostSpecificSetup() = 0;
    virtual void AttachEditor(IEditor* editor);
    virtual void ChangeBlockSize(int frames);
    virtual void ChangeLatency(int samples) { latency_ = samples; }
    virtual bool SendMidiMessage(const MidiMessage& message) = 0;
    virtual bool SendMidiMessages(const MidiMessage* messages, int count) = 0;

    // Identity.
    const char* EffectName() const { return effectName_; }
    const char* ProductName() const { return productName_; }
    const char* VendorName() const { return vendorName_; }
    std::int32_t UniqueId() const { return uniqueId_; }
    std::int32_t ManufacturerCode() const { return manufacturerCode_; }
    // The packed 0xMMMMmmpp version, or major * 10000 + minor * 100 + patch when decimal.
    std::int32_t EffectVersion(bool decimal) const;
    std::int32_t HostVersion() const { return hostVersion_; }
    bool DoesStateChunks() const { return doesStateChunks_; }
    bool IsInstrument() const { return isInstrument_; }

    // Counts and accessors.
    int NumParams() const override { return params_.Count(); }
    IParameter* GetParam(int index) const override { return params_.Get(index); }
    int NumPrograms() const { return programs_.Count(); }
    int CurrentProgram() const { return currentProgram_; }
    int NumInputChannels() const { return channels_.NumInputs(); }
    int NumOutputChannels() const { return channels_.NumOutputs(); }
    bool IsInputConnected(int channel) const { return channels_.IsInputConnected(channel); }
    bool IsOutputConnected(int channel) const { return channels_.IsOutputConnected(channel); }
    ChannelModel& Channels() { return channels_; }
    double SampleRate() const { return sampleRate_; }
    int BlockSize() const { return channels_.BlockSize(); }
    int Latency() const { return latency_; }
    IEditor* Editor() const { return editor_; }
    RecursiveLock& Lock() override { return lock_; }

    // The editor's side of a host edit.
    void BeginParamEdit(int paramIdx) override { BeginHostEdit(paramIdx); }
    void PerformParamEdit(int paramIdx, double normalized) override {
        SetParameterFromGUI(paramIdx, normalized);
    }
    void EndParamEdit(int paramIdx) override { EndHostEdit(paramIdx); }
    void EditorResized() override { UpdateEditorRect(); }

    // Stores the rate; a rate that is not a finite number above zero keeps the previous one.
    void ChangeSampleRate(double rate);
    bool LegalIO(int inputs, int outputs) const;
    void SetParameterFromGUI(int paramIdx, double normalized);
    // A value from the host (normalized 0..1): shown on the editor, stored, handed to the effect.
    // Unknown indexes are ignored.
    void SetParameterFromHost(int paramIdx, double normalized);
    void SetHost(const char* product, std::int32_t packedVersion);
    void ConnectInputs(int first, int count, bool connected) {
        channels_.ConnectInputs(first, count, connected);
    }
    void ConnectOutputs(int first, int count, bool connected) {
        channels_.ConnectOutputs(first, count, connected);
    }
    void LimitToTwoChannels();
    void NotifyAllParameters();
    void RefreshEditorFromParams();

    // Programs and state.
    bool SerializeParamValues(StateChunk& chunk);
    int UnserializeParams(const StateChunk& chunk, int start);
    // One value per parameter in index order: int for integer-valued kinds, double otherwise.
    void DefineProgram(const char* name, ...);
    void DefineProgramsFromCurrent(const char* name, int count);
    void EnsureOneProgram();
    bool SelectProgram(int index);
    void StoreCurrentProgram(const char* name);
    const char* ProgramName(int index) const;
    void NextUserProgramName(char* out) const;

private:
    struct ChannelConfig {
        int numInputs;
        int numOutputs;
    };

    void ParseChannelConfigs(const char* configs);
    IProgramSlot* FirstUninitialisedProgram() const;

    PointerList<ChannelConfig> channelConfigs_{true};
    char effectName_[kNameSize] = "";
    char productName_[kNameSize] = "";
    char vendorName_[kNameSize] = "";
    std::int32_t uniqueId_;
    std::int32_t manufacturerCode_;
    std::int32_t version_;
    HostId hostCode_ = kHostNotAsked;
    std::int32_t hostVersion_ = 0;
    bool doesStateChunks_;
    bool isInstrument_;
    double sampleRate_ = 44100.0;
    int latency_;
    PointerList<IParameter> params_{true};
    IEditor* editor_ = nullptr;
    PointerList<IProgramSlot> programs_{true};
    int currentProgram_ = 0;
    ChannelModel channels_;
    RecursiveLock lock_;
};
