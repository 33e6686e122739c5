// Older Linux hosts look the plug-in's entry up under the name main. (Windows builds export the
// same alias through the module definition file.)

#include "plugin/VstAbi.h"

extern "C" AEffect* VSTPluginMain(AudioMasterCallback host);

extern "C" KVX_EXPORT AEffect* EntryUnderTheNameMain(AudioMasterCallback host) __asm__("main");
AEffect* EntryUnderTheNameMain(AudioMasterCallback host) {
    return VSTPluginMain(host);
}
