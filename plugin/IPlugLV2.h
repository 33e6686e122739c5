#pragma once

#include "plugin/IPlugBase.h"
#include "plugin/StateChunk.h"
#include "plugin/StateMailbox.h"

#include <lv2/core/lv2.h>
#include <lv2/state/state.h>
#include <lv2/urid/urid.h>

#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

// Binds the plug-in core to an LV2 host, as IPlugVST binds it to a VST 2.x host: ports, run,
// activation, the host's block size from its options, and state through the state interface in
// the VST module's chunk format, so a preset moves between the formats byte for byte.
//
// Ports: first one control input per parameter (port i is parameter i, its value in the
// parameter's plain range), then the audio inputs, then one audio output per output of the core.
// With fewer audio inputs than the core has, the core's remaining inputs read silence.
//
// Every host feature is optional. Without the options feature the block size is the binding's
// own and longer runs are processed in slices of it; without urid:map there is no state.
//
// A restored state holds until the host moves a control: the control values the ports hold at
// the next run() are taken as they are, not applied over it. (Hosts that restore port values
// with the state, as lilv's state API does, set them to the values saved with it.)
//
// The audio thread never waits: run() is the only writer of the parameters while it may run
// (restore is exclusive with it by the LV2 threading rules), and save reads the state that
// run() last published instead of the parameters themselves.
class IPlugLV2 {
public:
    // The block size used when the host does not say, as the VST binding's before effSetBlockSize.
    static constexpr int kDefaultBlockSize = 1024;

    // The state's one property: its key and the type of its value (the chunk).
    struct StateUris {
        const char* key;
        const char* type;
    };

    // Drives core as a VST host would after creating it: open (every parameter announced), then
    // the sample rate and the block size, each followed by a reset.
    IPlugLV2(std::unique_ptr<IPlugBase> core, int audioInputs, double sampleRate,
             const LV2_Feature* const* features, const StateUris& stateUris);

    // Unknown port indexes are ignored; a null buffer is silence in and discarded out.
    void ConnectPort(std::uint32_t port, void* data);
    void Activate();
    void Run(std::uint32_t frames);
    void Deactivate();
    LV2_State_Status Save(LV2_State_Store_Function store, LV2_State_Handle handle);
    // Takes only a chunk of the binding's own type, size and header; anything else changes
    // nothing.
    LV2_State_Status Restore(LV2_State_Retrieve_Function retrieve, LV2_State_Handle handle);

    IPlugBase& Core() { return *core_; }
    int NumPorts() const { return firstOutput_ + core_->NumOutputChannels(); }

    // The LV2 C interface over an instance, for the plug-in's descriptors.
    static void ConnectPort(LV2_Handle instance, std::uint32_t port, void* data);
    static void Activate(LV2_Handle instance);
    static void Run(LV2_Handle instance, std::uint32_t frames);
    static void Deactivate(LV2_Handle instance);
    static void Cleanup(LV2_Handle instance);
    static const void* ExtensionData(const char* uri);

private:
    struct ControlPort {
        const float* value = nullptr;
        float applied = 0.0f;
        bool everApplied = false;
    };

    int HostBlockSize(const LV2_Feature* const* features) const;
    // Applies the control ports whose values changed since they were last applied; true when
    // any did.
    bool ApplyControls();
    // The VST module's chunk: its header, then the core's state.
    void WriteState(StateChunk& chunk);
    // Writes the current state into the mailbox's draft and publishes it.
    void PublishState();

    std::unique_ptr<IPlugBase> core_;
    LV2_URID_Map* map_ = nullptr;
    LV2_URID stateKey_ = 0;
    LV2_URID stateType_ = 0;
    std::vector<ControlPort> controls_;
    std::vector<float*> inputs_;
    std::vector<float*> outputs_;
    int firstInput_;
    int firstOutput_;
    // Set by a restore: the next run() takes the ports' values as applied.
    bool adoptPortValues_ = false;
    int stateSize_ = 0;
    StateMailbox published_;
    // One save at a time reads the mailbox.
    std::mutex saving_;
};
