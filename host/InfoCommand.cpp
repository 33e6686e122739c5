#include "host/ClapModule.h"
#include "host/Commands.h"
#include "host/FourCharCode.h"
#include "host/HostedPlugin.h"

#include <cstdio>

int RunInfo(const std::vector<std::string>& args) {
    std::string path, pluginId;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--id" && i + 1 < args.size()) {
            pluginId = args[++i];
        } else if (path.empty() && !args[i].empty() && args[i][0] != '-') {
            path = args[i];
        } else {
            std::fprintf(stderr, "kvx-host info: expected at most one plug-in path and --id ID\n");
            return 2;
        }
    }
    if (path.empty()) {
        path = DefaultModulePath();
    }
    if (IsClapPath(path)) {
        return RunClapInfo(path, pluginId);
    }
    std::string error;
    const LoadedPlugin loaded = LoadPlugin(path, &error);
    HostedPlugin* plugin = loaded.plugin.get();
    if (!plugin) {
        std::fprintf(stderr, "kvx-host: %s\n", error.c_str());
        return 1;
    }
    plugin->Open(44100.0, 512);
    const AEffect* effect = plugin->Effect();

    std::printf("module:      %s\n", path.c_str());
    std::printf("effect:      %s\n", plugin->EffectName().c_str());
    std::printf("vendor:      %s\n", plugin->VendorName().c_str());
    std::printf("unique id:   %s\n", FourCharCodeText(effect->uniqueID).c_str());
    std::printf("version:     %d\n", effect->version);
    std::printf("flags:       0x%X\n", unsigned(effect->flags));
    std::printf("channels:    %d in, %d out\n", effect->numInputs, effect->numOutputs);
    std::printf("latency:     %d samples\n", effect->initialDelay);

    std::printf("\nparameters (%d):\n", effect->numParams);
    for (int i = 0; i < effect->numParams; ++i) {
        std::printf("  %2d  %-12s %-8s %6.3f  %s\n", i, plugin->ParamName(i).c_str(),
                    ("\"" + plugin->ParamDisplay(i) + "\"").c_str(), plugin->GetParameter(i),
                    plugin->ParamLabel(i).c_str());
    }
    std::printf("\nprograms (%d):\n", effect->numPrograms);
    for (int i = 0; i < effect->numPrograms; ++i) {
        std::printf("  %2d  %s\n", i, plugin->ProgramName(i).c_str());
    }
    std::printf("\ncanDo:\n");
    const char* questions[] = {"receiveVstTimeInfo", "receiveVstEvents", "receiveVstMidiEvent",
                               "sendVstEvents",      "sendVstMidiEvent", "hasCockosExtensions"};
    for (const char* question : questions) {
        const VstIntPtr answer =
            plugin->Dispatch(effCanDo, 0, 0, const_cast<char*>(question), 0.0f);
        std::printf("  %-22s %s\n", question,
                    answer == 1 ? "yes" : (answer == 0 ? "no" : "extension"));
    }
    return 0;
}
