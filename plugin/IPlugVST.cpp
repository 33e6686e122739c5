#include "plugin/IPlugVST.h"

#include "common/TextCopy.h"
#include "common/Trace.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstring>

namespace {

// Opcode names are for diagnostic builds only; the delivered trace discards them.
const char* OpcodeName(VstInt32 /*opcode*/) {
    return "";
}

// A pointer-sized host value as an int, or fallback when it does not fit.
int ToInt(VstIntPtr value, int fallback) {
    return value < INT_MIN || value > INT_MAX ? fallback : int(value);
}

IPlugVST* PlugOf(AEffect* effect) {
    return effect ? static_cast<IPlugVST*>(effect->object) : nullptr;
}

} // namespace

IPlugVST::IPlugVST(AudioMasterCallback host, int numParams, const char* channelConfigs,
                   int numPrograms, const char* effectName, const char* productName,
                   const char* vendorName, std::int32_t version, std::int32_t uniqueId,
                   std::int32_t manufacturerCode, int latency, bool doesMidi, bool doesStateChunks,
                   bool isInstrument)
    : IPlugBase(numParams, channelConfigs, numPrograms, effectName, productName, vendorName,
                version, uniqueId, manufacturerCode, latency, doesMidi, doesStateChunks,
                isInstrument),
      host_(host), doesMidi_(doesMidi) {
    Trace("IPlugVST::IPlugVST", 16, "%s", effectName);

    effect_.magic = kEffectMagic;
    effect_.dispatcher = VSTDispatcher;
    effect_.process = VSTProcessAccumulating;
    effect_.setParameter = VSTSetParameter;
    effect_.getParameter = VSTGetParameter;
    effect_.numPrograms = numPrograms;
    effect_.numParams = numParams;
    effect_.numInputs = NumInputChannels();
    effect_.numOutputs = NumOutputChannels();
    effect_.flags = effFlagsCanReplacing | effFlagsCanDoubleReplacing;
    if (doesStateChunks) {
        effect_.flags |= effFlagsProgramChunks;
    }
    if (LegalIO(1, -1)) {
        effect_.flags |= effFlagsCanMono;
    }
    if (isInstrument) {
        effect_.flags |= effFlagsIsSynth;
    }
    effect_.initialDelay = latency;
    effect_.ioRatio = 1.0f;
    effect_.object = this;
    effect_.uniqueID = uniqueId;
    effect_.version = EffectVersion(true);
    effect_.processReplacing = VSTProcessFloat;
    effect_.processDoubleReplacing = VSTProcessDouble;

    inputArrangement_.numChannels = NumInputChannels();
    outputArrangement_.numChannels = NumOutputChannels();
    ConnectInputs(0, NumInputChannels(), true);
    ConnectOutputs(0, NumOutputChannels(), true);

    ChangeBlockSize(1024);
}

IPlugVST::~IPlugVST() = default;

VstIntPtr IPlugVST::CallHost(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                             float opt) {
    return host_ ? host_(&effect_, opcode, index, value, ptr, opt) : 0;
}

void IPlugVST::BeginHostEdit(int paramIdx) {
    CallHost(audioMasterBeginEdit, paramIdx);
}

void IPlugVST::NotifyHostOfChange(int paramIdx, double normalized) {
    CallHost(audioMasterAutomate, paramIdx, 0, nullptr, float(normalized));
}

void IPlugVST::EndHostEdit(int paramIdx) {
    CallHost(audioMasterEndEdit, paramIdx);
}

VstTimeInfo* IPlugVST::HostTime(VstIntPtr filter) {
    return reinterpret_cast<VstTimeInfo*>(CallHost(audioMasterGetTime, 0, filter));
}

std::int32_t IPlugVST::HostSamplePosition() {
    const VstTimeInfo* time = HostTime(0);
    if (!time || !(time->samplePos >= 0.0)) {
        return 0;
    }
    return time->samplePos >= 2147483647.0 ? INT32_MAX : std::int32_t(time->samplePos);
}

