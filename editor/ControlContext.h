#pragma once
// What a control needs of the editor that holds it: the parameters it is
// bound to, the way to change them, and the prompts and menus of the window.

#include "graphics/IPopupMenu.h"
#include "graphics/IRECT.h"

#include <functional>
#include <string>

namespace sorel {

class EditorModel;
class IControl;
class IGraphics;
class Parameter;
class BitmapFont;

class ControlContext {
public:
    virtual ~ControlContext() = default;

    // Nothing for an index outside the table.
    virtual const Parameter* GetParam(int index) const = 0;
    // Changes the parameter as the user does, under the plug-in lock.
    virtual void SetParameterFromGUI(int index, double normalized) = 0;
    // The value prompt of the control's own parameter for a click at (x, y):
    // a menu of its display texts, or a text field; the control says where.
    virtual void PromptForValue(IControl& control, int x, int y) = 0;
    // The control's right-click menu (its menu parameter's display texts)
    // for a click at (x, y); the control says where it opens.
    virtual void OpenControlMenu(IControl& control, int x, int y) = 0;
    // Puts a menu before the user at the lower-left corner of `under` (above
    // it where the screen ends below) and returns the choice; none when
    // nothing was chosen.
    virtual IPopupChoice ShowMenu(const IPopupMenu& menu, const IRECT& under) = 0;
    // Opens a text field over `rect` holding `text` (any characters, at most
    // maxLength); `done` hears at a later timer tick whether it was committed,
    // and the text. A field opened meanwhile drops this one's `done`.
    using TextDone = std::function<void(bool committed, const std::string& text)>;
    virtual void AskForText(const IRECT& rect, const std::string& text, int maxLength, TextDone done) = 0;
    // Replaces the text of the status line.
    virtual void SetStatusText(std::string text) = 0;
    // Runs `work` with the engine to itself (under the plug-in lock).
    virtual void WithEngine(const std::function<void()>& work) = 0;
    // What the editor edits (the tool and the step selection may be read
    // without the lock), and the way to select steps start..end in it;
    // a step outside 0..31 clears the selection.
    virtual const EditorModel& Model() const = 0;
    virtual void SelectSteps(int start, int end) = 0;
};

}  // namespace sorel
