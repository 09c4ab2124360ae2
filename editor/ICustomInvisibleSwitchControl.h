#pragma once
// The editor's own invisible switch (the about-box trigger, the web link):
// it tells its observers of every press, which is all it is there for.

#include "editor/IInvisibleSwitchControl.h"

namespace sorel {

class ICustomInvisibleSwitchControl : public IInvisibleSwitchControl {
public:
    using IInvisibleSwitchControl::IInvisibleSwitchControl;

    void OnMouseDown(int x, int y, const IMouseMod& mod) override;
    void OnMouseUp(int x, int y, const IMouseMod& mod) override;
};

}  // namespace sorel
