#include "host/Commands.h"
#include "host/validate/Validation.h"

#include <cstdio>
#include <cstdlib>
#include <iterator>

namespace {

int Usage() {
    std::fprintf(stderr, "usage: kvx-host validate [PLUGIN [--id ID]] [--seed N] [--repeat N]\n"
                         "                         [--skip-editor] [--in-process]\n");
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

struct Group {
    const char* name;
    void (*run)(Validation&);
    bool crashTolerated;
    bool isEditor;
};

void RunGroups(Validation& validation, const Group* groups, size_t count) {
    int number = 0;
    for (size_t i = 0; i < count; ++i) {
        if (groups[i].isEditor && validation.Settings().skipEditor) {
            continue;
        }
        validation.RunGroup(groups[i].name, number++, groups[i].run, groups[i].crashTolerated);
    }
}

// Each plug-in of the module in turn, or the one pluginId names.
int ValidateClap(const Validation::Options& options, const std::string& pluginId) {
    std::string error;
    auto module = ClapModule::Load(options.modulePath, &error);
    std::vector<std::string> ids;
    std::string chosen;
    if (module && !pluginId.empty() && module->ChoosePlugin(pluginId, &chosen, &error)) {
        ids.push_back(chosen);
    } else if (module && pluginId.empty()) {
        for (const clap_plugin_descriptor* d : module->Descriptors()) {
            ids.push_back(d->id);
        }
    }
    if (ids.empty()) {
        std::fprintf(stderr, "kvx-host: %s\n",
                     module ? (error.empty() ? "no plug-in" : error.c_str()) : error.c_str());
        return 1;
    }
    const Group groups[] = {
        {"clap identity", CheckClapIdentity, false, false},
        {"clap state", CheckClapState, false, false},
        {"clap audio", CheckClapAudio, false, false},
        {"clap automation", CheckClapAutomation, false, false},
        {"clap events", CheckClapEvents, false, false},
        // Other makers' plug-ins commonly crash on parameter IDs they do not have.
        {"clap hostile events", CheckClapHostileEvents, true, false},
        {"clap life cycle", CheckClapLifeCycle, false, false},
        {"clap audio thread", CheckClapAllocations, false, false},
        {"clap threads", CheckClapThreads, false, false},
        {"clap editor", CheckClapEditor, false, true},
    };
    int passed = 0, failed = 0;
    for (const std::string& id : ids) {
        std::printf("validating %s, plug-in %s (seed %u)\n", options.modulePath.c_str(), id.c_str(),
                    unsigned(options.seed));
        Validation validation(*module, id, options);
        RunGroups(validation, groups, std::size(groups));
        passed += validation.Passed();
        failed += validation.Failed();
    }
    std::printf("%d passed, %d failed\n", passed, failed);
    return failed ? 1 : 0;
}

} // namespace

int RunValidate(const std::vector<std::string>& args) {
    Validation::Options options;
    options.modulePath = DefaultModulePath();
    std::string pluginId;
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
        } else if (args[i] == "--id" && i + 1 < args.size()) {
            pluginId = args[++i];
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

    if (IsClapPath(options.modulePath)) {
        return ValidateClap(options, pluginId);
    }
    if (!pluginId.empty()) {
        return Usage();
    }
    std::string error;
    auto module = PluginModule::Load(options.modulePath, &error);
    if (!module) {
        std::fprintf(stderr, "kvx-host: %s\n", error.c_str());
        return 1;
    }
    std::printf("validating %s (seed %u)\n", options.modulePath.c_str(), unsigned(options.seed));
    Validation validation(*module, options);
    const Group groups[] = {
        {"identity", CheckIdentity, false, false},
        {"programs", CheckPrograms, false, false},
        {"state", CheckState, false, false},
        {"audio", CheckAudio, false, false},
        {"automation", CheckAutomation, false, false},
        {"denormals", CheckDenormals, false, false},
        {"audio thread", CheckAllocations, false, false},
        {"threads", CheckThreads, false, false},
        {"careless host", CheckCarelessHost, false, false},
        {"guarded buffers", CheckGuardedBuffers, false, false},
        {"garbage answers", CheckGarbageAnswers, false, false},
        // Other makers' plug-ins commonly crash on null channel buffers.
        {"null channels", CheckNullChannels, true, false},
        {"editor", CheckEditor, false, true},
    };
    RunGroups(validation, groups, std::size(groups));
    std::printf("%d passed, %d failed\n", validation.Passed(), validation.Failed());
    return validation.Failed() ? 1 : 0;
}
