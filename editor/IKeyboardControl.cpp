#include "editor/IKeyboardControl.h"

#include "editor/ControlContext.h"
#include "engine/ChordMemoryBank.h"
#include "graphics/IGraphics.h"

namespace sorel {

namespace {
constexpr IColor kNoteFill{215, 106, 166, 236};
constexpr IColor kNoteOutline{250, 0, 0, 0};
constexpr int kLitLedFrame = 1;
}  // namespace

IKeyboardControl::IKeyboardControl(ControlContext& context, const IRECT& rect, ChordMemoryBank* store,
                                   const IBitmap& baseLed)
    : IControl(context, rect), store_(store), baseLed_(baseLed) {}

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

void IKeyboardControl::ReadSlot() {
    const ChordSlot* slot = store_ ? store_->Slot(store_->Selected()) : nullptr;
    std::bitset<kKeys> notes;
    int base = kNoKey;
    if (slot) {
        for (int note : slot->Notes())
            if (note >= 0 && note < kKeys) notes.set(static_cast<std::size_t>(note));
        if (slot->Base() >= 0 && slot->Base() < kKeys) base = slot->Base();
    }
    if (notes == notes_ && base == base_) return;
    notes_ = notes;
    base_ = base;
    SetDirty(false);
}

void IKeyboardControl::ToggleNote(int key) {
    Context().WithEngine([&] {
        if (ChordSlot* slot = store_ ? store_->Slot(store_->Selected()) : nullptr) {
            if (!slot->RemoveNote(key)) slot->AddNote(key);
        }
        ReadSlot();
    });
}

void IKeyboardControl::SetBase(int key) {
    Context().WithEngine([&] {
        if (ChordSlot* slot = store_ ? store_->Slot(store_->Selected()) : nullptr) slot->SetBase(key);
        ReadSlot();
    });
}

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
