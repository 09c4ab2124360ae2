#pragma once
// The ground of the scene cells: lights the column of the scene step that is
// playing (blinking while the scene runs), draws a bar under the steps the
// scene uses, and sets the scene's last step by a click on its column; a
// right click opens its step menu ("Undo", "Redo").

#include "editor/IControl.h"

namespace sorel {

class SceneView : public IControl {
public:
    static constexpr int kSteps = 16;
    static constexpr int kCellWidth = 18;
    static constexpr int kBlinkPeriod = 14;  // redraws; lit for the first half

    // What the engine holds of the shown key area's scene, read under the lock.
    struct SceneLook {
        bool on = false;
        int playing = 0;
        int end = kSteps - 1;
        constexpr bool operator==(const SceneLook&) const = default;
    };

    SceneView(ControlContext& context, const IRECT& rect);

    void OnMouseDown(int x, int y, const IMouseMod& mod) override;
    void Draw(IGraphics& graphics) override;
    bool IsDirty() const override { return IControl::IsDirty() || look_.on; }
    // The step menu opens under the scene step column clicked.
    IRECT PromptRECT(int x, int y) const override;

    void SetKeyArea(int area);
    void ShowScene(const SceneLook& look);
    // The scene step column under x, or -1.
    int ColumnAt(int x) const;

private:
    int area_ = 0;
    SceneLook look_;
    int blink_ = 0;
};

}  // namespace sorel
