#include "frame/HostGesture.h"

#include <algorithm>

#include "frame/PluginCore.h"
#include "frame/PluginHost.h"

namespace sorel {

bool HostGesture::StandsForHostParameter(int index) const { return core_.HostIndexOfTable(index) >= 0; }

bool HostGesture::Touched(int index) const {
    return std::find(touched_.begin(), touched_.begin() + touchedCount_, index) != touched_.begin() + touchedCount_;
}

void HostGesture::Touch(int index) {
    if (!open_ || !StandsForHostParameter(index) || Touched(index)) return;
    // At most one entry per host parameter at a time; a full list means the
    // gesture touched every one of them.
    if (touchedCount_ == static_cast<int>(touched_.size())) return;
    touched_[touchedCount_++] = index;
    host_.BeginParameterEdit(index);
}

void HostGesture::Report(int index, double normalized) {
    if (!StandsForHostParameter(index)) {
        host_.ReportParameterEdit(index, normalized);
        return;
    }
    if (open_) {
        Touch(index);
        host_.ReportParameterEdit(index, normalized);
        return;
    }
    host_.BeginParameterEdit(index);
    host_.ReportParameterEdit(index, normalized);
    host_.EndParameterEdit(index);
}

void HostGesture::Close() {
    for (int i = 0; i < touchedCount_; ++i) host_.EndParameterEdit(touched_[i]);
    touchedCount_ = 0;
    open_ = false;
}

}  // namespace sorel
