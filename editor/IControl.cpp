#include "editor/IControl.h"

#include "editor/ControlContext.h"
#include "frame/Parameter.h"

#include <algorithm>

namespace sorel {

IControl::IControl(ControlContext& context, const IRECT& rect, int paramIdx)
    : rect_(rect), context_(context), targetRect_(rect) {
    Bind(paramIdx);
}

void IControl::Bind(int paramIdx) {
    const Parameter* param = context_.GetParam(paramIdx);
    paramIdx_ = param ? paramIdx : kNoParameter;
    if (param) SetValueFromPlug(param->Normalized());
}

const Parameter* IControl::Param() const { return context_.GetParam(paramIdx_); }

void IControl::OnMouseDown(int x, int y, const IMouseMod& mod) {
    Notify(x, y, IObserverInterface::kMouseDown, mod);
    if (mod.R) PromptForValue(x, y);
}

void IControl::OnMouseUp(int x, int y, const IMouseMod& mod) { Notify(x, y, IObserverInterface::kMouseUp, mod); }

void IControl::OnMouseDblClick(int x, int y, const IMouseMod& mod) {
    Notify(x, y, IObserverInterface::kDoubleClick, mod);
    if (defaultValue_ >= 0.0) {
        value_ = defaultValue_;
        SetDirty(true);
    }
}

void IControl::OnMouseWheel(int x, int y, const IMouseMod& mod, int notches) {
    const Parameter* p = Param();
    if (p && p->MovesInWholeSteps()) {
        // A share of the range would round to nothing on a control of few steps.
        const double plain = p->ShownValue(p->FromNormalized(value_)) + notches * p->Step();
        value_ = p->ToNormalized(std::clamp(plain, p->Minimum(), p->Maximum()));
    } else {
        value_ += notches * ((mod.C || mod.S) ? kFineWheelStep : kWheelStep);
    }
    SetDirty(true);
}

void IControl::SetValueFromPlug(double value) {
    if (value_ == value) return;
    value_ = value;
    SetDirty(false);
}

void IControl::Hide(bool hide) {
    hidden_ = hide;
    redraw_ = true;
    SetDirty(false);
}

void IControl::GrayOut(bool gray) {
    grayed_ = gray;
    blend_.weight = gray ? kGrayedWeight : 1.0f;
    SetDirty(false);
}

void IControl::MoveTo(int x, int y) {
    const int dx = x - rect_.L, dy = y - rect_.T;
    rect_ = {rect_.L + dx, rect_.T + dy, rect_.R + dx, rect_.B + dy};
    targetRect_ = {targetRect_.L + dx, targetRect_.T + dy, targetRect_.R + dx, targetRect_.B + dy};
    SetDirty(false);
}

bool IControl::IsHit(int x, int y) const { return targetRect_ != IRECT{} && targetRect_.Contains(x, y); }

void IControl::MarkDirty() {
    value_ = std::clamp(value_, clampLo_, clampHi_);
    dirty_ = true;
    SetChanged(true);
}

void IControl::SetDirty(bool pushToPlug) {
    MarkDirty();
    if (pushToPlug && paramIdx_ >= 0) context_.SetParameterFromGUI(paramIdx_, value_);
}

bool IControl::SetClean() {
    const bool wasForced = redraw_;
    dirty_ = redraw_;
    redraw_ = false;
    return wasForced;
}

IRECT IControl::PromptRECT(int x, int y) const {
    const int left = promptAtMouseX_ ? x : rect_.L, top = promptAtMouseY_ ? y : rect_.T;
    return {left, top, left + rect_.W(), top + rect_.H()};
}

void IControl::SetValueFromText(std::string_view text) {
    const Parameter* p = Param();
    double plain = 0.0;
    if (!p || !p->ValueForText(text, plain)) return;
    value_ = p->ToNormalized(plain);
    SetDirty(true);
}

void IControl::PromptForValue(int x, int y) {
    if (paramIdx_ >= 0 && !promptDisabled_) context_.PromptForValue(*this, x, y);
}

void IControl::OpenMenu(int x, int y) {
    if (menuParamIdx_ >= 0) context_.OpenControlMenu(*this, x, y);
}

}  // namespace sorel
