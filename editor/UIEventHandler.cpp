#include "editor/UIEventHandler.h"

#include "editor/IControl.h"
#include "editor/VardoEditor.h"
#include "engine/ParameterIndex.h"
#include "frame/GlobalSettings.h"
#include "frame/EditorPort.h"
#include "graphics/OpenURL.h"

namespace sorel {

using namespace param;

UIEventHandler::UIEventHandler(VardoEditor& editor, EditorPort& port) : editor_(editor), port_(port) {}

void UIEventHandler::OnNotify(ISubject& subject, int x, int y, int event, const IMouseMod& mod) {
    const auto* control = dynamic_cast<const IControl*>(&subject);
    switch (subject.Tag()) {
        case kTagHint:
            if (event == kMouseDown && mod.R && control) editor_.ShowHint(control->ParamIdx());
            break;
        case kTagAbout:
            if (event == kMouseUp) editor_.ToggleAboutBox();
            break;
        case kTagLink:
            if (event == kMouseUp) OpenURL(kWebAddress);
            break;
        case kTagAreaSwitch:
            if (event == kMouseUp && mod.C && control) SoloKeyArea(control->ParamIdx(), control->Value());
            break;
        case kTagDoubleSize:
            if (event == kMouseDown && control) editor_.SetGuiScale(control->Value() >= 0.5 ? kTwiceGuiScale : kNormalGuiScale);
            break;
        default:
            break;
    }
}

void UIEventHandler::SoloKeyArea(int parameterIndex, double normalized) {
    const int area = parameterIndex - kKeyAreaOnOff;
    if (area < 0 || area >= kKeyAreas) return;
    const double others = normalized >= 0.5 ? 0.0 : 1.0;
    for (int other = 0; other < kKeyAreas; ++other)
        if (other != area) port_.SetParameterFromGUI(kKeyAreaOnOff + other, others);
}

}  // namespace sorel
