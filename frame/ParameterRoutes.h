// Where a parameter change goes, whoever made it: the editor, the host, a
// learnt controller, a state load or the control zone. Every change takes the
// same way: the route of its index (kRouteTable) acts on it, and then the
// engine takes the value, unless the route keeps it from the engine. A route
// that acts only on someone's change is passed over when the whole table is
// re-applied (a fresh instance, a state load), so loading never presses a
// button or runs a menu item. Indices without a route go to the engine alone.
//
// The editor's model follows the parameters that choose what is edited
// through their routes, and the editor learns of a value through
// ShowInEditor, whichever way the value came.
#pragma once

#include <array>
#include <optional>

#include "frame/IPlugBase.h"
#include "frame/editing/MenuTarget.h"

namespace sorel {

class Vardo;
class EditorActions;
class ParameterRoutes;

// One change as its route's handler sees it.
struct RoutedChange {
    int index;
    double value;  // the plain value the engine plays
    bool acted;    // someone's change, not a re-apply of the table
};

struct ParameterRoute {
    int first;
    int count;
    void (ParameterRoutes::*handler)(const RoutedChange&);
    bool onlyOnChange;   // passed over when the table is re-applied
    bool reachesEngine;  // the engine takes the value after the handler
};

class ParameterRoutes {
public:
    static constexpr int kRouteCount = 27;
    static const std::array<ParameterRoute, kRouteCount> kRouteTable;
    // The route of an index; null for a value that goes to the engine alone.
    static const ParameterRoute* FindRoute(int index);

    explicit ParameterRoutes(Vardo& vardo) : vardo_(vardo) {}

    void OnParameterChanged(int index, double value, ChangeSource source);
    // A learnt controller's change comes on the audio thread: not an edit to undo.
    void OnEditFromGUI(int index, double before, double after);
    void ShowInEditor(int index, double normalized);
    // The parameter that chooses what the editor shows takes the engine's own
    // switch, and the model follows it through the parameter's route; the
    // engine is not asked a second time.
    void ShowEngineSelection(int index, double plain);
    // Tells the editor that values changed behind its controls.
    void ShowEditedValues();
    // An on/off parameter to its other value, as the user's change.
    void ToggleParameter(int index);
    // A global setting's effect in the engine and the frame.
    void ApplyGlobalSetting(int index, double value);

    // What the next menu choice acts on (see MenuTarget.h); a menu parameter
    // set without it acts on the current selection.
    void SetMenuTarget(const MenuTarget& target) { menuTarget_ = target; }
    void SetMenuTarget(int parameterIndex);

private:
    // A menu item, by the menu's parameter and the item's value.
    struct MenuItemRoute {
        int menu;
        int item;
        void (ParameterRoutes::*handler)(const MenuTarget&);
    };
    static const std::array<MenuItemRoute, 15> kMenuItemTable;

    EditorActions& Actions();
    void Route(const RoutedChange& change, bool toEngine);
    bool Pressed(const RoutedChange& change);

    // --- what the editor's model edits ---
    void SelectArea(const RoutedChange& change);
    void SelectPattern(const RoutedChange& change);
    void SelectNoteLane(const RoutedChange& change);
    void SelectControllerLane(const RoutedChange& change);
    void FollowTool(const RoutedChange& change);

    // --- the frame's own values ---
    void SetGlobalVolume(const RoutedChange& change);
    void SetTaughtController(const RoutedChange& change);
    void TeachController(const RoutedChange& change);
    void ApplyLock(const RoutedChange& change);
    void ChangeGlobalSetting(const RoutedChange& change);

    // --- buttons, momentary: each acts once as it goes down ---
    template <void (EditorActions::*Action)()>
    void PressTool(const RoutedChange& change);
    void PressChordTool(const RoutedChange& change);
    void PressPanic(const RoutedChange& change);
    void StepPreset(const RoutedChange& change);
    void StepChordBank(const RoutedChange& change);
    // Buttons that only change what the window shows, and its size switch.
    void PerformWindowAction(const RoutedChange& change);

    // --- menus: an item acts on the key area, pattern and lane its menu was
    // opened on, which the editor's model shows while the item runs ---
    void PerformMenu(const RoutedChange& change);
    template <void (EditorActions::*Action)()>
    void RunMenuItem(const MenuTarget& target);
    void BeginLearn(const MenuTarget& target);
    void UnlearnAll(const MenuTarget& target);
    void UnlearnParameter(const MenuTarget& target);
    void CopyStepToAll(const MenuTarget& target);
    void ToggleSendCc(const MenuTarget& target);
    void ToggleTriggerChordMemory(const MenuTarget& target);

    Vardo& vardo_;
    std::optional<MenuTarget> menuTarget_;
};

}  // namespace sorel
