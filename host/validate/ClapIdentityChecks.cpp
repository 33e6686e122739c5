#include "host/validate/Validation.h"

#include <cmath>
#include <cstring>

void CheckClapIdentity(Validation& v) {
    auto plugin = v.NewClapPlugin("clap identity: instantiate");
    if (!plugin) {
        return;
    }
    const clap_plugin_descriptor* d = plugin->Plugin()->desc;
    int features = 0;
    for (const char* const* f = d && d->features ? d->features : nullptr; f && *f; ++f) {
        ++features;
    }
    const bool described = d && d->id && *d->id && d->name && *d->name && features > 0 &&
                           ClapVersionIsCompatible(d->clap_version);
    v.Report("clap identity: descriptor", described,
             described ? Figure("\"%s\" (%s), %d features", d->name, d->id, features)
                       : "missing id, name or features");
    v.Report("clap identity: audio ports", plugin->OutputChannels() > 0,
             Figure("%d in, %d out", plugin->InputChannels(), plugin->OutputChannels()));

    const clap_plugin* p = plugin->Plugin();
    const char* unknown[] = {"kvx.no-such-extension", "clap.params.draft/0", "", "clap.param"};
    bool nulls = true;
    for (const char* id : unknown) {
        nulls = nulls && p->get_extension(p, id) == nullptr;
    }
    v.Report("clap identity: unknown extension IDs give NULL", nulls,
             Figure("%zu IDs", std::size(unknown)));

    if (!plugin->Params()) {
        v.Skip("clap identity: parameter infos", "no params extension");
        return;
    }
    bool sound = true;
    std::string problem;
    for (const clap_param_info& info : plugin->ParamInfos()) {
        const bool ok = info.id != CLAP_INVALID_ID && std::isfinite(info.min_value) &&
                        std::isfinite(info.max_value) && info.min_value <= info.max_value &&
                        info.default_value >= info.min_value &&
                        info.default_value <= info.max_value &&
                        std::memchr(info.name, 0, sizeof info.name);
        if (!ok && sound) {
            sound = false;
            problem = Figure("parameter %u", unsigned(info.id));
        }
    }
    v.Report("clap identity: parameter infos", sound,
             sound ? Figure("%d parameters", plugin->NumParams()) : problem);

    // Each value's text reads back as a value with the same text, and texts fit the buffer.
    bool roundTrips = true;
    std::string example;
    for (int i = 0; i < plugin->NumParams(); ++i) {
        const clap_param_info& info = plugin->ParamInfos()[size_t(i)];
        for (double n : {0.0, 0.25, 0.5, 1.0}) {
            const double value = plugin->PlainOf(i, n);
            char small[8];
            std::memset(small, 0x5A, sizeof small);
            plugin->Params()->value_to_text(p, info.id, value, small, 4);
            const bool bounded = std::memchr(small, 0, 4) != nullptr && small[4] == 0x5A;
            const std::string text = plugin->ValueText(i, value);
            double back = 0.0;
            const bool parsed = plugin->Params()->text_to_value(p, info.id, text.c_str(), &back);
            const bool same = parsed && plugin->ValueText(i, back) == text;
            if ((!same || !bounded) && roundTrips) {
                roundTrips = false;
                example = Figure("%s at %g: \"%s\"%s", info.name, value, text.c_str(),
                                 bounded ? " does not read back" : " overflows a short buffer");
            }
        }
    }
    if (roundTrips) {
        v.Report("clap identity: texts read back as their values", true,
                 Figure("%d parameters at 0, 0.25, 0.5, 1", plugin->NumParams()));
    } else {
        // Many plug-ins show units or rounded numbers they do not parse: hosts cope.
        v.Warn("clap identity: texts read back as their values", example);
    }
}
