#pragma once

#include "host/ClapHostedPlugin.h"
#include "host/validate/AudioRun.h"

#include <functional>

// Drives an active, processing CLAP plug-in through a stream of process calls as a DAW does,
// checking every call: inputs left alone, every output sample finite and not subnormal.
struct ClapRunResult {
    Planar output;
    bool healthy = true;
    bool inputsUntouched = true;
    std::string firstProblem;
};

// The events of one call, told its number and frame count.
using ClapCallEvents = std::function<std::vector<ClapHostEvent>(int call, int frames)>;

// Processes input (channels cycled over the plug-in's inputs) in calls whose sizes come from
// sizes (cycled; 0-frame calls are made as given), in 64-bit samples when useDouble and the
// plug-in takes them.
ClapRunResult RunClap(ClapHostedPlugin& plugin, const Planar& input, const std::vector<int>& sizes,
                      bool useDouble, const ClapCallEvents& events = {});

// Activates the plug-in for rate and maxFrames and starts processing; false when it refuses.
bool StartClap(ClapHostedPlugin& plugin, double rate, int maxFrames);

// Whether every parameter's value is finite and within its range; else problem names one.
bool ValuesInRange(ClapHostedPlugin& plugin, std::string* problem);
