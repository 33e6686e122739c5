#pragma once

#include "host/ClapHostedPlugin.h"
#include "host/HostedPlugin.h"
#include "host/PluginModule.h"

#include <cstdint>
#include <memory>
#include <random>
#include <string>
#include <vector>

// What every group of checks shares: the module under test, the options, the random source and
// the report.
class Validation {
public:
    struct Options {
        std::string modulePath;
        std::uint32_t seed = 1;
        int repeat = 1;
        bool skipEditor = false;
        // Every group in this process, for a debugger; a crash then ends the run.
        bool inProcess = false;
    };

    Validation(const PluginModule& module, const Options& options);
    // For the CLAP plug-in pluginId of module.
    Validation(const ClapModule& module, const std::string& pluginId, const Options& options);

    // A fresh instance, or null (the failure is reported as a check).
    std::unique_ptr<HostedPlugin> NewPlugin(const std::string& checkName);
    std::unique_ptr<ClapHostedPlugin> NewClapPlugin(const std::string& checkName);

    // Prints one line: name, pass or fail, and the measured figure.
    void Report(const std::string& name, bool passed, const std::string& figure);
    // A check that cannot apply to this plug-in (no chunks, no editor): printed, not counted.
    void Skip(const std::string& name, const std::string& why);
    // A finding that real hosts tolerate (they give larger buffers than the interface promises):
    // printed, not counted as a failure.
    void Warn(const std::string& name, const std::string& figure);

    // Runs one group of checks in a child process, so that a plug-in that crashes fails that
    // group instead of ending the run. The group's random cases derive from the seed and number.
    // A group whose checks real plug-ins commonly fail (crashTolerated) reports a crash as a
    // warning.
    void RunGroup(const char* name, int number, void (*group)(Validation&),
                  bool crashTolerated = false);

    const Options& Settings() const { return options_; }
    const PluginModule& Module() const { return *module_; }
    const ClapModule& Clap() const { return *clapModule_; }
    const std::string& ClapId() const { return clapId_; }
    std::mt19937& Random() { return random_; }
    // Seed of the random case that starts now; printed with a failure so the case can be rerun.
    std::uint32_t NextCaseSeed();

    int Passed() const { return passed_; }
    int Failed() const { return failed_; }

private:
    const PluginModule* module_ = nullptr;
    const ClapModule* clapModule_ = nullptr;
    std::string clapId_;
    Options options_;
    std::mt19937 random_;
    int passed_ = 0;
    int failed_ = 0;
};

// The groups of checks, in the order they run.
void CheckIdentity(Validation& v);
void CheckPrograms(Validation& v);
void CheckState(Validation& v);
void CheckAudio(Validation& v);
void CheckAutomation(Validation& v);
void CheckDenormals(Validation& v);
void CheckAllocations(Validation& v);
void CheckThreads(Validation& v);
void CheckCarelessHost(Validation& v);
void CheckGuardedBuffers(Validation& v);
void CheckGarbageAnswers(Validation& v);
void CheckNullChannels(Validation& v);
void CheckEditor(Validation& v);

// The groups for a CLAP plug-in.
void CheckClapIdentity(Validation& v);
void CheckClapState(Validation& v);
void CheckClapAudio(Validation& v);
void CheckClapAutomation(Validation& v);
void CheckClapEvents(Validation& v);
void CheckClapHostileEvents(Validation& v);
void CheckClapLifeCycle(Validation& v);
void CheckClapAllocations(Validation& v);
void CheckClapThreads(Validation& v);
void CheckClapEditor(Validation& v);

// Every parameter's normalized value, in index order.
std::vector<float> ParameterValues(HostedPlugin& plugin);

// Formats a figure for the report.
std::string Figure(const char* format, ...) __attribute__((format(printf, 1, 2)));
