#pragma once
// A momentary button: pressed while the mouse button is down.

#include "editor/IBitmapControl.h"

namespace sorel {

class IContactControl : public IBitmapControl {
public:
    using IBitmapControl::IBitmapControl;

    void OnMouseDown(int x, int y, const IMouseMod& mod) override;
    void OnMouseUp(int x, int y, const IMouseMod& mod) override;
    void OnMouseDblClick(int x, int y, const IMouseMod& mod) override { OnMouseDown(x, y, mod); }
};

}  // namespace sorel
