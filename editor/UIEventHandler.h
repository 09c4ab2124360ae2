#pragma once
// Turns presses of a few controls into editor actions, told apart by their
// kind tags: the hint of a control on right click, the about box, the web
// link, key-area solo, and the double-size switch of the settings panel.

#include "editor/IObserverInterface.h"

namespace sorel {

class EditorPort;
class VardoEditor;

class UIEventHandler : public IObserverInterface {
public:
    static constexpr int kTagHint = 4;          // right click shows the hint
    static constexpr int kTagAbout = 5;         // the about box and its trigger area
    static constexpr int kTagLink = 11;         // the web link area
    static constexpr int kTagAreaSwitch = 12;   // "Keyarea on/off": Ctrl-click solos the key area
    static constexpr int kTagDoubleSize = 13;   // the settings panel's "Double size editor"
    static constexpr const char* kWebAddress = "https://vardo.example/sorel";

    UIEventHandler(VardoEditor& editor, EditorPort& port);

    void OnNotify(ISubject& subject, int x, int y, int event, const IMouseMod& mod) override;

private:
    // The other key areas go off while this one is on, and all back on when it goes off.
    void SoloKeyArea(int parameterIndex, double normalized);

    VardoEditor& editor_;
    EditorPort& port_;
};

}  // namespace sorel
