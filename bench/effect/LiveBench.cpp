// What a guitarist playing live feels: the module's float path at small blocks against large
// ones, how long a new instance takes to its first block, how long the editor takes to open and
// reopen, and the memory each further instance costs.
//
// With --before=MODULE (an older build of the module) the block and instance figures are taken
// for both modules in the same run, interleaved, and the table at the end compares their
// medians. Run with --benchmark_repetitions=N so that medians exist.

#include "bench/GuitarLike.h"
#include "editor/IGraphicsLice.h"
#include "effect/PlugExample.h"
#include "host/HostedPlugin.h"
#include "host/PluginModule.h"
#include "platform/DesktopSession.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

constexpr double kRate = 48000;
constexpr int kBlockSizes[] = {16, 32, 64, 512, 4096};
constexpr int kLongestBlock = 4096;
// Four seconds of audio at each block size.
constexpr int kFramesPerRepetition = 4 * 48000;

VstIntPtr NullHost(AEffect*, VstInt32, VstInt32, VstIntPtr, void*, float) {
    return 0;
}

struct Module {
    std::string label; // "after" or "before"
    std::unique_ptr<PluginModule> loaded;
};

std::vector<Module>& Modules() {
    static std::vector<Module> modules;
    return modules;
}

// An instance as a DAW sets it up for playing: 48 kHz, Effect and Vortalizer on, resumed.
std::unique_ptr<HostedPlugin> Playing(const PluginModule& module, int blockSize) {
    std::string error;
    auto plug = HostedPlugin::Create(module, &error);
    if (!plug) {
        return nullptr;
    }
    plug->Open(kRate, blockSize);
    plug->SetParameter(PlugExample::kEffect, 1.0f);
    plug->SetParameter(PlugExample::kVortalizer, 1.0f);
    return plug;
}

// A playing instance after its first block of silence: what a host has once playing starts.
std::unique_ptr<HostedPlugin> AfterFirstBlock(const PluginModule& module, int frames) {
    static std::vector<float> silence(kLongestBlock), out0(kLongestBlock), out1(kLongestBlock);
    float* in[2] = {silence.data(), silence.data()};
    float* out[2] = {out0.data(), out1.data()};
    auto plug = Playing(module, frames);
    if (plug) {
        plug->ProcessFloat(in, out, frames);
    }
    return plug;
}

void BlockSpeed(benchmark::State& state, const PluginModule* module, int frames) {
    auto plug = Playing(*module, frames);
    if (!plug) {
        state.SkipWithError("the module made no instance");
        return;
    }
    std::vector<float> left = GuitarLike<float>(frames, 0.5),
                       right = GuitarLike<float>(frames, 0.2);
    std::vector<float> out0(static_cast<size_t>(frames)), out1(static_cast<size_t>(frames));
    float* in[2] = {left.data(), right.data()};
    float* out[2] = {out0.data(), out1.data()};
    for (auto _ : state) {
        plug->ProcessFloat(in, out, frames);
        benchmark::DoNotOptimize(out0.data());
        benchmark::ClobberMemory();
    }
    state.counters["rt_at_48k"] = benchmark::Counter(double(state.iterations()) * frames / kRate,
                                                     benchmark::Counter::kIsRate);
}

// From the module's entry to the first processed block of 64 frames, for a further instance
// (the images are decoded already); closing is not counted.
void InstanceCreation(benchmark::State& state, const PluginModule* module) {
    for (auto _ : state) {
        auto plug = AfterFirstBlock(*module, 64);
        state.PauseTiming();
        plug.reset();
        state.ResumeTiming();
    }
}

// Draws the whole editor on its surface, as opening it does before the window shows it.
void DrawEverything(PlugExample& plug) {
    auto* editor = static_cast<IGraphicsLice*>(plug.Editor());
    IRectangle dirty;
    editor->CollectDirtyArea(dirty);
    editor->RedrawArea(IRectangle(0, 0, editor->Width(), editor->Height()));
    benchmark::DoNotOptimize(editor->Surface());
}

// This program's own file, to start it again.
std::string SelfPath() {
    char path[4096];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    return std::string(path, length > 0 ? size_t(length) : 0);
}

