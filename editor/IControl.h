#pragma once
// The base of every editor control: a rectangle bound (optionally) to one
// parameter, drawn from its normalised value and moved by the mouse. A
// control that the user moves writes its parameter back; one that the plug-in
// moves only stores the value and waits to be redrawn.

#include "editor/ISubject.h"
#include "graphics/IChannelBlend.h"
#include "graphics/IMouseMod.h"
#include "graphics/IRECT.h"
#include "graphics/IText.h"

#include <string_view>

namespace sorel {

class ControlContext;
class IGraphics;
class Parameter;

class IControl : public ISubject {
public:
    static constexpr int kNoParameter = -1;
    static constexpr double kNoDefault = -1.0;
    static constexpr double kWheelStep = 0.01;
    static constexpr double kFineWheelStep = 0.001;
    // Ctrl or Shift gears a drag down this many times, for fine moves.
    static constexpr double kFineDragFactor = 10.0;
    static constexpr float kGrayedWeight = 0.25f;

    IControl(ControlContext& context, const IRECT& rect, int paramIdx = kNoParameter);
    ~IControl() override = default;
    IControl(const IControl&) = delete;
    IControl& operator=(const IControl&) = delete;

    // Takes the value a typed text names (see ParameterInfo::ValueForText) and
    // hands it to the parameter; a text that names none changes nothing.
    void SetValueFromText(std::string_view text);
    virtual void OnMouseDown(int x, int y, const IMouseMod& mod);
    virtual void OnMouseUp(int x, int y, const IMouseMod& mod);
    virtual void OnMouseDrag(int x, int y, int dx, int dy, const IMouseMod& mod) {}
    virtual void OnMouseDblClick(int x, int y, const IMouseMod& mod);
    virtual void OnMouseWheel(int x, int y, const IMouseMod& mod, int notches);
    virtual bool OnKeyDown(int x, int y, int key) { return false; }
    virtual void OnMouseOver(int x, int y, const IMouseMod& mod) {}
    virtual void OnMouseOut() {}
    virtual void Draw(IGraphics& graphics) = 0;
    // Stores a value that the plug-in holds; never writes it back.
    virtual void SetValueFromPlug(double value);
    virtual IRECT GetRECT() const { return rect_; }
    // The area a redraw must cover.
    virtual IRECT GetDrawRECT() const { return rect_; }
    virtual void Hide(bool hide);
    virtual void GrayOut(bool gray);
    // Left and top inclusive, right and bottom exclusive; never for an all-zero target.
    virtual bool IsHit(int x, int y) const;
    // Keeps the value in range and marks the control for redrawing; what a
    // control redraws besides is its own.
    virtual void MarkDirty();
    // MarkDirty, and with pushToPlug (the user moved the control) the value goes to its parameter.
    void SetDirty(bool pushToPlug);
    // Returns whether a forced redraw was pending.
    virtual bool SetClean();
    virtual bool IsDirty() const { return dirty_; }

    // Points the control at another parameter (or none) and shows its value.
    void Bind(int paramIdx);
    int ParamIdx() const { return paramIdx_; }
    const Parameter* Param() const;
    int MenuParamIdx() const { return menuParamIdx_; }
    // The parameter that "MIDI learn" and the like of a menu opened by a
    // click at (x, y) act on.
    virtual int MenuParameterAt(int x, int y) const { return paramIdx_; }
    void SetMenuParamIdx(int index) { menuParamIdx_ = index; }

    double Value() const { return value_; }
    void SetValue(double value) { value_ = value; }
    double DefaultValue() const { return defaultValue_; }
    void SetDefaultValue(double value) { defaultValue_ = value; }
    void SetClamp(double lo, double hi) {
        clampLo_ = lo;
        clampHi_ = hi;
    }
    bool IsHidden() const { return hidden_; }
    bool IsGrayed() const { return grayed_; }
    void SetTargetRECT(const IRECT& target) { targetRect_ = target; }
    // Moves the rectangle and the target area so that the rectangle's top-left corner is (x, y).
    void MoveTo(int x, int y);
    IRECT TargetRECT() const { return targetRect_; }
    void DisablePrompt(bool disabled) { promptDisabled_ = disabled; }
    void SetPromptAtMouse(bool atX, bool atY) {
        promptAtMouseX_ = atX;
        promptAtMouseY_ = atY;
    }
    // What a prompt or menu for a click at (x, y) belongs to: a menu opens at
    // its lower-left corner, so that it covers neither it nor the click, and a
    // text field over it. The rectangle's left (top) edge is the mouse's where
    // the control says so.
    virtual IRECT PromptRECT(int x, int y) const;
    // The button a click at (x, y) lands on in a control made of buttons; -1 for none.
    virtual int ButtonAt(int x, int y) const { return -1; }
    IText& TextStyle() { return text_; }

protected:
    ControlContext& Context() { return context_; }
    const ControlContext& Context() const { return context_; }
    const IChannelBlend& Blend() const { return blend_; }
    // The value prompt of the own parameter, when there is one and prompts are allowed.
    void PromptForValue(int x, int y);
    void OpenMenu(int x, int y);
    void ForceRedraw() { redraw_ = true; }
    // The share of the range that a drag of `moved` pixels over `span` pixels
    // moves: a drag over the whole span moves 1 / gearing of it.
    static double DragShare(int moved, double span, double gearing, const IMouseMod& mod) {
        return (moved / span) / ((mod.C || mod.S) ? gearing * kFineDragFactor : gearing);
    }

    IRECT rect_;

private:
    ControlContext& context_;
    bool dirty_ = true;
    IText text_;
    IRECT targetRect_;
    int paramIdx_ = kNoParameter;
    int menuParamIdx_ = kNoParameter;
    double value_ = 0.0;
    double defaultValue_ = kNoDefault;
    double clampLo_ = 0.0;
    double clampHi_ = 1.0;
    bool grayed_ = false;
    bool redraw_ = false;
    bool promptDisabled_ = false;
    bool promptAtMouseX_ = false;
    bool promptAtMouseY_ = false;
    bool hidden_ = false;
    IChannelBlend blend_{IChannelBlend::kBlendNone, 1.0f};
};

}  // namespace sorel
