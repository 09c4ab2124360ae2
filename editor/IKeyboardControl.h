#pragma once
// The chord-memory keyboard: three octaves of 16-pixel keys showing the
// notes of the selected chord-memory slot. A click on a key's upper part
// toggles its note; a click or drag along the strip below sets the slot's
// base note. The slot lives in the engine and changes on other threads, so
// the editor has the keyboard read it again at every timer tick.

#include "editor/IControl.h"
#include "graphics/IBitmap.h"

#include <bitset>
#include <cstdint>

namespace sorel {

class EngineEdits;

class IKeyboardControl : public IControl {
public:
    static constexpr int kKeys = 36;
    static constexpr int kKeyWidth = 16;
    static constexpr int kUpperBottom = 31;  // rows 0..30
    static constexpr int kStripTop = 32;     // rows 32..37
    static constexpr int kStripBottom = 38;
    static constexpr int kNoKey = -1;

    IKeyboardControl(ControlContext& context, const IRECT& rect, EngineEdits& engine, const IBitmap& baseLed);

    void OnMouseDown(int x, int y, const IMouseMod& mod) override;
    void OnMouseDrag(int x, int y, int dx, int dy, const IMouseMod& mod) override;
    void OnMouseDblClick(int x, int y, const IMouseMod& mod) override { OnMouseDown(x, y, mod); }
    void Draw(IGraphics& graphics) override;

    // Shows the selected slot's notes (one bit a key from the lowest) and base.
    void ShowSlot(uint64_t notes, int base);
    bool ShowsNote(int key) const { return key >= 0 && key < kKeys && notes_.test(static_cast<std::size_t>(key)); }
    int ShownBase() const { return base_; }
    static bool IsWhiteKey(int key);
    IRECT UpperRect(int key) const;
    IRECT StripRect(int key) const;

private:
    int KeyAt(int x) const;
    void ToggleNote(int key);
    void SetBase(int key);

    EngineEdits& engine_;
    IBitmap baseLed_;
    std::bitset<kKeys> notes_;
    int base_ = kNoKey;
};

}  // namespace sorel
