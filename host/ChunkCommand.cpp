#include "host/ClapHostedPlugin.h"
#include "host/Commands.h"
#include "host/FileBytes.h"
#include "host/HostedPlugin.h"

#include <cstdio>
#include <functional>

namespace {

// Far above any plug-in's state, and within what a chunk's 32-bit size can say.
constexpr std::size_t kMaxChunkBytes = std::size_t(1) << 30;

int Usage() {
    std::fprintf(stderr, "usage: kvx-host chunk save [PLUGIN [--id ID]] -o FILE\n"
                         "       kvx-host chunk load [PLUGIN [--id ID]] -i FILE\n");
    return 2;
}

} // namespace

int RunChunk(const std::vector<std::string>& args) {
    if (args.empty() || (args[0] != "save" && args[0] != "load")) {
        return Usage();
    }
    const bool save = args[0] == "save";
    std::string path = DefaultModulePath();
    std::string file, pluginId;
    for (size_t i = 1; i < args.size(); ++i) {
        if (args[i] == "--id" && i + 1 < args.size()) {
            pluginId = args[++i];
        } else if ((args[i] == "-o" && save) || (args[i] == "-i" && !save)) {
            if (++i == args.size()) {
                return Usage();
            }
            file = args[i];
        } else if (!args[i].empty() && args[i][0] != '-') {
            path = args[i];
        } else {
            return Usage();
        }
    }
    if (file.empty()) {
        return Usage();
    }

    // The state as the host stores it: the VST 2.x bank chunk, or what a CLAP plug-in's state
    // extension writes (through streams that move a few bytes a call).
    std::string error;
    LoadedPlugin loaded;
    LoadedClapPlugin loadedClap;
    HostedParameters* params = nullptr;
    std::function<bool(std::vector<unsigned char>*)> saveState;
    std::function<bool(const std::vector<unsigned char>&)> loadState;
    if (IsClapPath(path)) {
        loadedClap = LoadClapPlugin(path, pluginId, &error);
        ClapHostedPlugin* plugin = loadedClap.plugin.get();
        params = plugin;
        saveState = [plugin](std::vector<unsigned char>* bytes) {
            return plugin->SaveState(bytes);
        };
        loadState = [plugin](const std::vector<unsigned char>& bytes) {
            return plugin->LoadState(bytes);
        };
    } else if (pluginId.empty()) {
        loaded = LoadPlugin(path, &error);
        HostedPlugin* plugin = loaded.plugin.get();
        if (plugin) {
            plugin->Open(44100.0, 512);
        }
        params = plugin;
        saveState = [plugin](std::vector<unsigned char>* bytes) {
            *bytes = plugin->GetChunk(true);
            return !bytes->empty();
        };
        loadState = [plugin](const std::vector<unsigned char>& bytes) {
            return plugin->SetChunk(bytes, true);
        };
    } else {
        return Usage();
    }
    if (!params) {
        std::fprintf(stderr, "kvx-host: %s\n", error.c_str());
        return 1;
    }

    if (save) {
        std::vector<unsigned char> chunk;
        if (!saveState(&chunk) || chunk.empty()) {
            std::fprintf(stderr, "kvx-host: the plug-in gave no state to write to %s\n",
                         file.c_str());
            return 1;
        }
        if (!WriteFileBytes(file, chunk, &error)) {
            std::fprintf(stderr, "kvx-host: %s\n", error.c_str());
            return 1;
        }
        std::printf("wrote %zu bytes of state to %s\n", chunk.size(), file.c_str());
        return 0;
    }
    std::vector<unsigned char> chunk;
    if (!ReadFileBytes(file, kMaxChunkBytes, &chunk, &error)) {
        std::fprintf(stderr, "kvx-host: %s\n", error.c_str());
        return 1;
    }
    if (!loadState(chunk)) {
        std::fprintf(stderr, "kvx-host: the plug-in refused the state in %s\n", file.c_str());
        return 1;
    }
    for (int i = 0; i < params->NumParams(); ++i) {
        std::printf("%s=%s\n", params->ParamName(i).c_str(), params->ParamDisplay(i).c_str());
    }
    return 0;
}
