#pragma once
// What a one-line text entry holds and how keys edit it: the Latin-1 text,
// the caret, whether all of it is selected (as it is when the entry opens),
// the length limit and the characters it lets through.

#include "graphics/WindowEvent.h"

#include <functional>
#include <string>

namespace sorel {

class TextBuffer {
public:
    using Accepts = std::function<bool(unsigned char)>;

    // Every printable Latin-1 character (names).
    static bool PrintableLatin1(unsigned char c);

    // `text` is cut to maxLength; the caret stands at its end, all selected.
    TextBuffer(std::string text, int maxLength, Accepts accepts = PrintableLatin1);

    // An editing key (backspace, delete, the caret keys) or a typed
    // character; typing over the selection replaces it. Other keys and
    // characters it does not accept change nothing.
    void Press(WindowEvent::Key key, unsigned char character);

    const std::string& Text() const { return text_; }
    size_t Caret() const { return caret_; }
    bool AllSelected() const { return allSelected_; }

private:
    void MoveCaret(size_t to);
    void EraseSelectionOr(int from, int to);
    void Insert(unsigned char c);

    std::string text_;
    size_t maxLength_;
    Accepts accepts_;
    size_t caret_ = 0;
    bool allSelected_ = true;
};

}  // namespace sorel
