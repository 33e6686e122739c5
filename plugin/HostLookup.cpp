#include "plugin/HostLookup.h"

#include "common/TextCopy.h"
#include "common/Trace.h"
#include "plugin/IPlugBase.h"

#include <cstdio>
#include <cstring>

namespace {

struct KnownHost {
    const char* text;
    HostId code;
};

// Searched in this order: "cubase" wins over "nuendo", and "live" matches inside other words.
constexpr KnownHost kKnownHosts[] = {
    {"cubase", kHostCubase},
    {"reaper", kHostReaper},
    {"nuendo", kHostNuendo},
    {"cakewalk", kHostSonar},
    {"samplitude", kHostSamplitude},
    {"fruity", kHostFL},
    {"live", kHostAbletonLive},
    {"melodyne", kHostMelodyne},
    {"vstmanlib", kHostVSTScanner},
    {"aulab", kHostAULab},
    {"forte", kHostForte},
    {"chainer", kHostChainer},
    {"audition", kHostAudition},
    {"orion", kHostOrion},
    {"sawstudio", kHostSAWStudio},
    {"logic", kHostLogic},
    {"digital", kHostDigitalPerformer},
};

} // namespace

HostId LookUpHost(const char* product) {
    char lowered[256];
    CopyText(lowered, product, sizeof lowered);
    for (char* c = lowered; *c; ++c) {
        if (*c >= 'A' && *c <= 'Z') {
            *c = char(*c - 'A' + 'a');
        }
    }
    for (const KnownHost& host : kKnownHosts) {
        if (std::strstr(lowered, host.text)) {
            return host.code;
        }
    }
    return kHostUnknown;
}

void IPlugBase::SetHost(const char* product, std::int32_t packedVersion) {
    hostCode_ = LookUpHost(product);
    hostVersion_ = packedVersion;
    char versionText[32];
    std::snprintf(versionText, sizeof versionText, "v%d.%d", packedVersion >> 16,
                  (packedVersion >> 8) & 0xFF);
    Trace("IPlugBase::SetHost", 158, "host_%sknown:%s:%s", hostCode_ ? "" : "un", product,
          versionText);
}
