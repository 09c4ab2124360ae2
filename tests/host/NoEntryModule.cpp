// A shared object that is no VST 2 plug-in: it exports neither VSTPluginMain nor main.
extern "C" __attribute__((visibility("default"))) int sorelHostTestNotAPlugin() { return 42; }
