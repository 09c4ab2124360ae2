#include "editor/IKeyboardControl.h"

#include "editor/ControlContext.h"
#include "frame/EngineEdits.h"
#include "graphics/IGraphics.h"

namespace sorel {

namespace {
constexpr IColor kNoteFill{215, 106, 166, 236};
constexpr IColor kNoteOutline{250, 0, 0, 0};
constexpr int kLitLedFrame = 1;
}  // namespace

IKeyboardControl::IKeyboardControl(ControlContext& context, const IRECT& rect, EngineEdits& engine,
                                   const IBitmap& baseLed)
    : IControl(context, rect), engine_(engine), baseLed_(baseLed) {}

bool IKeyboardControl::IsWhiteKey(int key) {
    switch (((key % 12) + 12) % 12) {
        case 0: case 2: case 4: case 5: case 7: case 9: case 11: return true;
        default: return false;
    }
}

IRECT IKeyboardControl::UpperRect(int key) const {
    const int left = rect_.L + key * kKeyWidth;
    return {left, rect_.T, left + kKeyWidth, rect_.T + kUpperBottom};
}

IRECT IKeyboardControl::StripRect(int key) const {
    const int left = rect_.L + key * kKeyWidth;
    return {left, rect_.T + kStripTop, left + kKeyWidth, rect_.T + kStripBottom};
}

int IKeyboardControl::KeyAt(int x) const {
    if (x < rect_.L) return kNoKey;
    const int key = (x - rect_.L) / kKeyWidth;
    return key < kKeys ? key : kNoKey;
}

void IKeyboardControl::ShowSlot(uint64_t notes, int base) {
    std::bitset<kKeys> shown;
    for (int key = 0; key < kKeys; ++key)
        if (notes >> key & 1u) shown.set(static_cast<std::size_t>(key));
    if (base < 0 || base >= kKeys) base = kNoKey;
    if (shown == notes_ && base == base_) return;
    notes_ = shown;
    base_ = base;
    SetDirty(false);
}

void IKeyboardControl::ToggleNote(int key) { engine_.ToggleChordNote(key); }

void IKeyboardControl::SetBase(int key) { engine_.SetChordBase(key); }

void IKeyboardControl::OnMouseDown(int x, int y, const IMouseMod& mod) {
    const int key = KeyAt(x);
    if (key == kNoKey) return;
    if (UpperRect(key).Contains(x, y))
        ToggleNote(key);
    else if (StripRect(key).Contains(x, y))
        SetBase(key);
}

void IKeyboardControl::OnMouseDrag(int x, int y, int dx, int dy, const IMouseMod& mod) {
    const int key = KeyAt(x);
    if (key != kNoKey && key != base_ && StripRect(key).Contains(x, y)) SetBase(key);
}

void IKeyboardControl::Draw(IGraphics& graphics) {
    for (int key = 0; key < kKeys; ++key) {
        if (!ShowsNote(key)) continue;
        graphics.FillIRect(kNoteFill, UpperRect(key));
        graphics.DrawRect(kNoteOutline, UpperRect(key));
    }
    if (base_ != kNoKey) graphics.DrawBitmapFrame(baseLed_, StripRect(base_), kLitLedFrame, &Blend());
}

}  // namespace sorel
