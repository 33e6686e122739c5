// A shared library that loads but is no VST 2.x plug-in: it exports neither VSTPluginMain nor main.

extern "C" __attribute__((visibility("default"))) int KvxNotAPlugin() {
    return 42;
}
