#include "plugin/IPlugLV2.h"

#include "plugin/IPlugVST.h"
#include "plugin/LV2Features.h"

#include <lv2/atom/atom.h>
#include <lv2/buf-size/buf-size.h>
#include <lv2/options/options.h>

#include <climits>
#include <cstring>
#include <new>

namespace {

IPlugLV2* PlugOf(LV2_Handle instance) {
    return static_cast<IPlugLV2*>(instance);
}

bool SameBits(float a, float b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

LV2_State_Status SaveState(LV2_Handle instance, LV2_State_Store_Function store,
                           LV2_State_Handle handle, std::uint32_t /*flags*/,
                           const LV2_Feature* const* /*features*/) {
    return instance && store ? PlugOf(instance)->Save(store, handle) : LV2_STATE_ERR_UNKNOWN;
}

LV2_State_Status RestoreState(LV2_Handle instance, LV2_State_Retrieve_Function retrieve,
                              LV2_State_Handle handle, std::uint32_t /*flags*/,
                              const LV2_Feature* const* /*features*/) {
    return instance && retrieve ? PlugOf(instance)->Restore(retrieve, handle)
                                : LV2_STATE_ERR_UNKNOWN;
}

const LV2_State_Interface kStateInterface = {SaveState, RestoreState};

} // namespace

IPlugLV2::IPlugLV2(std::unique_ptr<IPlugBase> core, int audioInputs, double sampleRate,
                   const LV2_Feature* const* features, const StateUris& stateUris)
    : core_(std::move(core)), controls_(std::size_t(core_->NumParams())),
      inputs_(std::size_t(audioInputs), nullptr),
      outputs_(std::size_t(core_->NumOutputChannels()), nullptr), firstInput_(core_->NumParams()),
      firstOutput_(core_->NumParams() + audioInputs) {
    map_ = static_cast<LV2_URID_Map*>(LV2FeatureData(features, LV2_URID__map));
    if (map_ && map_->map) {
        stateKey_ = map_->map(map_->handle, stateUris.key);
        stateType_ = map_->map(map_->handle, stateUris.type);
    } else {
        map_ = nullptr;
    }

    ScopedLock hold(core_->Lock());
    core_->ConnectInputs(0, audioInputs, true);
    core_->ConnectInputs(audioInputs, core_->NumInputChannels() - audioInputs, false);
    core_->ConnectOutputs(0, core_->NumOutputChannels(), true);
    core_->NotifyAllParameters();
    core_->ChangeSampleRate(sampleRate);
    core_->OnReset();
    core_->ChangeBlockSize(HostBlockSize(features));
    core_->OnReset();

    StateChunk state;
    WriteState(state);
    stateSize_ = state.Size();
    published_.Reserve(stateSize_);
    PublishState();
}

int IPlugLV2::HostBlockSize(const LV2_Feature* const* features) const {
    const auto* options =
        static_cast<const LV2_Options_Option*>(LV2FeatureData(features, LV2_OPTIONS__options));
    if (!options || !map_) {
        return kDefaultBlockSize;
    }
    const LV2_URID maxLength = map_->map(map_->handle, LV2_BUF_SIZE__maxBlockLength);
    const LV2_URID nominalLength = map_->map(map_->handle, LV2_BUF_SIZE__nominalBlockLength);
    const LV2_URID intType = map_->map(map_->handle, LV2_ATOM__Int);
    int nominal = 0;
    for (const LV2_Options_Option* o = options; o->key || o->value; ++o) {
        if (o->type != intType || o->size != sizeof(std::int32_t) || !o->value) {
            continue;
        }
        const std::int32_t frames = *static_cast<const std::int32_t*>(o->value);
        // The longest run the host makes saves slicing; the nominal one serves when it is all.
        if (o->key == maxLength && frames > 0) {
            return frames;
        }
        if (o->key == nominalLength && frames > 0) {
            nominal = frames;
        }
    }
    return nominal > 0 ? nominal : kDefaultBlockSize;
}

void IPlugLV2::ConnectPort(std::uint32_t port, void* data) {
    if (port < std::uint32_t(firstInput_)) {
        controls_[port].value = static_cast<const float*>(data);
    } else if (port < std::uint32_t(firstOutput_)) {
        inputs_[port - std::uint32_t(firstInput_)] = static_cast<float*>(data);
    } else if (port < std::uint32_t(NumPorts())) {
        outputs_[port - std::uint32_t(firstOutput_)] = static_cast<float*>(data);
    }
}

void IPlugLV2::Activate() {
    core_->OnActivation(true);
}

void IPlugLV2::Deactivate() {
    ScopedLock hold(core_->Lock());
    core_->OnActivation(false);
    core_->OnReset();
}

bool IPlugLV2::ApplyControls() {
    bool changed = false;
    for (int i = 0; i < int(controls_.size()); ++i) {
        ControlPort& port = controls_[std::size_t(i)];
        if (!port.value) {
            continue;
        }
        const float value = *port.value;
        if (port.everApplied && SameBits(value, port.applied)) {
            continue;
        }
        port.applied = value;
        port.everApplied = true;
        if (adoptPortValues_) {
            continue;
        }
        changed = true;
        // The port holds the plain value; the core takes it normalized, as from a VST host.
        core_->SetParameterFromHost(i, core_->GetParam(i)->NormalizedOf(value));
    }
    adoptPortValues_ = false;
    return changed;
}

void IPlugLV2::Run(std::uint32_t frames) {
    // Nothing else takes this lock while run() may be called (see the class comment): it is
    // held, as the core's hooks expect, but never waited for.
    ScopedLock hold(core_->Lock());
    if (ApplyControls()) {
        PublishState();
    }
    core_->Channels().Process(inputs_.data(), outputs_.data(),
                              frames > INT_MAX ? INT_MAX : int(frames), ChannelModel::kReplace,
                              *core_);
}

void IPlugLV2::WriteState(StateChunk& chunk) {
    IPlugVST::StartStateChunk(chunk);
    core_->SaveState(chunk);
}

void IPlugLV2::PublishState() {
    WriteState(published_.Draft());
    published_.Publish();
}

LV2_State_Status IPlugLV2::Save(LV2_State_Store_Function store, LV2_State_Handle handle) {
    if (!map_) {
        return LV2_STATE_ERR_NO_FEATURE;
    }
    std::lock_guard<std::mutex> hold(saving_);
    const StateChunk& chunk = published_.Latest();
    return store(handle, stateKey_, chunk.Data(), std::size_t(chunk.Size()), stateType_,
                 LV2_STATE_IS_POD);
}

LV2_State_Status IPlugLV2::Restore(LV2_State_Retrieve_Function retrieve, LV2_State_Handle handle) {
    if (!map_) {
        return LV2_STATE_ERR_NO_FEATURE;
    }
    std::size_t size = 0;
    std::uint32_t type = 0;
    std::uint32_t flags = 0;
    const void* data = retrieve(handle, stateKey_, &size, &type, &flags);
    if (!data) {
        return LV2_STATE_ERR_NO_PROPERTY;
    }
    if (type != stateType_) {
        return LV2_STATE_ERR_BAD_TYPE;
    }
    StateChunk header;
    IPlugVST::StartStateChunk(header);
    if (size != std::size_t(stateSize_) ||
        std::memcmp(data, header.Data(), std::size_t(header.Size())) != 0) {
        return LV2_STATE_ERR_UNKNOWN;
    }
    StateChunk chunk;
    if (!chunk.Append(data, int(size))) {
        return LV2_STATE_ERR_UNKNOWN;
    }
    ScopedLock core(core_->Lock());
    if (core_->LoadState(chunk, header.Size()) < 0) {
        return LV2_STATE_ERR_UNKNOWN;
    }
    core_->RefreshEditorFromParams();
    PublishState();
    adoptPortValues_ = true;
    return LV2_STATE_SUCCESS;
}

void IPlugLV2::ConnectPort(LV2_Handle instance, std::uint32_t port, void* data) {
    if (instance) {
        PlugOf(instance)->ConnectPort(port, data);
    }
}

void IPlugLV2::Activate(LV2_Handle instance) {
    if (instance) {
        PlugOf(instance)->Activate();
    }
}

void IPlugLV2::Run(LV2_Handle instance, std::uint32_t frames) {
    if (instance) {
        PlugOf(instance)->Run(frames);
    }
}

void IPlugLV2::Deactivate(LV2_Handle instance) {
    if (instance) {
        PlugOf(instance)->Deactivate();
    }
}

void IPlugLV2::Cleanup(LV2_Handle instance) {
    delete PlugOf(instance);
}

const void* IPlugLV2::ExtensionData(const char* uri) {
    return uri && std::strcmp(uri, LV2_STATE__interface) == 0 ? &kStateInterface : nullptr;
}
