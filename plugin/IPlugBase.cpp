#include "plugin/IPlugBase.h"

#include "common/TextCopy.h"
#include "common/Trace.h"
#include "editor/IGraphicsBase.h"

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

    inputPointers_.Resize(sizeof(double*) * size_t(maxInputs));
    outputPointers_.Resize(sizeof(double*) * size_t(maxOutputs));
    double** inputSlots = reinterpret_cast<double**>(inputPointers_.Data());
    double** outputSlots = reinterpret_cast<double**>(outputPointers_.Data());
    for (int i = 0; i < maxInputs; ++i) {
        inputs_.Append(new InputChannel())->slot = inputSlots + i;
    }
    for (int i = 0; i < maxOutputs; ++i) {
        outputs_.Append(new OutputChannel())->slot = outputSlots + i;
    }
}

IPlugBase::~IPlugBase() {
    delete editor_;
    editor_ = nullptr;
    params_.RemoveAll();
    programs_.RemoveAll();
    inputs_.RemoveAll();
    outputs_.RemoveAll();
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

bool IPlugBase::IsInputConnected(int channel) const {
    const InputChannel* input = inputs_.Get(channel);
    return input && input->connected;
}

bool IPlugBase::IsOutputConnected(int channel) const {
    const OutputChannel* output = outputs_.Get(channel);
    return output && output->connected;
}

int IPlugBase::ConnectedInputCount() const {
    int count = 0;
    for (int i = 0; i < NumInputChannels(); ++i) {
        count += inputs_.Get(i)->connected ? 1 : 0;
    }
    return count;
}

int IPlugBase::ConnectedOutputCount() const {
    int count = 0;
    for (int i = 0; i < NumOutputChannels(); ++i) {
        count += outputs_.Get(i)->connected ? 1 : 0;
    }
    return count;
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

namespace {

// The channels [first, first + count) that exist among total, computed without overflow.
void ChannelRange(int first, int count, int total, int* begin, int* end) {
    const std::int64_t last = std::int64_t(first) + (count > 0 ? count : 0);
    *begin = first < 0 ? 0 : first;
    *end = int(last < total ? (last < 0 ? 0 : last) : total);
}

} // namespace

void IPlugBase::ConnectInputs(int first, int count, bool connected) {
    int begin, end;
    ChannelRange(first, count, NumInputChannels(), &begin, &end);
    for (int i = begin; i < end; ++i) {
        InputChannel* input = inputs_.Get(i);
        input->connected = connected;
        if (!connected) {
            // A disconnected input is silence, not the last block it carried.
            if (input->scratch.Size()) {
                std::memset(input->Scratch(), 0, input->scratch.Size());
            }
            *input->slot = input->Scratch();
        }
    }
}

void IPlugBase::ConnectOutputs(int first, int count, bool connected) {
    int begin, end;
    ChannelRange(first, count, NumOutputChannels(), &begin, &end);
    for (int i = begin; i < end; ++i) {
        OutputChannel* output = outputs_.Get(i);
        output->connected = connected;
        if (!connected) {
            *output->slot = output->Scratch();
        }
    }
}

void IPlugBase::LimitToTwoChannels() {
    ConnectInputs(2, NumInputChannels() - 2, false);
    for (int i = 2; i < NumOutputChannels(); ++i) {
        outputs_.Get(i)->connected = true;
    }
}

void IPlugBase::ChangeBlockSize(int frames) {
    // A block size the host cannot mean (zero, negative, beyond a million frames) or that cannot
    // be allocated keeps the old one; longer calls are processed in slices of the block size.
    if (frames == blockSize_ || frames <= 0 || frames > kMaxBlockSize) {
        return;
    }
    const size_t bytes = sizeof(double) * size_t(frames);
    for (int i = 0; i < NumInputChannels(); ++i) {
        if (inputs_.Get(i)->scratch.Resize(bytes) < 0) {
            return;
        }
    }
    for (int i = 0; i < NumOutputChannels(); ++i) {
        if (outputs_.Get(i)->scratch.Resize(bytes) < 0) {
            return;
        }
    }
    for (int i = 0; i < NumInputChannels(); ++i) {
        InputChannel* input = inputs_.Get(i);
        std::memset(input->Scratch(), 0, bytes);
        // Growing may have moved the scratch: unconnected channels present the new one.
        if (!input->connected) {
            *input->slot = input->Scratch();
        }
    }
    for (int i = 0; i < NumOutputChannels(); ++i) {
        OutputChannel* output = outputs_.Get(i);
        std::memset(output->Scratch(), 0, bytes);
        if (!output->connected) {
            *output->slot = output->Scratch();
        }
    }
    blockSize_ = frames;
}

void IPlugBase::AttachEditor(IGraphicsBase* editor) {
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

void IPlugBase::AttachInputs(float** hostInputs, int frames) {
    int next = 0;
    for (int i = 0; i < NumInputChannels(); ++i) {
        InputChannel* input = inputs_.Get(i);
        if (!input->connected) {
            continue;
        }
        const float* source = hostInputs[next++];
        double* scratch = input->Scratch();
        if (source) {
            for (int s = 0; s < frames; ++s) {
                scratch[s] = source[s];
            }
        } else {
            std::memset(scratch, 0, sizeof(double) * size_t(frames));
        }
        *input->slot = scratch;
    }
}

void IPlugBase::AttachInputs(double** hostInputs, int frames) {
    int next = 0;
    for (int i = 0; i < NumInputChannels(); ++i) {
        InputChannel* input = inputs_.Get(i);
        if (!input->connected) {
            continue;
        }
        double* source = hostInputs[next++];
        if (!source) {
            // A host that hands no buffer for a channel gives silence on it.
            source = input->Scratch();
            std::memset(source, 0, sizeof(double) * size_t(frames));
        }
        *input->slot = source;
    }
}

void IPlugBase::AttachOutputs(float** hostOutputs) {
    int next = 0;
    for (int i = 0; i < NumOutputChannels(); ++i) {
        OutputChannel* output = outputs_.Get(i);
        if (output->connected) {
            *output->slot = output->Scratch();
            output->floatDestination = hostOutputs[next++];
        }
    }
}

void IPlugBase::AttachOutputs(double** hostOutputs) {
    int next = 0;
    for (int i = 0; i < NumOutputChannels(); ++i) {
        OutputChannel* output = outputs_.Get(i);
        if (output->connected) {
            // Without a host buffer the channel is computed into scratch and not delivered.
            double* destination = hostOutputs[next++];
            *output->slot = destination ? destination : output->Scratch();
        }
    }
}

void IPlugBase::RunProcessBlock(int frames) {
    double** inputs =
        NumInputChannels() ? reinterpret_cast<double**>(inputPointers_.Data()) : nullptr;
    double** outputs =
        NumOutputChannels() ? reinterpret_cast<double**>(outputPointers_.Data()) : nullptr;
    ProcessBlock(inputs, outputs, frames);
}

void IPlugBase::RunBlockDouble(int frames) {
    RunProcessBlock(frames);
}

void IPlugBase::RunBlockFloat(int frames) {
    RunProcessBlock(frames);
    for (int i = 0; i < NumOutputChannels(); ++i) {
        OutputChannel* output = outputs_.Get(i);
        if (!output->connected || !output->floatDestination) {
            continue;
        }
        const double* scratch = output->Scratch();
        for (int s = 0; s < frames; ++s) {
            output->floatDestination[s] = float(scratch[s]);
        }
    }
}

void IPlugBase::RunBlockAccumulating(int frames) {
    RunProcessBlock(frames);
    for (int i = 0; i < NumOutputChannels(); ++i) {
        OutputChannel* output = outputs_.Get(i);
        if (!output->connected || !output->floatDestination) {
            continue;
        }
        const double* scratch = output->Scratch();
        for (int s = 0; s < frames; ++s) {
            output->floatDestination[s] += float(scratch[s]);
        }
    }
}
