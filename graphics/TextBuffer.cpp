#include "graphics/TextBuffer.h"

#include <algorithm>

namespace sorel {
namespace {

constexpr unsigned char kFirstPrintable = 0x20;
constexpr unsigned char kDelete = 0x7F;
constexpr unsigned char kFirstLatin1Printable = 0xA0;  // after the C1 controls

}  // namespace

bool TextBuffer::PrintableLatin1(unsigned char c) {
    return (c >= kFirstPrintable && c < kDelete) || c >= kFirstLatin1Printable;
}

TextBuffer::TextBuffer(std::string text, int maxLength, Accepts accepts)
    : text_(std::move(text)), maxLength_(size_t(std::max(0, maxLength))), accepts_(std::move(accepts)) {
    if (text_.size() > maxLength_) text_.resize(maxLength_);
    caret_ = text_.size();
}

void TextBuffer::Press(WindowEvent::Key key, unsigned char character) {
    using Key = WindowEvent::Key;
    switch (key) {
    case Key::kBackSpace: EraseSelectionOr(int(caret_) - 1, int(caret_)); return;
    case Key::kDelete: EraseSelectionOr(int(caret_), int(caret_) + 1); return;
    // Out of the selection, Left and Home go to its start, Right and End to its end.
    case Key::kLeft: MoveCaret(allSelected_ || caret_ == 0 ? 0 : caret_ - 1); return;
    case Key::kRight: MoveCaret(allSelected_ ? text_.size() : caret_ + 1); return;
    case Key::kHome: MoveCaret(0); return;
    case Key::kEnd: MoveCaret(text_.size()); return;
    default: break;
    }
    if (character != 0 && accepts_ && accepts_(character)) Insert(character);
}

void TextBuffer::MoveCaret(size_t to) {
    caret_ = std::min(to, text_.size());
    allSelected_ = false;
}

void TextBuffer::EraseSelectionOr(int from, int to) {
    if (allSelected_) {
        text_.clear();
        caret_ = 0;
        allSelected_ = false;
        return;
    }
    from = std::clamp(from, 0, int(text_.size()));
    to = std::clamp(to, from, int(text_.size()));
    text_.erase(size_t(from), size_t(to - from));
    caret_ = size_t(from);
}

void TextBuffer::Insert(unsigned char c) {
    if (allSelected_) EraseSelectionOr(0, 0);
    if (text_.size() >= maxLength_) return;
    text_.insert(caret_, 1, static_cast<char>(c));
    ++caret_;
}

}  // namespace sorel
