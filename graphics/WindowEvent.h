#pragma once
// One input or window event as the window host, the popup menu and the text
// field read it: the native event translated once, into plain values.

#include "graphics/IMouseMod.h"
#include "graphics/IRECT.h"

#include <cstdint>

namespace sorel {

struct WindowEvent {
    enum class Type {
        kNone,       // nothing any reader needs (a keyboard remapping already served)
        kExpose,     // `area` needs to be shown again
        kDestroyed,  // the window went (with its parent)
        kConfigured, // the window was moved or sized, by us or by the host
        kButtonPress,
        kButtonRelease,
        kMotion,
        kEnter,
        kLeave,
        kKeyPress,
        kKeyRelease,
        kFocusIn,
        kFocusOut,
        kOther,      // any other kind; only its window is read
    };
    // The keys the editor, the menu and the text field tell apart.
    enum class Key { kOther, kSpace, kReturn, kEscape, kBackSpace, kDelete, kLeft, kRight, kUp, kDown, kHome, kEnd };

    static constexpr int kLeftButton = 1;
    static constexpr int kRightButton = 3;
    static constexpr int kWheelUp = 4;
    static constexpr int kWheelDown = 5;

    Type type = Type::kNone;
    uint64_t window = 0;   // the window it happened in
    int x = 0, y = 0;      // device pixels in that window
    int rootX = 0, rootY = 0;
    IRECT area;            // kExpose
    bool lastExpose = true;  // no further kExpose of the same window follows at once
    int button = 0;          // kButtonPress, kButtonRelease: 1 left, 2 middle, 3 right, 4/5 wheel
    IMouseMod mod;           // buttons held (and the one pressed or released) and modifier keys
    bool buttonHeld = false; // any of the three buttons held before the event
    uint64_t time = 0;       // milliseconds, the server's clock
    Key key = Key::kOther;
    char keyBase = 0;         // the key's own digit or lower-case letter, without the modifiers
    unsigned char character = 0;  // the Latin-1 character the key types, 0 for none
    bool focusLasting = true;     // kFocusOut: not for a grab's while nor to a child
    // What it takes to give a key back to the native window system unchanged.
    unsigned keyCode = 0;
    unsigned nativeState = 0;
};

}  // namespace sorel
