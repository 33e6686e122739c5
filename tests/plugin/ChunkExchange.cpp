// Saves or loads the plug-in's state through its exported entry, so that a state written by
// one build (64-bit or 32-bit) can be loaded by the other.
//   chunk_exchange save FILE   set distinctive values and write the bank chunk
//   chunk_exchange load FILE   load FILE, then check that saving again gives the same bytes

#include "host/HostedPlugin.h"
#include "host/PluginModule.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

const float kValues[] = {0.125f, 0.8125f, 0.0f, 1.0f, 0.3671875f, 0.0f, 1.0f};

int Fail(const std::string& message) {
    std::fprintf(stderr, "chunk_exchange: %s\n", message.c_str());
    return 1;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        return Fail("usage: chunk_exchange save|load FILE");
    }
    const std::string mode = argv[1];
    const std::string path = argv[2];
    std::string error;
    const LoadedPlugin loaded = LoadPlugin(DefaultModulePath(), &error);
    HostedPlugin* plugin = loaded.plugin.get();
    if (!plugin) {
        return Fail(error);
    }
    plugin->Open(44100.0, 512);

    if (mode == "save") {
        for (int i = 0; i < 7; ++i) {
            plugin->SetParameter(i, kValues[i]);
        }
        const auto chunk = plugin->GetChunk(true);
        std::ofstream out(path, std::ios::binary);
        out.write(reinterpret_cast<const char*>(chunk.data()), std::streamsize(chunk.size()));
        return out && chunk.size() == 64 ? 0 : Fail("cannot write " + path);
    }
    if (mode == "load") {
        std::ifstream in(path, std::ios::binary);
        const std::vector<unsigned char> chunk((std::istreambuf_iterator<char>(in)),
                                               std::istreambuf_iterator<char>());
        if (!plugin->SetChunk(chunk, true)) {
            return Fail("the plug-in refused " + path);
        }
        for (int i = 0; i < 7; ++i) {
            if (plugin->GetParameter(i) != kValues[i]) {
                return Fail("parameter " + std::to_string(i) + " did not load");
            }
        }
        return plugin->GetChunk(true) == chunk ? 0 : Fail("saving again changed the bytes");
    }
    return Fail("unknown mode " + mode);
}
