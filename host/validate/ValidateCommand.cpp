#include "host/Commands.h"
#include "host/validate/Validation.h"

#include <cstdio>
#include <cstdlib>

namespace {

int Usage() {
    std::fprintf(stderr,
                 "usage: kvx-host validate [PLUGIN] [--seed N] [--repeat N] [--skip-editor]\n"
                 "                         [--in-process]\n");
    return 2;
}

bool ParseCount(const std::string& text, unsigned long max, unsigned long* value) {
    char* end = nullptr;
    const unsigned long parsed = std::strtoul(text.c_str(), &end, 10);
    if (text.empty() || *end || parsed > max) {
        return false;
    }
    *value = parsed;
    return true;
}

} // namespace

int RunValidate(const std::vector<std::string>& args) {
    Validation::Options options;
    options.modulePath = DefaultModulePath();
    for (size_t i = 0; i < args.size(); ++i) {
        unsigned long number = 0;
        if (args[i] == "--seed" || args[i] == "--repeat") {
            if (i + 1 == args.size() || !ParseCount(args[i + 1], 0xFFFFFFFFul, &number)) {
                return Usage();
            }
            if (args[i] == "--seed") {
                options.seed = std::uint32_t(number);
            } else {
                options.repeat = number < 1 ? 1 : (number > 1000 ? 1000 : int(number));
            }
            ++i;
        } else if (args[i] == "--skip-editor") {
            options.skipEditor = true;
        } else if (args[i] == "--in-process") {
            options.inProcess = true;
        } else if (!args[i].empty() && args[i][0] != '-') {
            options.modulePath = args[i];
        } else {
            return Usage();
        }
    }

    std::string error;
    auto module = PluginModule::Load(options.modulePath, &error);
    if (!module) {
        std::fprintf(stderr, "kvx-host: %s\n", error.c_str());
        return 1;
    }
    std::printf("validating %s (seed %u)\n", options.modulePath.c_str(), unsigned(options.seed));
    Validation validation(*module, options);
    struct Group {
        const char* name;
        void (*run)(Validation&);
        bool crashTolerated;
    };
    const Group groups[] = {
        {"identity", CheckIdentity, false},
        {"programs", CheckPrograms, false},
        {"state", CheckState, false},
        {"audio", CheckAudio, false},
        {"automation", CheckAutomation, false},
        {"denormals", CheckDenormals, false},
        {"audio thread", CheckAllocations, false},
        {"threads", CheckThreads, false},
        {"careless host", CheckCarelessHost, false},
        {"guarded buffers", CheckGuardedBuffers, false},
        {"garbage answers", CheckGarbageAnswers, false},
        // Other makers' plug-ins commonly crash on null channel buffers.
        {"null channels", CheckNullChannels, true},
        {"editor", CheckEditor, false},
    };
    int number = 0;
    for (const Group& group : groups) {
        if (group.run == CheckEditor && options.skipEditor) {
            continue;
        }
        validation.RunGroup(group.name, number++, group.run, group.crashTolerated);
    }
    std::printf("%d passed, %d failed\n", validation.Passed(), validation.Failed());
    return validation.Failed() ? 1 : 0;
}
