#include "graphics/XEventTranslation.h"

#include <X11/Xutil.h>
#include <X11/keysym.h>

namespace sorel {
namespace {

using Type = WindowEvent::Type;
using Key = WindowEvent::Key;

constexpr unsigned kAnyButtonMask = Button1Mask | Button2Mask | Button3Mask;

IMouseMod ModifiersOf(unsigned state, unsigned button) {
    IMouseMod mod;
    mod.L = (state & Button1Mask) || button == Button1;
    mod.R = (state & Button3Mask) || button == Button3;
    mod.S = state & ShiftMask;
    mod.C = state & ControlMask;
    mod.A = state & Mod1Mask;
    return mod;
}

Key KeyOf(KeySym symbol) {
    switch (symbol) {
    case XK_space: return Key::kSpace;
    case XK_Return:
    case XK_KP_Enter: return Key::kReturn;
    case XK_Escape: return Key::kEscape;
    case XK_BackSpace: return Key::kBackSpace;
    case XK_Delete: return Key::kDelete;
    case XK_Left: return Key::kLeft;
    case XK_Right: return Key::kRight;
    case XK_Up: return Key::kUp;
    case XK_Down: return Key::kDown;
    case XK_Home: return Key::kHome;
    case XK_End: return Key::kEnd;
    default: return Key::kOther;
    }
}

char KeyBaseOf(KeySym symbol) {
    if (symbol >= XK_0 && symbol <= XK_9) return char('0' + (symbol - XK_0));
    if (symbol >= XK_A && symbol <= XK_Z) return char('a' + (symbol - XK_A));
    if (symbol >= XK_a && symbol <= XK_z) return char('a' + (symbol - XK_a));
    return 0;
}

void ReadPointer(WindowEvent& out, int x, int y, int rootX, int rootY, unsigned state, unsigned button) {
    out.x = x;
    out.y = y;
    out.rootX = rootX;
    out.rootY = rootY;
    out.nativeState = state;
    out.mod = ModifiersOf(state, button);
    out.buttonHeld = (state & kAnyButtonMask) != 0;
}

void ReadButton(WindowEvent& out, const XButtonEvent& b) {
    out.type = b.type == ButtonPress ? Type::kButtonPress : Type::kButtonRelease;
    ReadPointer(out, b.x, b.y, b.x_root, b.y_root, b.state, b.button);
    out.button = int(b.button);
    out.time = b.time;
}

void ReadKey(WindowEvent& out, XKeyEvent& k) {
    out.type = k.type == KeyPress ? Type::kKeyPress : Type::kKeyRelease;
    ReadPointer(out, k.x, k.y, k.x_root, k.y_root, k.state, 0);
    out.time = k.time;
    out.keyCode = k.keycode;
    const KeySym base = XLookupKeysym(&k, 0);
    out.key = KeyOf(base);
    out.keyBase = KeyBaseOf(base);
    if (k.type != KeyPress) return;
    char typed[8] = {};
    if (XLookupString(&k, typed, sizeof typed, nullptr, nullptr) == 1) out.character = static_cast<unsigned char>(typed[0]);
}

void ReadCrossing(WindowEvent& out, const XCrossingEvent& c) {
    out.type = c.type == EnterNotify ? Type::kEnter : Type::kLeave;
    ReadPointer(out, c.x, c.y, c.x_root, c.y_root, c.state, 0);
}

}  // namespace

WindowEvent TranslateXEvent(XEvent& event) {
    WindowEvent out;
    out.window = event.xany.window;
    switch (event.type) {
    case MappingNotify: XRefreshKeyboardMapping(&event.xmapping); break;
    case Expose:
        out.type = Type::kExpose;
        out.area = {event.xexpose.x, event.xexpose.y, event.xexpose.x + event.xexpose.width,
                    event.xexpose.y + event.xexpose.height};
        out.lastExpose = event.xexpose.count == 0;
        break;
    case DestroyNotify: out.type = Type::kDestroyed; break;
    case ConfigureNotify: out.type = Type::kConfigured; break;
    case ButtonPress:
    case ButtonRelease: ReadButton(out, event.xbutton); break;
    case MotionNotify:
        out.type = Type::kMotion;
        ReadPointer(out, event.xmotion.x, event.xmotion.y, event.xmotion.x_root, event.xmotion.y_root,
                    event.xmotion.state, 0);
        break;
    case EnterNotify:
    case LeaveNotify: ReadCrossing(out, event.xcrossing); break;
    case KeyPress:
    case KeyRelease: ReadKey(out, event.xkey); break;
    case FocusIn: out.type = Type::kFocusIn; break;
    case FocusOut:
        out.type = Type::kFocusOut;
        out.focusLasting = event.xfocus.mode == NotifyNormal && event.xfocus.detail != NotifyInferior;
        break;
    default: out.type = Type::kOther; break;
    }
    return out;
}

XKeyEvent NativeKeyEvent(Display* display, const WindowEvent& key, Window window, Window subwindow) {
    XKeyEvent native{};
    native.type = key.type == Type::kKeyPress ? KeyPress : KeyRelease;
    native.display = display;
    native.window = window;
    native.root = DefaultRootWindow(display);
    native.subwindow = subwindow;
    native.time = Time(key.time);
    native.x = key.x;
    native.y = key.y;
    native.x_root = key.rootX;
    native.y_root = key.rootY;
    native.state = key.nativeState;
    native.keycode = key.keyCode;
    native.same_screen = True;
    return native;
}

}  // namespace sorel
