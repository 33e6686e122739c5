#include "host/validate/ClapRun.h"
#include "host/validate/Validation.h"

#include <cmath>

namespace {

std::vector<double> Values(ClapHostedPlugin& plugin) {
    std::vector<double> values;
    for (int i = 0; i < plugin.NumParams(); ++i) {
        values.push_back(plugin.ParamValue(i));
    }
    return values;
}

void Randomise(ClapHostedPlugin& plugin, std::mt19937& random) {
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    for (int i = 0; i < plugin.NumParams(); ++i) {
        plugin.SetParameter(i, unit(random));
    }
}

} // namespace

void CheckClapState(Validation& v) {
    auto plugin = v.NewClapPlugin("clap state: instantiate");
    if (!plugin) {
        return;
    }
    if (!plugin->State()) {
        v.Skip("clap state: round trip", "no state extension");
        return;
    }
    const std::uint32_t seed = v.NextCaseSeed();
    std::mt19937 random(seed);
    Randomise(*plugin, random);

    // The host's streams take and give a few bytes a call.
    std::vector<std::uint8_t> saved, again;
    const bool wrote = plugin->SaveState(&saved, 7) && plugin->SaveState(&again, 1);
    v.Report("clap state: saved in pieces, twice the same",
             wrote && !saved.empty() && saved == again,
             Figure("%zu bytes, 7 and 1 bytes a call", saved.size()));
    const std::vector<double> before = Values(*plugin);
    Randomise(*plugin, random);
    const bool loaded = plugin->LoadState(saved, 3);
    v.Report("clap state: loaded in pieces restores every value",
             loaded && Values(*plugin) == before, Figure("seed %u", unsigned(seed)));

    // Streams that fail half-way: the plug-in says so, and a failed load changes nothing.
    Randomise(*plugin, random);
    const std::vector<double> kept = Values(*plugin);
    std::vector<std::uint8_t> partial;
    const bool saveRefused = !plugin->SaveState(&partial, 5, (long long)saved.size() / 2);
    bool loadRefused = true;
    for (long long failAt : {0LL, 1LL, (long long)saved.size() / 2, (long long)saved.size() - 1}) {
        loadRefused = loadRefused && !plugin->LoadState(saved, 5, failAt);
    }
    const bool unchanged = Values(*plugin) == kept;
    if (saveRefused && loadRefused && unchanged) {
        v.Report("clap state: streams failing half-way", true,
                 "save and load return false, nothing changes");
    } else {
        v.Warn("clap state: streams failing half-way",
               Figure("save %s, load %s, values %s", saveRefused ? "refused" : "accepted",
                      loadRefused ? "refused" : "accepted", unchanged ? "kept" : "changed"));
    }

    // Hostile blobs: truncations of the real state, random bytes, and random bytes behind the
    // real state's first bytes. No crash; every value stays in range.
    std::vector<std::vector<std::uint8_t>> blobs;
    for (size_t n = 0; n < saved.size(); n += 3) {
        blobs.emplace_back(saved.begin(), saved.begin() + std::ptrdiff_t(n));
    }
    for (size_t n : {1u, 8u, 64u, 65u, 4096u, 1u << 20}) {
        std::vector<std::uint8_t> blob(n);
        for (auto& byte : blob) {
            byte = std::uint8_t(random());
        }
        blobs.push_back(blob);
        for (size_t i = 0; i < n && i < 8 && i < saved.size(); ++i) {
            blob[i] = saved[i];
        }
        blobs.push_back(blob);
    }
    bool ranged = true;
    for (const auto& blob : blobs) {
        plugin->LoadState(blob, 64);
        std::string problem;
        ranged = ranged && ValuesInRange(*plugin, &problem);
    }
    v.Report("clap state: hostile streams keep values in range", ranged,
             Figure("%zu blobs up to 1 MiB, seed %u", blobs.size(), unsigned(seed)));
}
