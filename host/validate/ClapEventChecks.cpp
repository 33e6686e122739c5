#include "host/validate/ClapRun.h"
#include "host/validate/Validation.h"

#include <cmath>
#include <limits>

namespace {

// Events no plug-in should take as they are: values far out of range, not numbers, for IDs
// it does not have, and events of other types and spaces.
std::vector<ClapHostEvent> HostileEvents(ClapHostedPlugin& plugin, int frames) {
    const double wild[] = {1e300,
                           -1e300,
                           std::numeric_limits<double>::infinity(),
                           -std::numeric_limits<double>::infinity(),
                           std::numeric_limits<double>::quiet_NaN(),
                           7.5,
                           -2.0};
    std::vector<ClapHostEvent> events;
    for (const clap_param_info& info : plugin.ParamInfos()) {
        for (double value : wild) {
            ClapHostEvent e;
            e.time = std::uint32_t(events.size()) % std::uint32_t(frames);
            e.paramId = info.id;
            e.value = value;
            events.push_back(e);
        }
    }
    ClapHostEvent unknownId;
    unknownId.paramId = 0x7FFFFFF3;
    unknownId.value = 0.5;
    events.push_back(unknownId);
    unknownId.paramId = CLAP_INVALID_ID;
    events.push_back(unknownId);
    ClapHostEvent otherSpace;
    otherSpace.space = 0x4B56;
    events.push_back(otherSpace);
    ClapHostEvent note;
    note.type = CLAP_EVENT_NOTE_ON;
    events.push_back(note);
    ClapHostEvent future;
    future.type = 0x4000;
    events.push_back(future);
    return events;
}

} // namespace

void CheckClapEvents(Validation& v) {
    auto plugin = v.NewClapPlugin("clap events: instantiate");
    if (!plugin) {
        return;
    }
    if (!plugin->Params()) {
        v.Skip("clap events: flush while inactive", "no params extension");
        return;
    }
    // flush while inactive, on the main thread: a value set so is read back.
    bool flushed = true;
    std::string flushProblem;
    for (int i = 0; i < plugin->NumParams(); ++i) {
        const clap_param_info& info = plugin->ParamInfos()[size_t(i)];
        if (info.flags & CLAP_PARAM_IS_READONLY) {
            continue;
        }
        const double wanted = plugin->PlainOf(i, 1.0);
        plugin->Flush({ClapHostEvent{0, info.id, wanted}});
        if (plugin->ParamValue(i) != wanted && flushed) {
            flushed = false;
            flushProblem =
                Figure("%s: sent %g, reads %g", info.name, wanted, plugin->ParamValue(i));
        }
    }
    if (flushed) {
        v.Report("clap events: flush while inactive", true,
                 Figure("%d values set and read back", plugin->NumParams()));
    } else {
        // Some plug-ins hand flushed values on at the next process call only.
        v.Warn("clap events: flush while inactive", flushProblem);
    }
}

void CheckClapHostileEvents(Validation& v) {
    auto plugin = v.NewClapPlugin("clap hostile events: instantiate");
    if (!plugin) {
        return;
    }
    if (!plugin->Params()) {
        v.Skip("clap hostile events: through flush", "no params extension");
        return;
    }
    std::string problem;
    plugin->Flush(HostileEvents(*plugin, 1));
    const bool flushRanged = ValuesInRange(*plugin, &problem);
    v.Report("clap hostile events: through flush", flushRanged,
             flushRanged ? "out of range, NaN, infinite, unknown IDs, types and spaces" : problem);

    if (!StartClap(*plugin, 48000.0, 256)) {
        v.Report("clap hostile events: activate", false, "refused 48 kHz, 256 frames");
        return;
    }
    const int channels = plugin->InputChannels() > 0 ? plugin->InputChannels() : 1;
    const Planar input = MakeSignal(TestSignal::Noise, channels, 256 * 8, 48000.0, 9);
    const ClapRunResult run = RunClap(*plugin, input, {256}, false, [&](int, int frames) {
        return HostileEvents(*plugin, frames > 0 ? frames : 1);
    });
    const bool ranged = ValuesInRange(*plugin, &problem);
    v.Report("clap hostile events: in process", run.healthy && ranged,
             run.healthy && ranged ? "output finite, values in range"
                                   : (run.healthy ? problem : run.firstProblem));
}

void CheckClapLifeCycle(Validation& v) {
    auto plugin = v.NewClapPlugin("clap life cycle: instantiate");
    if (!plugin) {
        return;
    }
    const int channels = plugin->InputChannels() > 0 ? plugin->InputChannels() : 1;
    bool healthy = true;
    std::string problem;
    int cycles = 0;
    const double rates[] = {44100.0, 96000.0, 8000.0, 384000.0, 48000.0};
    for (double rate : rates) {
        if (!StartClap(*plugin, rate, 512)) {
            healthy = false;
            problem = Figure("activate at %.0f Hz refused after %d cycles", rate, cycles);
            break;
        }
        const Planar input = MakeSignal(TestSignal::Square, channels, 2048, rate, 5);
        const ClapRunResult run = RunClap(*plugin, input, {512, 100, 0, 1}, cycles % 2 == 1);
        plugin->Reset();
        const ClapRunResult again = RunClap(*plugin, input, {512}, false);
        plugin->StopProcessing();
        plugin->Deactivate();
        if ((!run.healthy || !again.healthy) && healthy) {
            healthy = false;
            problem = Figure("at %.0f Hz: %s", rate,
                             (!run.healthy ? run.firstProblem : again.firstProblem).c_str());
        }
        ++cycles;
    }
    v.Report("clap life cycle: activate, deactivate, reactivate at other rates", healthy,
             healthy ? Figure("%d cycles from 8 kHz to 384 kHz, with reset", cycles) : problem);
}
