// What the host hands the UI when it makes one: the parent window, the
// plug-in instance (instance-access) and the optional resize and touch
// functions. Read once, in instantiate.
#pragma once

#include <lv2/core/lv2.h>
#include <lv2/ui/ui.h>

#include <cstdint>

namespace sorel::lv2 {

struct Lv2UiFeatures {
    static Lv2UiFeatures Read(const LV2_Feature* const* features);

    // Both are needed: the editor opens inside the parent and works on the
    // plug-in object directly.
    bool Complete() const { return parent != 0 && instance != nullptr; }

    uintptr_t parent = 0;
    LV2_Handle instance = nullptr;
    const LV2UI_Resize* resize = nullptr;
    const LV2UI_Touch* touch = nullptr;
};

}  // namespace sorel::lv2
