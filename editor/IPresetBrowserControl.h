#pragma once
// A preset browser in the editor: the pattern preset box or the chord-memory
// bank box. It shows the current name ("------" until one is chosen); a
// click opens the browser's menu tree (categories, styles, files), whose
// choice loads the file, and its last item saves the current preset or bank
// under a new name. Without persistence it shows the name and opens nothing.

#include "editor/ICustomTextControl.h"
#include "editor/PresetSaveDialog.h"
#include "graphics/IPopupMenu.h"

#include <memory>

namespace sorel {

class CommonPresetHandler;
class PluginPersistence;

class IPresetBrowserControl : public ICustomTextControl {
public:
    using Kind = PresetSaveDialog::Kind;
    // The tag of the save item; the tree's ids are never negative.
    static constexpr int kSaveTag = -1;

    IPresetBrowserControl(ControlContext& context, const IRECT& rect, BitmapFont& font, PluginPersistence* persistence,
                          Kind kind);

    void OnMouseDown(int x, int y, const IMouseMod& mod) override;
    // Takes the browser's current name, which a loading thread may change.
    void ShowCurrentName();
    // The browser's tree as a menu, the current file ticked, the save item last.
    IPopupMenu BuildMenu() const;

private:
    CommonPresetHandler* Browser() const;

    PluginPersistence* persistence_;
    Kind kind_;
    std::unique_ptr<PresetSaveDialog> saveDialog_;
};

}  // namespace sorel
