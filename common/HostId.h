#pragma once

#include <cstdint>

// The host program the plug-in runs in, recognised from its product string.
using HostId = std::int32_t;

enum HostCodes : HostId {
    kHostNotAsked = -1,
    kHostUnknown = 0,
    kHostReaper = 1,
    kHostCubase = 3,
    kHostNuendo = 4,
    kHostSonar = 5,
    kHostFL = 7,
    kHostSamplitude = 8,
    kHostAbletonLive = 9,
    kHostMelodyne = 12,
    kHostVSTScanner = 13,
    kHostAULab = 14,
    kHostForte = 15,
    kHostChainer = 16,
    kHostAudition = 17,
    kHostOrion = 18,
    kHostSAWStudio = 20,
    kHostLogic = 21,
    kHostDigitalPerformer = 22,
};