double IPlugVST::HostTempo() {
    if (!host_) {
        return 0.0;
    }
    const VstTimeInfo* time = HostTime(kVstTempoValid);
    if (time && (time->flags & kVstTempoValid) && time->tempo >= 0.0) {
        return time->tempo;
    }
    return 0.0;
}

void IPlugVST::HostTimeSignature(int* numerator, int* denominator) {
    *numerator = 0;
    *denominator = 0;
    const VstTimeInfo* time = HostTime(kVstTimeSigValid);
    if (time && (time->flags & kVstTimeSigValid) && time->timeSigNumerator >= 0 &&
        time->timeSigDenominator >= 0) {
        *numerator = time->timeSigNumerator;
        *denominator = time->timeSigDenominator;
    }
}

HostId IPlugVST::HostCode() {
    if (IPlugBase::HostCode() != kHostNotAsked) {
        return IPlugBase::HostCode();
    }
    char product[256];
    product[0] = '\0';
    CallHost(audioMasterGetProductString, 0, 0, product);
    product[sizeof product - 1] = '\0';
    std::int32_t version = 0;
    if (product[0]) {
        const VstIntPtr decimal = CallHost(audioMasterGetVendorVersion);
        // An answer outside 0 to INT32_MAX is no version at all: the host's version is unknown.
        if (decimal >= 0 && decimal <= INT32_MAX) {
            const std::uint32_t d = std::uint32_t(decimal);
            version = std::int32_t(((d / 10000) << 16) + (((d % 10000) / 100) << 8) + d % 100);
        }
    }
    SetHost(product, version);
    return IPlugBase::HostCode();
}

void IPlugVST::UpdateEditorRect() {
    if (!Editor()) {
        return;
    }
    editRect_.top = 0;
    editRect_.left = 0;
    editRect_.bottom = std::int16_t(Editor()->Height() & 0xFFFF);
    editRect_.right = std::int16_t(Editor()->Width() & 0xFFFF);
}

void IPlugVST::HostSpecificSetup() {
    if (hostSetupDone_) {
        return;
    }
    hostSetupDone_ = true;
    switch (HostCode()) {
    case kHostForte:
    case kHostAudition:
    case kHostOrion:
    case kHostSAWStudio:
        LimitToTwoChannels();
        break;
    default:
        break;
    }
    effect_.numInputs = inputArrangement_.numChannels = NumInputChannels();
    effect_.numOutputs = outputArrangement_.numChannels = NumOutputChannels();
}

void IPlugVST::AttachEditor(IEditor* editor) {
    if (!editor) {
        return;
    }
    IPlugBase::AttachEditor(editor);
    effect_.flags |= effFlagsHasEditor;
    UpdateEditorRect();
}

void IPlugVST::ChangeLatency(int samples) {
    effect_.initialDelay = samples;
    IPlugBase::ChangeLatency(samples);
}

bool IPlugVST::SendMidiMessage(const MidiMessage& message) {
    VstMidiEvent event{};
    event.type = kVstMidiType;
    event.byteSize = sizeof(VstMidiEvent);
    event.deltaFrames = message.offset;
    event.midiData[0] = char(message.status);
    event.midiData[1] = char(message.data1);
    event.midiData[2] = char(message.data2);
    VstEvents events{};
    events.numEvents = 1;
    events.events[0] = reinterpret_cast<VstEvent*>(&event);
    return CallHost(audioMasterProcessEvents, 0, 0, &events) == 1;
}

bool IPlugVST::SendMidiMessages(const MidiMessage* messages, int count) {
    bool sent = true;
    for (int i = 0; i < count; ++i) {
        sent = SendMidiMessage(messages[i]) && sent;
    }
    return sent;
}

void IPlugVST::StartStateChunk(StateChunk& chunk) {
    chunk.Resize(0);
    chunk.Put(kChunkMagic);
    chunk.Put(kChunkVersion);
}

VstIntPtr IPlugVST::GetChunk(void** data, bool isBank) {
    if (!data) {
        return 0;
    }
    StateChunk& chunk = isBank ? bankChunk_ : programChunk_;
    StartStateChunk(chunk);
    if (isBank) {
        StoreCurrentProgram(nullptr);
    }
    if (SaveState(chunk) && chunk.Size() > 0) {
        *data = chunk.Data();
        return chunk.Size();
    }
    return 0;
}