// Starts this program again with --cold=WHAT and reads the one figure it prints: what a fresh
// process does once, with nothing decoded or cached yet. False when it printed none or failed.
bool FreshProcessFigure(const std::string& what, double* figure) {
    std::FILE* child = popen((SelfPath() + " --cold=" + what).c_str(), "r");
    if (!child) {
        return false;
    }
    const bool read = std::fscanf(child, "%lf", figure) == 1;
    return pclose(child) == 0 && read;
}

// The seconds a fresh process takes for WHAT.
void ColdRun(benchmark::State& state, const std::string& what) {
    for (auto _ : state) {
        double seconds = -1;
        if (!FreshProcessFigure(what, &seconds) || seconds < 0) {
            state.SkipWithError("the fresh process reported nothing");
            return;
        }
        state.SetIterationTime(seconds);
    }
}

double SecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Opening again once the images are decoded: everything drawn anew.
void EditorReopen(benchmark::State& state) {
    PlugExample plug(&NullHost);
    DrawEverything(plug);
    for (auto _ : state) {
        DrawEverything(plug);
    }
}

// The editor opened in a real window and closed again, through the module's dispatcher as a
// host does it; needs an X display (run under xvfb-run).
void EditorWindowOpen(benchmark::State& state, const PluginModule* module) {
    auto desktop = DesktopSession::Connect();
    if (!desktop) {
        state.SkipWithError("no X display");
        return;
    }
    auto plug = Playing(*module, 512);
    const DesktopSession::Window window = desktop->CreateTopLevel("LiveBench", 600, 400);
    for (auto _ : state) {
        if (!plug->Dispatch(effEditOpen, 0, 0, reinterpret_cast<void*>(window))) {
            state.SkipWithError("the editor did not open");
            break;
        }
        state.PauseTiming();
        plug->Dispatch(effEditClose);
        state.ResumeTiming();
    }
    desktop->DestroyWindow(window);
}

long ResidentKiB() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0) {
            return std::stol(line.substr(6));
        }
    }
    return 0;
}

// The growth of the resident set per extra instance, across 100 playing instances that have
// each processed a block, in a fresh process (freed memory of earlier benchmarks would hide it).
double KiBPerInstance(const PluginModule& module) {
    constexpr int kInstances = 100;
    std::vector<std::unique_ptr<HostedPlugin>> plugs;
    plugs.push_back(AfterFirstBlock(module, 512));
    const long before = ResidentKiB();
    for (int i = 1; i <= kInstances; ++i) {
        plugs.push_back(AfterFirstBlock(module, 512));
    }
    return double(ResidentKiB() - before) / kInstances;
}

void MemoryPerInstance(benchmark::State& state, const PluginModule* module) {
    for (auto _ : state) {
        double kib = -1;
        if (!FreshProcessFigure("memory:" + module->Path(), &kib)) {
            state.SkipWithError("the fresh process reported nothing");
            return;
        }
        state.counters["KiB_per_instance"] = kib;
    }
}

// --cold=editor: the first editor of the process built (its images decoded) and drawn.
// --cold=instance:MODULE: the module's first instance, from its entry to a first block.
// --cold=memory:MODULE: the memory each further instance takes, in KiB.
int RunCold(const std::string& what) {
    if (what == "editor") {
        const auto start = std::chrono::steady_clock::now();
        auto plug = std::make_unique<PlugExample>(&NullHost);
        DrawEverything(*plug);
        std::printf("%.9f\n", SecondsSince(start));
        return 0;
    }
    const size_t colon = what.find(':');
    const std::string kind = what.substr(0, colon);
    if (colon == std::string::npos || (kind != "instance" && kind != "memory")) {
        return 1;
    }
    std::string error;
    auto module = PluginModule::Load(what.substr(colon + 1), &error);
    if (!module) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    if (kind == "memory") {
        std::printf("%.1f\n", KiBPerInstance(*module));
        return 0;
    }
    const auto start = std::chrono::steady_clock::now();
    const auto plug = AfterFirstBlock(*module, 64);
    std::printf("%.9f\n", SecondsSince(start));
    return 0;
}

