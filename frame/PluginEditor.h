// What the plug-in asks of an editor. The plug-in runs without one; the
// module's assembly attaches one when the editor library is there.
#pragma once

#include <cstdint>

namespace sorel {

class PluginEditor {
public:
    virtual ~PluginEditor() = default;

    virtual bool OpenWindow(void* parentWindow) = 0;
    virtual void CloseWindow() = 0;
    virtual void Size(int& width, int& height) const = 0;
    // The open window's id, 0 when none is open.
    virtual uint64_t WindowId() const = 0;
    // A button that only changes the window ("Box info", "Box settings",
    // "Resize") was set: show it. Buttons and menus that change the engine
    // act in the plug-in (EditorActions), window or not. Called under the
    // plug-in lock, never on the audio thread.
    virtual void PerformAction(int parameterIndex, double value) = 0;
    // Redraw every control from its parameter (after a state was set).
    virtual void RefreshAll() = 0;
};

}  // namespace sorel