VstIntPtr IPlugVST::SetChunk(const void* data, VstIntPtr byteCount, bool isBank) {
    if (!data || byteCount < 0 || byteCount > INT_MAX) {
        return 0;
    }
    StateChunk& chunk = isBank ? bankChunk_ : programChunk_;
    // A host may hand back the plug-in's own chunk, or a part of it: copy from where it lies
    // before resizing, which may move the buffer.
    const std::uintptr_t from = reinterpret_cast<std::uintptr_t>(data);
    const std::uintptr_t own = reinterpret_cast<std::uintptr_t>(chunk.Data());
    if (own && from >= own && from < own + std::uintptr_t(chunk.Size())) {
        const std::uintptr_t offset = from - own;
        if (std::uintptr_t(byteCount) > std::uintptr_t(chunk.Size()) - offset) {
            return 0;
        }
        std::memmove(chunk.Data(), chunk.Data() + offset, size_t(byteCount));
        chunk.Resize(int(byteCount));
    } else {
        if (chunk.Resize(int(byteCount)) < 0) {
            return 0;
        }
        if (byteCount > 0) {
            std::memcpy(chunk.Data(), data, size_t(byteCount));
        }
    }

    int position = 0;
    std::int32_t version = 0;
    std::int32_t magic = 0;
    if (chunk.Get(&magic, 0) >= 0 && magic == kChunkMagic) {
        position = chunk.Get(&version, 4) >= 0 ? 8 : -1;
    }

    if (isBank && version >= kChunkVersion) {
        position = LoadState(chunk, position);
    } else {
        position = LoadState(chunk, position);
        StoreCurrentProgram(nullptr);
    }
    if (position < 0) {
        return 0;
    }
    RefreshEditorFromParams();
    return 1;
}

VstIntPtr IPlugVST::ProcessEvents(const VstEvents* events) {
    if (!events) {
        return 0;
    }
    VstEvent* const* list = events->events;
    for (int i = 0; i < events->numEvents; ++i) {
        VstEvent* event = list[i];
        if (!event) {
            continue;
        }
        if (event->type == kVstMidiType) {
            const VstMidiEvent* midi = reinterpret_cast<const VstMidiEvent*>(event);
            MidiMessage message;
            message.offset = midi->deltaFrames;
            message.status = std::uint8_t(midi->midiData[0]);
            message.data1 = std::uint8_t(midi->midiData[1]);
            message.data2 = std::uint8_t(midi->midiData[2]);
            OnMidiMessage(message);
        } else {
            VstEvents single{};
            single.numEvents = 1;
            single.events[0] = event;
            CallHost(audioMasterProcessEvents, 0, 0, &single);
        }
    }
    return 1;
}

VstIntPtr IPlugVST::CanDo(const char* text) const {
    Trace("IPlugVST::VSTDispatcher", 508, "VSTCanDo(%s)", text);
    if (!text) {
        return 0;
    }
    if (std::strcmp(text, "receiveVstTimeInfo") == 0) {
        return 1;
    }
    if (doesMidi_ &&
        (std::strcmp(text, "sendVstEvents") == 0 || std::strcmp(text, "sendVstMidiEvent") == 0 ||
         std::strcmp(text, "receiveVstEvents") == 0 ||
         std::strcmp(text, "receiveVstMidiEvent") == 0)) {
        return 1;
    }
    if (std::strcmp(text, "hasCockosExtensions") == 0 ||
        std::strcmp(text, "hasCockosViewAsConfig") == 0) {
        return 0xBEEF0000;
    }
    return 0;
}

void IPlugVST::SetSpeakerArrangement(const VstSpeakerArrangement* in,
                                     const VstSpeakerArrangement* out) {
    // Counts beyond the channels are cut to them, and negative ones connect nothing.
    if (in) {
        const int n = std::clamp(in->numChannels, 0, NumInputChannels());
        ConnectInputs(0, n, true);
        ConnectInputs(n, NumInputChannels() - n, false);
    }
    if (out) {
        const int n = std::clamp(out->numChannels, 0, NumOutputChannels());
        ConnectOutputs(0, n, true);
        ConnectOutputs(n, NumOutputChannels() - n, false);
    }
}

