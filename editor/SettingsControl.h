#pragma once
// The global settings panel: "GLOBAL SETTINGS" over a column of on/off
// switches, one row each, with their labels. It starts hidden; the "Box
// settings" button shows it, and a click anywhere on it but on a switch
// closes it again. The switches are controls of their own, drawn over the
// panel and shown and hidden with it.

#include "editor/BitmapFont.h"
#include "editor/ITextControl.h"

#include <functional>
#include <string>
#include <vector>

namespace sorel {

class SettingsControl : public ITextControl {
public:
    static constexpr int kRowHeight = 30;
    static constexpr int kLabelOffset = 30;  // from the inner left edge to a label
    static constexpr const char* kTitle = "GLOBAL SETTINGS";

    // `toggle` asks the editor to show or hide the panel.
    SettingsControl(ControlContext& context, const IRECT& rect, BitmapFont& font, std::function<void()> toggle);

    // Where the next item's control goes: below the title, a row further down each time.
    int NextItemX() const;
    int NextItemY() const;
    // Moves the control to the next row and keeps it hidden while the panel is.
    void AddItem(IControl& control, std::string label);
    int ItemCount() const { return static_cast<int>(items_.size()); }
    int Height() const { return height_; }

    void Hide(bool hide) override;
    void OnMouseDown(int x, int y, const IMouseMod& mod) override;
    void Draw(IGraphics& graphics) override;

private:
    struct Item {
        IControl* control;
        std::string label;
    };

    void Measure();

    BitmapFont& font_;
    std::function<void()> toggle_;
    std::vector<TextLine> title_;
    std::vector<Item> items_;
    int height_ = 0;
};

}  // namespace sorel
