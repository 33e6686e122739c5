#include "plugin/IPlugBase.h"

#include "common/TextCopy.h"
#include "common/Trace.h"

#include <cassert>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

IPlugBase::IPlugBase(int numParams, const char* channelConfigs, int numPrograms,
                     const char* effectName, const char* productName, const char* vendorName,
                     std::int32_t version, std::int32_t uniqueId, std::int32_t manufacturerCode,
                     int latency, bool /*doesMidi: kept by the host binding*/, bool doesStateChunks,
                     bool isInstrument)
    : uniqueId_(uniqueId), manufacturerCode_(manufacturerCode), version_(version),
      doesStateChunks_(doesStateChunks), isInstrument_(isInstrument), latency_(latency) {
    Trace("IPlugBase::IPlugBase", 56, "%s:%s", effectName, TimeStamp());

    for (int i = 0; i < numParams; ++i) {
        params_.Append(new IParameter());
    }
    for (int i = 1; i <= numPrograms; ++i) {
        IProgramSlot* slot = programs_.Append(new IProgramSlot());
        std::snprintf(slot->name, sizeof slot->name, "- %d -", i);
    }

    CopyText(effectName_, effectName, sizeof effectName_);
    CopyText(productName_, productName, sizeof productName_);
    CopyText(vendorName_, vendorName, sizeof vendorName_);

    ParseChannelConfigs(channelConfigs);
}

void IPlugBase::ParseChannelConfigs(const char* configs) {
    int maxInputs = 0;
    int maxOutputs = 0;
    for (const char* cursor = configs; cursor;) {
        int numInputs = 0;
        int numOutputs = 0;
        const int read = std::sscanf(cursor, "%d-%d", &numInputs, &numOutputs);
        // The configuration string is a constant of the effect, never input from outside.
        assert(read == 2 && "IPlugBase: malformed channel configuration");
        if (read != 2) {
            std::abort();
        }
        channelConfigs_.Append(new ChannelConfig{numInputs, numOutputs});
        maxInputs = numInputs > maxInputs ? numInputs : maxInputs;
        maxOutputs = numOutputs > maxOutputs ? numOutputs : maxOutputs;
        cursor = std::strchr(cursor, ' ');
        if (cursor) {
            ++cursor;
        }
    }

    channels_.SetChannelCounts(maxInputs, maxOutputs);
}

IPlugBase::~IPlugBase() {
    delete editor_;
    editor_ = nullptr;
    params_.RemoveAll();
    programs_.RemoveAll();
    channelConfigs_.RemoveAll();
}

void IPlugBase::OnReset() {
    ScopedLock hold(lock_);
}

void IPlugBase::OnParameterChange(int /*paramIdx*/) {
    ScopedLock hold(lock_);
}

void IPlugBase::OnActivation(bool /*active*/) {
    ScopedLock hold(lock_);
}

void IPlugBase::OnMidiMessage(const MidiMessage& message) {
    SendMidiMessage(message);
}

bool IPlugBase::MidiNoteName(int /*keyNumber*/, char* text) {
    if (text) {
        *text = '\0';
    }
    return false;
}

bool IPlugBase::SaveState(StateChunk& chunk) {
    return SerializeParamValues(chunk);
}

int IPlugBase::LoadState(const StateChunk& chunk, int position) {
    return UnserializeParams(chunk, position);
}

void IPlugBase::ProcessBlock(double** inputs, double** outputs, int frames) {
    const int numIn = NumInputChannels();
    const int numOut = NumOutputChannels();
    int channel = 0;
    for (; channel < numIn && channel < numOut; ++channel) {
        if (outputs[channel] != inputs[channel]) {
            std::memmove(outputs[channel], inputs[channel], sizeof(double) * size_t(frames));
        }
    }
    for (; channel < numOut; ++channel) {
        std::memset(outputs[channel], 0, sizeof(double) * size_t(frames));
    }
}

std::int32_t IPlugBase::EffectVersion(bool decimal) const {
    if (!decimal) {
        return version_;
    }
    return ((version_ >> 16) & 0xFFFF) * 10000 + ((version_ >> 8) & 0xFF) * 100 + (version_ & 0xFF);
}

void IPlugBase::ChangeSampleRate(double rate) {
    // Above a megahertz no audio interface runs; the reverb's delay lines would grow to gigabytes.
    if (rate > 0.0 && rate <= 1.0e6) {
        sampleRate_ = rate;
    }
}

bool IPlugBase::LegalIO(int numInputs, int numOutputs) const {
    bool legal = false;
    for (int i = 0; i < channelConfigs_.Count() && !legal; ++i) {
        const ChannelConfig* config = channelConfigs_.Get(i);
        legal = (numInputs < 0 || numInputs == config->numInputs) &&
                (numOutputs < 0 || numOutputs == config->numOutputs);
    }
    Trace("IPlugBase::LegalIO", 136, "%d:%d:%s", numInputs, numOutputs,
          legal ? "legal" : "illegal");
    return legal;
}

void IPlugBase::SetParameterFromGUI(int paramIdx, double normalized) {
    Trace("IPlugBase::SetParameterFromGUI", 351, "%d:%f", paramIdx, normalized);
    ScopedLock hold(lock_);
    IParameter* param = GetParam(paramIdx);
    if (!param) {
        return;
    }
    param->SetFromNormalized(normalized);
    NotifyHostOfChange(paramIdx, normalized);
    OnParameterChange(paramIdx);
}

void IPlugBase::SetParameterFromHost(int paramIdx, double normalized) {
    ScopedLock hold(lock_);
    IParameter* param = GetParam(paramIdx);
    if (!param) {
        return;
    }
    if (editor_) {
        editor_->UpdateParamControls(paramIdx, normalized, true);
    }
    param->SetFromNormalized(normalized);
    OnParameterChange(paramIdx);
}

void IPlugBase::LimitToTwoChannels() {
    ConnectInputs(2, NumInputChannels() - 2, false);
    ConnectOutputs(2, NumOutputChannels() - 2, true);
}

void IPlugBase::ChangeBlockSize(int frames) {
    // A block size the host cannot mean (zero, negative, beyond a million frames) or that cannot
    // be allocated keeps the old one; longer calls are processed in slices of the block size.
    channels_.Resize(frames, kMaxBlockSize);
}

void IPlugBase::AttachEditor(IEditor* editor) {
    if (!editor) {
        return;
    }
    ScopedLock hold(lock_);
    for (int i = 0; i < NumParams(); ++i) {
        editor->UpdateParamControls(i, GetParam(i)->CurrentNormalized(), true);
    }
    editor->PrepareSurface();
    editor_ = editor;
}

void IPlugBase::NotifyAllParameters() {
    for (int i = 0; i < NumParams(); ++i) {
        OnParameterChange(i);
    }
}

void IPlugBase::RefreshEditorFromParams() {
    if (!editor_) {
        return;
    }
    for (int i = 0; i < NumParams(); ++i) {
        editor_->UpdateParamControls(i, GetParam(i)->Value(), false);
    }
}
