// The LV2 UI module's entry points: an ui:X11UI that opens the plug-in's own
// editor on the instance (instance-access). No exception crosses into the
// host: each entry catches everything and answers as a UI that did nothing.
#include <lv2/ui/ui.h>

#include <memory>
#include <string_view>

#include "module/lv2/Lv2Ports.h"
#include "module/lv2/ui/Lv2Ui.h"
#include "module/lv2/ui/Lv2UiFeatures.h"

namespace sorel::lv2 {
namespace {

Lv2Ui* Ui(LV2UI_Handle handle) { return static_cast<Lv2Ui*>(handle); }

LV2UI_Handle Instantiate(const LV2UI_Descriptor*, const char* pluginUri, const char*, LV2UI_Write_Function write,
                         LV2UI_Controller controller, LV2UI_Widget* widget, const LV2_Feature* const* features) {
    try {
        if (!pluginUri || std::string_view(pluginUri) != kPluginUri) return nullptr;
        const Lv2UiFeatures found = Lv2UiFeatures::Read(features);
        if (!found.Complete()) return nullptr;
        auto ui = std::make_unique<Lv2Ui>(found, write, controller);
        if (!ui->Open()) return nullptr;
        if (widget) *widget = reinterpret_cast<LV2UI_Widget>(ui->Window());
        return ui.release();
    } catch (...) {
        return nullptr;
    }
}

void Cleanup(LV2UI_Handle handle) {
    try {
        std::unique_ptr<Lv2Ui> owned(Ui(handle));
    } catch (...) {
    }
}

// The editor reads the plug-in's values itself: the host's port news tell it nothing new.
void PortEvent(LV2UI_Handle, uint32_t, uint32_t, uint32_t, const void*) {}

int Idle(LV2UI_Handle handle) {
    try {
        if (handle) Ui(handle)->Idle();
    } catch (...) {
    }
    return 0;  // the window lives until the host cleans the UI up
}

const LV2UI_Idle_Interface kIdleInterface{&Idle};

const void* ExtensionData(const char* uri) {
    if (uri && std::string_view(uri) == LV2_UI__idleInterface) return &kIdleInterface;
    return nullptr;
}

const LV2UI_Descriptor kDescriptor{kUiUri, &Instantiate, &Cleanup, &PortEvent, &ExtensionData};

}  // namespace
}  // namespace sorel::lv2

extern "C" __attribute__((visibility("default"))) const LV2UI_Descriptor* lv2ui_descriptor(uint32_t index) {
    return index == 0 ? &sorel::lv2::kDescriptor : nullptr;
}