// Keeps the medians of the block figures, and prints the comparison once the run is over.
class LiveReporter : public benchmark::ConsoleReporter {
public:
    // Colours only on a terminal, so that saved logs read plainly.
    LiveReporter() : ConsoleReporter(isatty(STDOUT_FILENO) ? OO_ColorTabular : OO_Tabular) {}

    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
            const std::string name = run.run_name.str();
            if (!median || name.rfind("BlockSpeed/", 0) != 0 || !run.counters.count("rt_at_48k")) {
                continue;
            }
            // BlockSpeed/<module>/frames:<n>
            const size_t slash = name.find('/', 11);
            const std::string label = name.substr(11, slash - 11);
            const int frames = std::stoi(name.substr(name.find(':') + 1));
            speed_[label][frames] = run.counters.at("rt_at_48k").value;
        }
    }

    void Finalize() override {
        ConsoleReporter::Finalize();
        if (speed_.count("after") == 0) {
            return;
        }
        std::printf(
            "\nTimes real time at 48 kHz, medians, float path, Effect and Vortalizer on:\n");
        std::printf("%8s %10s %10s %8s\n", "frames", "after", "before", "ratio");
        for (int frames : kBlockSizes) {
            const double after = Speed("after", frames), before = Speed("before", frames);
            std::printf("%8d %10.1f %10.1f %8.2f\n", frames, after, before,
                        before > 0 ? after / before : 0.0);
        }
        for (const char* label : {"after", "before"}) {
            const double longest = Speed(label, kLongestBlock);
            if (longest > 0) {
                std::printf("%s: block 16 / block 4096 = %.2f (at least 0.70), block 64 / block "
                            "4096 = %.2f (at least 0.90)\n",
                            label, Speed(label, 16) / longest, Speed(label, 64) / longest);
            }
        }
        if (Speed("before", kLongestBlock) > 0) {
            std::printf("block 4096, after / before = %.2f (at least 1.20)\n",
                        Speed("after", kLongestBlock) / Speed("before", kLongestBlock));
        }
    }

private:
    double Speed(const std::string& label, int frames) const {
        const auto module = speed_.find(label);
        if (module == speed_.end()) {
            return 0.0;
        }
        const auto found = module->second.find(frames);
        return found == module->second.end() ? 0.0 : found->second;
    }

    std::map<std::string, std::map<int, double>> speed_;
};

// Loads the module this benchmark was built with, and the one --before names; removes that
// option from the arguments.
bool LoadModules(int& argc, char** argv) {
    std::vector<std::pair<std::string, std::string>> wanted = {{"after", DefaultModulePath()}};
    int kept = 1;
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "--before=", 9) == 0) {
            wanted.emplace_back("before", argv[i] + 9);
        } else {
            argv[kept++] = argv[i];
        }
    }
    argc = kept;
    for (const auto& [label, path] : wanted) {
        std::string error;
        auto loaded = PluginModule::Load(path, &error);
        if (!loaded) {
            std::fprintf(stderr, "cannot load %s: %s\n", path.c_str(), error.c_str());
            return false;
        }
        Modules().push_back({label, std::move(loaded)});
    }
    return true;
}

void RegisterAll() {
    for (const Module& module : Modules()) {
        const PluginModule* loaded = module.loaded.get();
        for (int frames : kBlockSizes) {
            const std::string name =
                "BlockSpeed/" + module.label + "/frames:" + std::to_string(frames);
            // Fixed counts keep repetitions alike, which interleaving them needs.
            benchmark::RegisterBenchmark(name.c_str(), BlockSpeed, loaded, frames)
                ->Iterations(kFramesPerRepetition / frames);
        }
        benchmark::RegisterBenchmark(("InstanceCreation/" + module.label).c_str(), InstanceCreation,
                                     loaded)
            ->Iterations(200)
            ->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark(("FirstInstanceCreation/" + module.label).c_str(), ColdRun,
                                     "instance:" + loaded->Path())
            ->UseManualTime()
            ->Iterations(10)
            ->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark(("MemoryPerInstance/" + module.label).c_str(),
                                     MemoryPerInstance, loaded)
            ->Iterations(1)
            ->Unit(benchmark::kMillisecond);
    }
    benchmark::RegisterBenchmark("EditorFirstOpen", ColdRun, std::string("editor"))
        ->UseManualTime()
        ->Iterations(10)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("EditorReopen", EditorReopen)
        ->Iterations(2000)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("EditorWindowOpen", EditorWindowOpen,
                                 Modules().front().loaded.get())
        ->Iterations(100)
        ->Unit(benchmark::kMillisecond);
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 2 && std::strncmp(argv[1], "--cold=", 7) == 0) {
        return RunCold(argv[1] + 7);
    }
    if (!LoadModules(argc, argv)) {
        return 1;
    }
    RegisterAll();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    LiveReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
