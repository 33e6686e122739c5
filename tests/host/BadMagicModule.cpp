// A module whose entry returns a record without the VstP magic: a host must refuse it and never
// call through its pointers.

#include "plugin/VstAbi.h"

extern "C" __attribute__((visibility("default"))) AEffect* VSTPluginMain(AudioMasterCallback) {
    static AEffect notAnEffect{};
    notAnEffect.magic = 0x4E6F7450; // 'NotP'
    return &notAnEffect;
}
