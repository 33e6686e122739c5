// kvx-host info for a CLAP module: what a host learns before it inserts a plug-in.

#include "host/ClapHostedPlugin.h"
#include "host/Commands.h"

#include <cstdio>

namespace {

std::string Text(const char* text) {
    return text ? text : "";
}

std::string Features(const clap_plugin_descriptor& d) {
    std::string list;
    for (const char* const* f = d.features; f && *f; ++f) {
        list += (list.empty() ? "" : ", ") + std::string(*f);
    }
    return list;
}

std::string Flags(std::uint32_t flags) {
    std::string words;
    const struct {
        std::uint32_t bit;
        const char* name;
    } known[] = {{CLAP_PARAM_IS_STEPPED, "stepped"},
                 {CLAP_PARAM_IS_ENUM, "enum"},
                 {CLAP_PARAM_IS_AUTOMATABLE, "automatable"},
                 {CLAP_PARAM_IS_MODULATABLE, "modulatable"},
                 {CLAP_PARAM_IS_HIDDEN, "hidden"},
                 {CLAP_PARAM_IS_READONLY, "read-only"},
                 {CLAP_PARAM_IS_BYPASS, "bypass"}};
    for (const auto& k : known) {
        if (flags & k.bit) {
            words += (words.empty() ? "" : " ") + std::string(k.name);
        }
    }
    return words;
}

void PrintPlugin(const ClapModule& module, const clap_plugin_descriptor& d) {
    std::printf("\nplug-in:     %s\n", Text(d.id).c_str());
    std::printf("name:        %s\n", Text(d.name).c_str());
    std::printf("vendor:      %s\n", Text(d.vendor).c_str());
    std::printf("version:     %s\n", Text(d.version).c_str());
    std::printf("description: %s\n", Text(d.description).c_str());
    std::printf("features:    %s\n", Features(d).c_str());
    std::string error;
    auto plugin = ClapHostedPlugin::Create(module, d.id, &error);
    if (!plugin) {
        std::printf("  (%s)\n", error.c_str());
        return;
    }
    std::printf("channels:    %d in, %d out%s\n", plugin->InputChannels(), plugin->OutputChannels(),
                plugin->Supports64Bits() ? ", 32 or 64-bit" : ", 32-bit");
    std::printf("extensions:  params %s, state %s, gui %s\n", plugin->Params() ? "yes" : "no",
                plugin->State() ? "yes" : "no", plugin->Gui() ? "yes" : "no");
    std::vector<std::uint8_t> state;
    if (plugin->State() && plugin->SaveState(&state)) {
        std::printf("state:       %zu bytes\n", state.size());
    }
    std::printf("parameters (%d):\n", plugin->NumParams());
    for (int i = 0; i < plugin->NumParams(); ++i) {
        const clap_param_info& info = plugin->ParamInfos()[size_t(i)];
        std::printf("  %4u  %-12s %-8s %g..%g, default %g  %s\n", unsigned(info.id), info.name,
                    ("\"" + plugin->ParamDisplay(i) + "\"").c_str(), info.min_value, info.max_value,
                    info.default_value, Flags(info.flags).c_str());
    }
}

} // namespace

int RunClapInfo(const std::string& path, const std::string& pluginId) {
    std::string error;
    const auto module = ClapModule::Load(path, &error);
    std::string chosen;
    if (!module || (!pluginId.empty() && !module->ChoosePlugin(pluginId, &chosen, &error))) {
        std::fprintf(stderr, "kvx-host: %s\n", error.c_str());
        return 1;
    }
    const auto descriptors = module->Descriptors();
    std::printf("module:      %s (CLAP, %zu plug-in%s)\n", path.c_str(), descriptors.size(),
                descriptors.size() == 1 ? "" : "s");
    for (const clap_plugin_descriptor* d : descriptors) {
        if (chosen.empty() || chosen == d->id) {
            PrintPlugin(*module, *d);
        }
    }
    return 0;
}
