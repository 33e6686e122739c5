#pragma once

#include "common/ByteBuffer.h"
#include "common/PointerList.h"

// What processes one block of double-precision audio: the effect.
class BlockProcessor {
public:
    virtual void ProcessBlock(double** inputs, double** outputs, int frames) = 0;

protected:
    ~BlockProcessor() = default;
};

// The channels between a host and the effect. The host connects some of the plug-in's inputs
// and outputs and hands one buffer per connected channel; the effect always sees every channel
// in double precision. Scratch buffers of the block size stand in for the channels the host
// left out (silence in, discarded out) and carry the float path converted to double and back;
// the double path hands the host's buffers straight through. A call longer than the block size
// is processed in slices of it, so the scratch never overflows and nothing is allocated.
class ChannelModel {
public:
    enum FloatOutput { kReplace, kAccumulate };

    // Called once, before anything else: every channel starts disconnected.
    void SetChannelCounts(int inputs, int outputs);
    int NumInputs() const { return inputs_.Count(); }
    int NumOutputs() const { return outputs_.Count(); }

    // Channels [first, first + count) that exist; a disconnected input reads silence.
    void ConnectInputs(int first, int count, bool connected);
    void ConnectOutputs(int first, int count, bool connected);
    bool IsInputConnected(int channel) const;
    bool IsOutputConnected(int channel) const;
    int ConnectedInputCount() const { return connectedInputs_; }
    int ConnectedOutputCount() const { return connectedOutputs_; }

    // Sizes the scratch for blocks of frames and zeroes it. A size the host cannot mean (zero,
    // negative, above maxFrames), the current size, or one that cannot be allocated keeps the
    // current one; returns whether the size changed.
    bool Resize(int frames, int maxFrames);
    int BlockSize() const { return blockSize_; }

    // One host call of frames frames: hostInputs and hostOutputs hold one buffer per connected
    // channel, in channel order; a null buffer reads as silence and is not written. Calls with
    // no frames, or without the arrays the connections need, do nothing.
    void Process(float** hostInputs, float** hostOutputs, int frames, FloatOutput output,
                 BlockProcessor& processor);
    void Process(double** hostInputs, double** hostOutputs, int frames, BlockProcessor& processor);

private:
    struct Channel {
        bool connected = false;
        ByteBuffer scratch{4096};
        double* Scratch() { return reinterpret_cast<double*>(scratch.Data()); }
    };

    static void Connect(PointerList<Channel>& channels, int* connectedCount, int first, int count,
                        bool connected);
    void AttachInputs(float** hostInputs, int offset, int frames);
    void AttachInputs(double** hostInputs, int offset, int frames);
    void AttachOutputs(double** hostOutputs, int offset);
    void DeliverOutputs(float** hostOutputs, int offset, int frames, FloatOutput output);
    bool CanProcess(const void* hostInputs, const void* hostOutputs, int frames) const;
    double** InputPointers() { return reinterpret_cast<double**>(inputPointers_.Data()); }
    double** OutputPointers() { return reinterpret_cast<double**>(outputPointers_.Data()); }

    PointerList<Channel> inputs_{true};
    PointerList<Channel> outputs_{true};
    // The arrays handed to the effect, one pointer per channel.
    ByteBuffer inputPointers_{4096};
    ByteBuffer outputPointers_{4096};
    int connectedInputs_ = 0;
    int connectedOutputs_ = 0;
    int blockSize_ = 0;
};