VstIntPtr IPlugVST::VSTDispatcher(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                                  void* ptr, float opt) {
    IPlugVST* plug = PlugOf(effect);
    if (!plug) {
        return 0;
    }
    plug->Lock().Lock();
    if (opcode == effClose) {
        Trace("IPlugVST::VSTDispatcher", 271, "%d(%s):%d:%d", opcode, OpcodeName(opcode), index,
              int(value));
        // The editor's window thread calls into the object; it stops before anything goes.
        if (plug->Editor()) {
            plug->Editor()->CloseEditorWindow();
        }
        // The lock dies with the object, so it is released before the object is destroyed.
        plug->Lock().Unlock();
        delete plug;
        return 0;
    }
    VstIntPtr result = 0;
    try {
        result = plug->Dispatch(opcode, index, value, ptr, opt);
    } catch (...) {
        // Running out of memory while resizing must not unwind into the host.
        result = 0;
    }
    plug->Lock().Unlock();
    return result;
}

VstIntPtr IPlugVST::Dispatch(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                             float opt) {
    if (opcode == effEditIdle || opcode == effIdle) {
        return 0;
    }
    Trace("IPlugVST::VSTDispatcher", 271, "%d(%s):%d:%d", opcode, OpcodeName(opcode), index,
          int(value));
    char* text = static_cast<char*>(ptr);
    IParameter* param = GetParam(index);

    switch (opcode) {
    case effOpen:
        HostSpecificSetup();
        NotifyAllParameters();
        return 0;
    case effSetProgram:
        if (!DoesStateChunks()) {
            StoreCurrentProgram(nullptr);
        }
        SelectProgram(ToInt(value, -1));
        return 0;
    case effGetProgram:
        return CurrentProgram();
    case effSetProgramName:
        if (text) {
            // Kept no longer than the host's buffer can take back.
            char name[kVstProgramNameSize];
            CopyText(name, text, sizeof name);
            StoreCurrentProgram(name);
        }
        return 0;
    case effGetProgramName:
        if (text) {
            CopyText(text, ProgramName(CurrentProgram()), kVstProgramNameSize);
        }
        return 0;
    case effGetParamLabel:
        if (param && text) {
            std::strcpy(text, param->Label());
        }
        return 0;
    case effGetParamDisplay:
        if (param && text) {
            param->FormatValue(param->Value(), false, text);
        }
        return 0;
    case effGetParamName:
        if (param && text) {
            std::strcpy(text, param->Name());
        }
        return 0;
    case effSetSampleRate:
        ChangeSampleRate(opt);
        OnReset();
        return 0;
    case effSetBlockSize:
        ChangeBlockSize(ToInt(value, 0));
        OnReset();
        return 0;
    case effMainsChanged:
        if (value == 0) {
            OnActivation(false);
            OnReset();
        } else {
            OnActivation(true);
        }
        return 0;
    case effEditGetRect:
        if (ptr && Editor()) {
            *static_cast<ERect**>(ptr) = &editRect_;
            return 1;
        }
        return 0;
    case effEditOpen:
        if (Editor() && Editor()->OpenEditorWindow(ptr)) {
            OnEditorOpened();
            return 1;
        }
        return 0;
    case effEditClose:
        if (Editor()) {
            OnEditorClosed();
            Editor()->CloseEditorWindow();
            return 1;
        }
        return 0;
    case effIdentify:
        return 0x4E764566;
    case effGetChunk:
        return GetChunk(static_cast<void**>(ptr), index == 0);
    case effSetChunk:
        return SetChunk(ptr, value, index == 0);
    case effProcessEvents:
        return ProcessEvents(static_cast<const VstEvents*>(ptr));
    case effCanBeAutomated:
        return 1;
    case effGetProgramNameIndexed:
        if (text) {
            CopyText(text, ProgramName(index), kVstProgramNameSize);
            return text[0] ? 1 : 0;
        }
        return 0;
    case effGetInputProperties:
    case effGetOutputProperties: {
        const bool isInput = opcode == effGetInputProperties;
        const int count = isInput ? effect_.numInputs : effect_.numOutputs;
        if (!ptr || index < 0 || index >= count) {
            return 0;
        }
        VstPinProperties* pin = static_cast<VstPinProperties*>(ptr);
        pin->flags = kVstPinIsActive | (index % 2 == 0 ? kVstPinIsStereo : 0);
        std::snprintf(pin->label, sizeof pin->label, isInput ? "Input %d" : "Output %d", index + 1);
        return 1;
    }
    case effGetPlugCategory:
        return kPlugCategEffect;
    case effSetSpeakerArrangement:
        SetSpeakerArrangement(reinterpret_cast<const VstSpeakerArrangement*>(value),
                              static_cast<const VstSpeakerArrangement*>(ptr));
        return 1;
    case effGetEffectName:
    case effGetVendorString:
    case effGetProductString:
        if (!text) {
            return 0;
        }
        std::strcpy(text, opcode == effGetEffectName     ? EffectName()
                          : opcode == effGetVendorString ? VendorName()
                                                         : ProductName());
        return 1;
    case effVendorSpecific:
        if (index != 7 || !text) {
            return 0;
        }
        if (value >= 0 && value < NumParams()) {
            GetParam(int(value))->FormatValue(opt, true, text);
        }
        return 0xBEEF;
    case effCanDo:
        return CanDo(text);
    case effGetVstVersion:
        return 2400;
    case effGetMidiKeyName: {
        MidiKeyName* key = static_cast<MidiKeyName*>(ptr);
        if (!key) {
            return 0;
        }
        key->keyName[0] = '\0';
        return MidiNoteName(key->thisKeyNumber, key->keyName) ? 1 : 0;
    }
    case effGetSpeakerArrangement:
        if (value) {
            *reinterpret_cast<VstSpeakerArrangement**>(value) = &inputArrangement_;
        }
        if (ptr) {
            *static_cast<VstSpeakerArrangement**>(ptr) = &outputArrangement_;
        }
        return 1;
    default:
        return 0;
    }
}

