#include "module/lv2/ui/Lv2UiFeatures.h"

#include <lv2/instance-access/instance-access.h>

#include <string_view>

namespace sorel::lv2 {

Lv2UiFeatures Lv2UiFeatures::Read(const LV2_Feature* const* features) {
    Lv2UiFeatures found;
    for (const LV2_Feature* const* f = features; f && *f; ++f) {
        const std::string_view uri((*f)->URI ? (*f)->URI : "");
        void* data = (*f)->data;
        if (uri == LV2_UI__parent) found.parent = reinterpret_cast<uintptr_t>(data);
        else if (uri == LV2_INSTANCE_ACCESS_URI) found.instance = data;
        else if (uri == LV2_UI__resize) found.resize = static_cast<const LV2UI_Resize*>(data);
        else if (uri == LV2_UI__touch) found.touch = static_cast<const LV2UI_Touch*>(data);
    }
    // A function table without its function is no offer.
    if (found.resize && !found.resize->ui_resize) found.resize = nullptr;
    if (found.touch && !found.touch->touch) found.touch = nullptr;
    return found;
}

}  // namespace sorel::lv2
