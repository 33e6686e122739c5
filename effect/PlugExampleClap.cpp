// Kelvorantumix as CLAP hosts list it: the stereo plug-in, and one for a mono source (a guitar
// straight in) that comes out in stereo.

#include "plugin/IPlugCLAP.h"

namespace {

const char* const kStereoFeatures[] = {"audio-effect", "distortion", "stereo", nullptr};
const char* const kMonoFeatures[] = {"audio-effect", "distortion", "mono", nullptr};

const ClapOffer kOffers[] = {
    {"com.wexmoradine.kelvorantumix", "Kelvorantumix",
     "Guitar distortion stompbox with a three-band tone stack and a stereo reverb", 2, 2,
     kStereoFeatures},
    {"com.wexmoradine.kelvorantumix.mono-in", "Kelvorantumix (mono in)",
     "Guitar distortion stompbox for a mono source, with a stereo reverb", 1, 2, kMonoFeatures},
};

} // namespace

const ClapOffer* ClapOffers(int* count) {
    *count = int(sizeof kOffers / sizeof kOffers[0]);
    return kOffers;
}