void IPlugVST::WantMidiForThisCall() {
    if (doesMidi_) {
        CallHost(audioMasterWantMidi);
    }
}

void IPlugVST::VSTProcessAccumulating(AEffect* effect, float** inputs, float** outputs,
                                      VstInt32 frames) {
    if (IPlugVST* plug = PlugOf(effect)) {
        ScopedLock hold(plug->Lock());
        plug->WantMidiForThisCall();
        plug->Channels().Process(inputs, outputs, frames, ChannelModel::kAccumulate, *plug);
    }
}

void IPlugVST::VSTProcessFloat(AEffect* effect, float** inputs, float** outputs, VstInt32 frames) {
    if (IPlugVST* plug = PlugOf(effect)) {
        ScopedLock hold(plug->Lock());
        plug->WantMidiForThisCall();
        plug->Channels().Process(inputs, outputs, frames, ChannelModel::kReplace, *plug);
    }
}

void IPlugVST::VSTProcessDouble(AEffect* effect, double** inputs, double** outputs,
                                VstInt32 frames) {
    if (IPlugVST* plug = PlugOf(effect)) {
        ScopedLock hold(plug->Lock());
        plug->WantMidiForThisCall();
        plug->Channels().Process(inputs, outputs, frames, *plug);
    }
}

float IPlugVST::VSTGetParameter(AEffect* effect, VstInt32 index) {
    Trace("IPlugVST::VSTGetParameter", 632, "%d", index);
    IPlugVST* plug = PlugOf(effect);
    if (!plug) {
        return 0.0f;
    }
    ScopedLock hold(plug->Lock());
    const IParameter* param = plug->GetParam(index);
    return param ? float(param->CurrentNormalized()) : 0.0f;
}

void IPlugVST::VSTSetParameter(AEffect* effect, VstInt32 index, float value) {
    Trace("IPlugVST::VSTSetParameter", 643, "%d:%f", index, value);
    IPlugVST* plug = PlugOf(effect);
    if (!plug) {
        return;
    }
    plug->SetParameterFromHost(index, value);
}
