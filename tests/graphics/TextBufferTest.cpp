// The text entry's editing, key by key, without a window.
#include "graphics/TextBuffer.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstring>

namespace sorel {
namespace {

using Key = WindowEvent::Key;

bool IsDigit(unsigned char c) { return std::isdigit(c) != 0; }

// "{L}" "{R}" "{H}" "{E}" "{BS}" "{DEL}" "{UP}" press those keys; any other byte is typed.
void Play(TextBuffer& buffer, const std::string& keys) {
    static const std::pair<const char*, Key> kNamed[] = {{"{L}", Key::kLeft},     {"{R}", Key::kRight},
                                                         {"{H}", Key::kHome},     {"{E}", Key::kEnd},
                                                         {"{BS}", Key::kBackSpace}, {"{DEL}", Key::kDelete},
                                                         {"{UP}", Key::kUp}};
    for (size_t at = 0; at < keys.size();) {
        bool named = false;
        for (const auto& [token, key] : kNamed) {
            if (keys.compare(at, std::strlen(token), token) != 0) continue;
            buffer.Press(key, 0);
            at += std::strlen(token);
            named = true;
            break;
        }
        if (!named) buffer.Press(Key::kOther, static_cast<unsigned char>(keys[at++]));
    }
}

TEST(TextBufferTest, KeysEditTheTextAsTyped) {
    const struct {
        const char* start;
        int maxLength;
        bool digitsOnly;
        const char* keys;
        const char* text;
        size_t caret;
        bool allSelected;
    } kCases[] = {
        {"C 2", 16, false, "", "C 2", 3, true},               // opens all selected
        {"C 2", 16, false, "D#3", "D#3", 3, false},           // typing replaces the selection
        {"C 2", 16, false, "{BS}", "", 0, false},             // so do backspace ...
        {"C 2", 16, false, "{DEL}", "", 0, false},            // ... and delete
        {"12", 16, false, "{L}7", "712", 1, false},           // Left leaves the selection at its start
        {"12", 16, false, "{R}7", "127", 3, false},           // Right at its end
        {"abcd", 16, false, "{H}{R}{DEL}", "acd", 1, false},  // delete takes the character after the caret
        {"abcd", 16, false, "{E}{L}{BS}", "abd", 2, false},   // backspace the one before
        {"ab", 16, false, "{H}{BS}{L}", "ab", 0, false},      // nothing before the start
        {"ab", 16, false, "{E}{DEL}{R}", "ab", 2, false},     // nor after the end
        {"ac", 16, false, "{H}{R}b", "abc", 2, false},        // typed at the caret
        {"ab", 16, false, "{UP}", "ab", 2, true},             // other keys change nothing
        {"12", 4, false, "345678", "3456", 4, false},         // up to the length limit
        {"abc", 4, false, "{E}de{H}f", "abcd", 0, false},     // also in the middle
        {"abcdef", 3, false, "", "abc", 3, true},             // a longer text is cut
        {"12", 16, true, "4x5", "45", 2, false},              // rejected characters are not typed
        {"12", 16, true, "x", "12", 2, true},                 // and leave the selection
        {"", 16, false, "\xe9t\xe9 \xff", "\xe9t\xe9 \xff", 5, false},  // Latin-1
        {"", 16, false, "a\x01\x7f\x9f" "b", "ab", 2, false},  // control characters are not
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(std::string(c.start) + " + " + c.keys);
        TextBuffer buffer(c.start, c.maxLength, c.digitsOnly ? TextBuffer::Accepts(IsDigit) : TextBuffer::PrintableLatin1);
        Play(buffer, c.keys);
        EXPECT_EQ(buffer.Text(), c.text);
        EXPECT_EQ(buffer.Caret(), c.caret);
        EXPECT_EQ(buffer.AllSelected(), c.allSelected);
    }
}

}  // namespace
}  // namespace sorel
