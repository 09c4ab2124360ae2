// The LV2 module's entry points: one binding around one assembled core per
// instance. No exception crosses into the host: each entry catches
// everything and answers as a plug-in that did nothing.
#include <lv2/core/lv2.h>
#include <lv2/state/state.h>

#include <memory>
#include <string_view>

#include "module/PluginAssembly.h"
#include "module/lv2/IPlugLV2.h"
#include "module/lv2/Lv2Ports.h"

namespace sorel {
namespace {

IPlugLV2* Plugin(LV2_Handle handle) { return static_cast<IPlugLV2*>(handle); }

LV2_Handle Instantiate(const LV2_Descriptor*, double sampleRate, const char*, const LV2_Feature* const* features) {
    try {
        return std::make_unique<IPlugLV2>(sampleRate, features, &AssemblePlugin).release();
    } catch (...) {
        return nullptr;
    }
}

void ConnectPort(LV2_Handle handle, uint32_t port, void* data) { Plugin(handle)->ConnectPort(port, data); }

void Activate(LV2_Handle handle) {
    try {
        Plugin(handle)->Activate();
    } catch (...) {
    }
}

void Run(LV2_Handle handle, uint32_t frames) {
    try {
        Plugin(handle)->Run(frames);
    } catch (...) {
    }
}

void Deactivate(LV2_Handle) {}

void Cleanup(LV2_Handle handle) {
    try {
        std::unique_ptr<IPlugLV2> owned(Plugin(handle));
    } catch (...) {
    }
}

LV2_State_Status Save(LV2_Handle handle, LV2_State_Store_Function store, LV2_State_Handle state, uint32_t,
                      const LV2_Feature* const*) {
    try {
        return Plugin(handle)->Save(store, state);
    } catch (...) {
        return LV2_STATE_ERR_UNKNOWN;
    }
}

LV2_State_Status Restore(LV2_Handle handle, LV2_State_Retrieve_Function retrieve, LV2_State_Handle state, uint32_t,
                         const LV2_Feature* const*) {
    try {
        return Plugin(handle)->Restore(retrieve, state);
    } catch (...) {
        return LV2_STATE_ERR_UNKNOWN;
    }
}

const LV2_State_Interface kStateInterface{&Save, &Restore};

LV2_Worker_Status Work(LV2_Handle handle, LV2_Worker_Respond_Function, LV2_Worker_Respond_Handle, uint32_t,
                       const void*) {
    try {
        return Plugin(handle)->Work();
    } catch (...) {
        return LV2_WORKER_ERR_UNKNOWN;
    }
}

// Nothing comes back to the audio thread: the core applies a loaded preset itself.
LV2_Worker_Status WorkResponse(LV2_Handle, uint32_t, const void*) { return LV2_WORKER_SUCCESS; }

const LV2_Worker_Interface kWorkerInterface{&Work, &WorkResponse, nullptr};

const void* ExtensionData(const char* uri) {
    if (std::string_view(uri) == LV2_STATE__interface) return &kStateInterface;
    if (std::string_view(uri) == LV2_WORKER__interface) return &kWorkerInterface;
    return nullptr;
}

const LV2_Descriptor kDescriptor{lv2::kPluginUri, &Instantiate, &ConnectPort, &Activate, &Run,
                                 &Deactivate,     &Cleanup,     &ExtensionData};

}  // namespace
}  // namespace sorel

extern "C" __attribute__((visibility("default"))) const LV2_Descriptor* lv2_descriptor(uint32_t index) {
    return index == 0 ? &sorel::kDescriptor : nullptr;
}
