// What a right-click menu was opened on: the parameter of the clicked control
// (a step's for the pattern view, -1 for none) and the key area, pattern and
// lane shown then. The chosen item acts on these even when the selection
// moved while the menu was open.
#pragma once

namespace sorel {

struct MenuTarget {
    int parameter = -1;
    int area = 0;
    int pattern = 0;
    int lane = 0;
};

}  // namespace sorel
