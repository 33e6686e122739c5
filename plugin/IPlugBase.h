#pragma once

#include "common/ByteBuffer.h"
#include "common/HostId.h"
#include "common/MidiMessage.h"
#include "common/PointerList.h"
#include "platform/RecursiveLock.h"
#include "plugin/IParameter.h"
#include "plugin/IProgramSlot.h"
#include "plugin/StateChunk.h"

#include <cstdint>

class IGraphicsBase;

// The host-independent core of a plug-in: identity, channel configurations, the channel model
// that hands the effect double-precision buffers, parameters, programs, the editor and the lock
// that serializes all work on one plug-in object.
class IPlugBase {
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
    virtual void ProcessBlock(double** inputs, double** outputs, int frames);
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
    virtual void AttachEditor(IGraphicsBase* editor);
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
    int NumParams() const { return params_.Count(); }
    IParameter* GetParam(int index) const { return params_.Get(index); }
    int NumPrograms() const { return programs_.Count(); }
    int CurrentProgram() const { return currentProgram_; }
    int NumInputChannels() const { return inputs_.Count(); }
    int NumOutputChannels() const { return outputs_.Count(); }
    bool IsInputConnected(int channel) const;
    bool IsOutputConnected(int channel) const;
    int ConnectedInputCount() const;
    int ConnectedOutputCount() const;
    double SampleRate() const { return sampleRate_; }
    int BlockSize() const { return blockSize_; }
    int Latency() const { return latency_; }
    IGraphicsBase* Editor() const { return editor_; }
    RecursiveLock& Lock() { return lock_; }

    // Stores the rate; a rate that is not a finite number above zero keeps the previous one.
    void ChangeSampleRate(double rate);
    bool LegalIO(int inputs, int outputs) const;
    void SetParameterFromGUI(int paramIdx, double normalized);
    void SetHost(const char* product, std::int32_t packedVersion);
    void ConnectInputs(int first, int count, bool connected);
    void ConnectOutputs(int first, int count, bool connected);
    void LimitToTwoChannels();
    void NotifyAllParameters();
    void RefreshEditorFromParams();

    // The processing bridge; the host binding calls these under the lock.
    void AttachInputs(float** hostInputs, int frames);
    void AttachInputs(double** hostInputs, int frames);
    void AttachOutputs(float** hostOutputs);
    void AttachOutputs(double** hostOutputs);
    void RunBlockDouble(int frames);
    void RunBlockFloat(int frames);
    void RunBlockAccumulating(int frames);

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
    struct InputChannel {
        bool connected = false;
        double** slot = nullptr;
        ByteBuffer scratch{4096};
        double* Scratch() { return reinterpret_cast<double*>(scratch.Data()); }
    };
    struct OutputChannel {
        bool connected = false;
        double** slot = nullptr;
        float* floatDestination = nullptr;
        ByteBuffer scratch{4096};
        double* Scratch() { return reinterpret_cast<double*>(scratch.Data()); }
    };

    void ParseChannelConfigs(const char* configs);
    IProgramSlot* FirstUninitialisedProgram() const;
    void RunProcessBlock(int frames);

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
    int blockSize_ = 0;
    int latency_;
    PointerList<IParameter> params_{true};
    IGraphicsBase* editor_ = nullptr;
    PointerList<IProgramSlot> programs_{true};
    int currentProgram_ = 0;
    ByteBuffer inputPointers_{4096};
    ByteBuffer outputPointers_{4096};
    PointerList<InputChannel> inputs_{true};
    PointerList<OutputChannel> outputs_{true};
    RecursiveLock lock_;
};
