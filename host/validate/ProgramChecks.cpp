#include "host/validate/Validation.h"

#include <vector>

void CheckPrograms(Validation& v) {
    auto plugin = v.NewPlugin("programs: instantiate");
    if (!plugin) {
        return;
    }
    plugin->Open(44100.0, 512);
    const int count = plugin->Effect()->numPrograms;
    std::vector<std::vector<float>> recorded;
    bool follows = true;
    for (int p = 0; p < count; ++p) {
        plugin->Dispatch(effSetProgram, 0, p);
        follows = follows && plugin->Dispatch(effGetProgram) == p;
        recorded.push_back(ParameterValues(*plugin));
    }
    v.Report("programs: select each", follows, Figure("%d programs", count));

    const std::uint32_t seed = v.NextCaseSeed();
    std::mt19937 random(seed);
    bool same = true;
    int steps = 0;
    for (int round = 0; round < 50 * v.Settings().repeat; ++round, ++steps) {
        const int p = int(random() % unsigned(count));
        plugin->Dispatch(effSetProgram, 0, p);
        same = same && plugin->Dispatch(effGetProgram) == p &&
               ParameterValues(*plugin) == recorded[size_t(p)];
    }
    v.Report("programs: random selections", same,
             Figure("%d selections, seed %u", steps, unsigned(seed)));
}
