#include "host/Commands.h"
#include "host/FileBytes.h"
#include "host/HostedPlugin.h"

#include <cstdio>

namespace {

int Usage() {
    std::fprintf(stderr, "usage: kvx-host chunk save [PLUGIN] -o FILE\n"
                         "       kvx-host chunk load [PLUGIN] -i FILE\n");
    return 2;
}

} // namespace

int RunChunk(const std::vector<std::string>& args) {
    if (args.empty() || (args[0] != "save" && args[0] != "load")) {
        return Usage();
    }
    const bool save = args[0] == "save";
    std::string path = DefaultModulePath();
    std::string file;
    for (size_t i = 1; i < args.size(); ++i) {
        if ((args[i] == "-o" && save) || (args[i] == "-i" && !save)) {
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

    std::string error;
    const LoadedPlugin loaded = LoadPlugin(path, &error);
    HostedPlugin* plugin = loaded.plugin.get();
    if (!plugin) {
        std::fprintf(stderr, "kvx-host: %s\n", error.c_str());
        return 1;
    }
    plugin->Open(44100.0, 512);

    if (save) {
        const std::vector<unsigned char> chunk = plugin->GetChunk(true);
        if (chunk.empty() || !WriteFileBytes(file, chunk)) {
            std::fprintf(stderr, "kvx-host: cannot write the state to %s\n", file.c_str());
            return 1;
        }
        std::printf("wrote %zu bytes of state to %s\n", chunk.size(), file.c_str());
        return 0;
    }
    std::vector<unsigned char> chunk;
    if (!ReadFileBytes(file, &chunk)) {
        std::fprintf(stderr, "kvx-host: cannot read %s\n", file.c_str());
        return 1;
    }
    if (!plugin->SetChunk(chunk, true)) {
        std::fprintf(stderr, "kvx-host: the plug-in refused the state in %s\n", file.c_str());
        return 1;
    }
    for (int i = 0; i < plugin->Effect()->numParams; ++i) {
        std::printf("%s=%s\n", plugin->ParamName(i).c_str(), plugin->ParamDisplay(i).c_str());
    }
    return 0;
}
