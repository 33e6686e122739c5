#pragma once

#include "host/AudioSink.h"
#include "host/AudioSource.h"
#include "host/LevelMeter.h"

#include <cstdint>
#include <functional>
#include <string>

class HostedPlugin;

struct RenderSettings {
    int blockSize = 512;
    bool useDouble = false;
    // Silence played after the input so reverb and delay tails are kept.
    std::int64_t tailFrames = 0;
};

struct RenderResult {
    std::int64_t inputFrames = 0;
    std::int64_t outputFrames = 0;
    LevelMeter input;
    LevelMeter output;
    // Time spent inside the plug-in's process calls.
    double processSeconds = 0.0;
    // Output samples that were NaN or infinite, written as 0.
    std::int64_t nonFinite = 0;
};

// The processing side of a hosted plug-in, whatever its format.
class RenderTarget {
public:
    virtual ~RenderTarget() = default;
    virtual int NumInputs() = 0;
    virtual int NumOutputs() = 0;
    // Switches processing on, at the rate, for calls of at most maxFrames.
    virtual void StartRender(double rate, int maxFrames) = 0;
    // One call; position counts the frames rendered before it.
    virtual void ProcessFloat(float** in, float** out, int frames, std::int64_t position) = 0;
    virtual void ProcessDouble(double** in, double** out, int frames, std::int64_t position) = 0;
    virtual void StopRender() = 0;
};

// Told the frames done and the frames expected after each block; returning false stops the
// render.
using RenderProgress = std::function<bool(std::int64_t done, std::int64_t total)>;

// Plays source through a plug-in that is open, set to the source's rate and the block size, and
// has its channels arranged: switches it on (effMainsChanged 1), processes in blocks of the
// block size with processReplacing or processDoubleReplacing, then the tail, and switches it off.
// Channel c of the source feeds input c and output c goes to channel c of the sink; inputs the
// source lacks get silence. Every block is full but the last. False with a message on a read or
// write error or when progress stops it.
bool Render(HostedPlugin& plugin, AudioSource& source, AudioSink& sink,
            const RenderSettings& settings, const RenderProgress& progress, RenderResult* result,
            std::string* error);
// The same for any plug-in: StartRender, the calls, StopRender.
bool Render(RenderTarget& target, double rate, AudioSource& source, AudioSink& sink,
            const RenderSettings& settings, const RenderProgress& progress, RenderResult* result,
            std::string* error);
