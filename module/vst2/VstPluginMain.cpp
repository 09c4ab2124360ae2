// The VST 2 module's entry points: one binding around one assembled core.
#include "module/PluginAssembly.h"
#include "module/vst2/IPlugVST.h"

extern "C" {

__attribute__((visibility("default"))) AEffect* VSTPluginMain(audioMasterCallback host) {
    return sorel::CreateEffect(host, &sorel::AssemblePlugin);
}

// Older hosts look for "main"; a C++ function cannot carry that name itself.
__attribute__((visibility("default"))) AEffect* SorelLegacyMain(audioMasterCallback host) __asm__("main");
AEffect* SorelLegacyMain(audioMasterCallback host) { return VSTPluginMain(host); }

}  // extern "C"
