#pragma once
// What a control reports to those watching it: presses, releases and double
// clicks that are not (only) parameter changes.

#include "graphics/IMouseMod.h"

namespace sorel {

class ISubject;

class IObserverInterface {
public:
    enum Event : int { kMouseDown = 0, kMouseUp = 1, kDoubleClick = 2 };

    virtual ~IObserverInterface() = default;
    virtual void OnNotify(ISubject& subject, int x, int y, int event, const IMouseMod& mod) = 0;
};

}  // namespace sorel
