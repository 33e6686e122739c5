#include "host/validate/Validation.h"

#include <cmath>
#include <vector>

namespace {

void Randomise(HostedPlugin& plugin, std::mt19937& random) {
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    for (int i = 0; i < plugin.Effect()->numParams; ++i) {
        plugin.SetParameter(i, unit(random));
    }
}

bool InRange(const std::vector<float>& values) {
    for (float x : values) {
        if (!std::isfinite(x) || x < 0.0f || x > 1.0f) {
            return false;
        }
    }
    return true;
}

} // namespace

void CheckState(Validation& v) {
    auto plugin = v.NewPlugin("state: instantiate");
    if (!plugin) {
        return;
    }
    plugin->Open(44100.0, 512);
    const std::uint32_t seed = v.NextCaseSeed();
    std::mt19937 random(seed);
    Randomise(*plugin, random);

    for (bool bank : {true, false}) {
        const char* kind = bank ? "bank" : "program";
        const std::vector<unsigned char> chunk = plugin->GetChunk(bank);
        if (chunk.empty()) {
            v.Skip(std::string("state: ") + kind + " chunk round trip",
                   "the plug-in gives no chunk");
            continue;
        }
        const std::vector<float> before = ParameterValues(*plugin);
        const bool repeatable = plugin->GetChunk(bank) == chunk;
        v.Report(std::string("state: ") + kind + " chunk saved twice is identical", repeatable,
                 Figure("%zu bytes", chunk.size()));
        Randomise(*plugin, random);
        const bool accepted = plugin->SetChunk(chunk, bank);
        v.Report(std::string("state: ") + kind + " chunk restores every value",
                 accepted && ParameterValues(*plugin) == before, Figure("seed %u", unsigned(seed)));
    }

    // Hostile blobs: no crash, every value stays in range.
    std::vector<std::vector<unsigned char>> blobs;
    blobs.emplace_back();
    for (size_t n = 1; n <= 7; ++n) {
        std::vector<unsigned char> blob(n);
        for (auto& byte : blob) {
            byte = static_cast<unsigned char>(random());
        }
        blobs.push_back(blob);
        auto withMagic = blob;
        const unsigned char magic[] = {0x74, 0x66, 0x66, 0x70};
        for (size_t i = 0; i < n && i < 4; ++i) {
            withMagic[i] = magic[i];
        }
        blobs.push_back(withMagic);
    }
    for (int big = 0; big < 3; ++big) {
        std::vector<unsigned char> blob(1 << 20);
        for (auto& byte : blob) {
            byte = static_cast<unsigned char>(random());
        }
        if (big == 1) {
            blob[0] = 0x74, blob[1] = 0x66, blob[2] = 0x66, blob[3] = 0x70;
        }
        blobs.push_back(blob);
    }
    bool ranged = true;
    for (const auto& blob : blobs) {
        for (bool bank : {true, false}) {
            plugin->SetChunk(blob, bank);
            ranged = ranged && InRange(ParameterValues(*plugin));
        }
    }
    v.Report("state: random chunks keep values in range", ranged,
             Figure("%zu blobs up to 1 MiB, seed %u", blobs.size(), unsigned(seed)));
}
