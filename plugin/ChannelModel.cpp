#include "plugin/ChannelModel.h"

#include <cstdint>
#include <cstring>

namespace {

// The channels [first, first + count) that exist among total, computed without overflow.
void ChannelRange(int first, int count, int total, int* begin, int* end) {
    const std::int64_t last = std::int64_t(first) + (count > 0 ? count : 0);
    *begin = first < 0 ? 0 : first;
    *end = int(last < total ? (last < 0 ? 0 : last) : total);
}

void Silence(double* samples, int frames) {
    std::memset(samples, 0, sizeof(double) * size_t(frames));
}

} // namespace

void ChannelModel::SetChannelCounts(int inputs, int outputs) {
    inputPointers_.Resize(sizeof(double*) * size_t(inputs));
    outputPointers_.Resize(sizeof(double*) * size_t(outputs));
    for (int i = 0; i < inputs; ++i) {
        inputs_.Append(new Channel());
    }
    for (int i = 0; i < outputs; ++i) {
        outputs_.Append(new Channel());
    }
}

void ChannelModel::Connect(PointerList<Channel>& channels, int* connectedCount, int first,
                           int count, bool connected) {
    int begin, end;
    ChannelRange(first, count, channels.Count(), &begin, &end);
    for (int i = begin; i < end; ++i) {
        Channel* channel = channels.Get(i);
        *connectedCount += int(connected) - int(channel->connected);
        channel->connected = connected;
        if (!connected && channel->scratch.Size()) {
            // An input left out reads silence, not the last block it carried.
            std::memset(channel->scratch.Data(), 0, channel->scratch.Size());
        }
    }
}

void ChannelModel::ConnectInputs(int first, int count, bool connected) {
    Connect(inputs_, &connectedInputs_, first, count, connected);
}

void ChannelModel::ConnectOutputs(int first, int count, bool connected) {
    Connect(outputs_, &connectedOutputs_, first, count, connected);
}

bool ChannelModel::IsInputConnected(int channel) const {
    const Channel* input = inputs_.Get(channel);
    return input && input->connected;
}

bool ChannelModel::IsOutputConnected(int channel) const {
    const Channel* output = outputs_.Get(channel);
    return output && output->connected;
}

bool ChannelModel::Resize(int frames, int maxFrames) {
    if (frames == blockSize_ || frames <= 0 || frames > maxFrames) {
        return false;
    }
    const size_t bytes = sizeof(double) * size_t(frames);
    for (PointerList<Channel>* channels : {&inputs_, &outputs_}) {
        for (int i = 0; i < channels->Count(); ++i) {
            if (channels->Get(i)->scratch.Resize(bytes) < 0) {
                return false;
            }
        }
    }
    for (PointerList<Channel>* channels : {&inputs_, &outputs_}) {
        for (int i = 0; i < channels->Count(); ++i) {
            std::memset(channels->Get(i)->scratch.Data(), 0, bytes);
        }
    }
    blockSize_ = frames;
    return true;
}

bool ChannelModel::CanProcess(const void* hostInputs, const void* hostOutputs, int frames) const {
    return frames > 0 && blockSize_ > 0 && (connectedInputs_ == 0 || hostInputs) &&
           (connectedOutputs_ == 0 || hostOutputs);
}

void ChannelModel::Process(float** hostInputs, float** hostOutputs, int frames, FloatOutput output,
                           BlockProcessor& processor) {
    if (!CanProcess(hostInputs, hostOutputs, frames)) {
        return;
    }
    for (int done = 0; done < frames; done += blockSize_) {
        const int n = frames - done < blockSize_ ? frames - done : blockSize_;
        AttachInputs(hostInputs, done, n);
        AttachOutputs(nullptr, 0);
        processor.ProcessBlock(InputPointers(), OutputPointers(), n);
        DeliverOutputs(hostOutputs, done, n, output);
    }
}

void ChannelModel::Process(double** hostInputs, double** hostOutputs, int frames,
                           BlockProcessor& processor) {
    if (!CanProcess(hostInputs, hostOutputs, frames)) {
        return;
    }
    for (int done = 0; done < frames; done += blockSize_) {
        const int n = frames - done < blockSize_ ? frames - done : blockSize_;
        AttachInputs(hostInputs, done, n);
        AttachOutputs(hostOutputs, done);
        processor.ProcessBlock(InputPointers(), OutputPointers(), n);
    }
}

void ChannelModel::AttachInputs(float** hostInputs, int offset, int frames) {
    double** pointers = InputPointers();
    int next = 0;
    for (int i = 0; i < NumInputs(); ++i) {
        Channel* input = inputs_.Get(i);
        double* scratch = input->Scratch();
        pointers[i] = scratch;
        if (!input->connected) {
            continue;
        }
        const float* source = hostInputs[next++];
        if (!source) {
            Silence(scratch, frames);
            continue;
        }
        source += offset;
        for (int s = 0; s < frames; ++s) {
            scratch[s] = source[s];
        }
    }
}

void ChannelModel::AttachInputs(double** hostInputs, int offset, int frames) {
    double** pointers = InputPointers();
    int next = 0;
    for (int i = 0; i < NumInputs(); ++i) {
        Channel* input = inputs_.Get(i);
        double* source = input->connected ? hostInputs[next++] : nullptr;
        if (source) {
            pointers[i] = source + offset;
        } else {
            pointers[i] = input->Scratch();
            if (input->connected) {
                // A host that hands no buffer for a connected channel gives silence on it.
                Silence(pointers[i], frames);
            }
        }
    }
}

void ChannelModel::AttachOutputs(double** hostOutputs, int offset) {
    double** pointers = OutputPointers();
    int next = 0;
    for (int i = 0; i < NumOutputs(); ++i) {
        Channel* output = outputs_.Get(i);
        double* destination = hostOutputs && output->connected ? hostOutputs[next++] : nullptr;
        // Without a host buffer the channel is computed into scratch and not delivered.
        pointers[i] = destination ? destination + offset : output->Scratch();
    }
}

void ChannelModel::DeliverOutputs(float** hostOutputs, int offset, int frames, FloatOutput output) {
    int next = 0;
    for (int i = 0; i < NumOutputs(); ++i) {
        Channel* channel = outputs_.Get(i);
        if (!channel->connected) {
            continue;
        }
        float* destination = hostOutputs[next++];
        if (!destination) {
            continue;
        }
        destination += offset;
        const double* scratch = channel->Scratch();
        if (output == kAccumulate) {
            for (int s = 0; s < frames; ++s) {
                destination[s] += float(scratch[s]);
            }
        } else {
            for (int s = 0; s < frames; ++s) {
                destination[s] = float(scratch[s]);
            }
        }
    }
}
