#pragma once
// Sorel's editor: the window's controls, each bound to its parameter, drawn
// into an off-screen canvas and shown by the window host. Nothing is built
// until the editor first opens (or is built for drawing without a window);
// from then on the controls live as long as the plug-in.
//
// Threads: PluginEditor calls come from the host's threads; WindowClient
// calls from the window host's thread (or the caller, without a window). The
// controls are touched only there; news from the other threads arrives
// through the port's EditorLink, the engine's snapshot and a few atomics,
// taken by OnTimer.

#include "editor/ControlBinding.h"
#include "editor/ControlContext.h"
#include "editor/Skin.h"
#include "frame/editing/MenuTarget.h"
#include "frame/EngineSnapshot.h"
#include "frame/PluginEditor.h"
#include "graphics/IBitmap.h"
#include "graphics/WindowClient.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace sorel {

class BitmapFont;
class EditorComposer;
class EditorPort;
struct FontResource;
class IBitmapControl;
class ICustomRadioButtonsControl;
class IControl;
class IGraphics;
class IKeyboardControl;
class InfoControl;
class ILoopSelectionControl;
class IPresetBrowserControl;
class ITextControl;
class PatternView;
class PluginPersistence;
class SceneView;
class SettingsControl;
class UIEventHandler;
class WindowHost;
struct EditorEvent;

class VardoEditor : public PluginEditor, public WindowClient, public ControlContext {
public:
    static constexpr int kWidth = 1000;
    static constexpr int kFullHeight = 565;
    static constexpr int kCompactHeight = 432;
    // Timer ticks an incoming-note indicator stays lit.
    static constexpr int kNoteInTicks = 29;
    // More dirty controls than this in a tick are drawn as one area.
    static constexpr std::size_t kMostDirtyAreas = 8;

    // Without persistence the browsers show names only.
    explicit VardoEditor(std::unique_ptr<EditorPort> port, PluginPersistence* persistence = nullptr);
    ~VardoEditor() override;

    // PluginEditor (host threads)
    bool OpenWindow(void* parentWindow) override;
    void CloseWindow() override;
    void Size(int& width, int& height) const override;
    uint64_t WindowId() const override;
    void PerformAction(int parameterIndex, double value) override;
    void RefreshAll() override;

    // WindowClient (the editor thread)
    void OnMouseDown(int x, int y, const IMouseMod& mod) override;
    void OnMouseUp(int x, int y, const IMouseMod& mod) override;
    void OnMouseDrag(int x, int y, int dx, int dy, const IMouseMod& mod) override;
    bool OnMouseDblClick(int x, int y, const IMouseMod& mod) override;
    bool OnMouseOver(int x, int y, const IMouseMod& mod) override;
    void OnMouseOut() override;
    void OnMouseWheel(int x, int y, const IMouseMod& mod, int notches) override;
    // Ctrl+Z undoes the last edit, Ctrl+Shift+Z redoes it; other keys are the host's.
    bool OnKeyDown(int x, int y, int key, const IMouseMod& mod) override;
    void OnTimer() override;
    IRECT DirtyArea() override;
    void DirtyAreas(std::vector<IRECT>& areas) override;
    void DrawArea(const IRECT& area) override;
    IGraphics& Canvas() override;
    void OnTextEntryDone(bool committed, const std::string& text) override;

    // ControlContext (the editor thread)
    const Parameter* GetParam(int index) const override;
    void SetParameterFromGUI(int index, double normalized) override;
    void PromptForValue(IControl& control, int x, int y) override;
    void OpenControlMenu(IControl& control, int x, int y) override;
    void WithEngine(const std::function<void()>& work) override;
    const EditorModel& Model() const override;
    void SelectSteps(int start, int end) override;
    IPopupChoice ShowMenu(const IPopupMenu& menu, const IRECT& under) override;
    void AskForText(const IRECT& rect, const std::string& text, int maxLength, TextDone done) override;
    // Replaces the status text (the editor thread); an open window shows it at once.
    void SetStatusText(std::string text) override;

    // Who answers menus while no window is open (a test or tool playing the
    // user), told the menu's top-left corner; without one such menus choose nothing. A text field asked for
    // without a window waits for OnTextEntryDone as the window host calls it.
    using MenuPresenter = std::function<IPopupChoice(const IPopupMenu& menu, int x, int y)>;
    void SetMenuPresenter(MenuPresenter presenter) { menuPresenter_ = std::move(presenter); }

    // The status line shows what the parameter's control does and its value now.
    void ShowHint(int index);
    void ToggleAboutBox() { pending_.fetch_or(kToggleAbout); }
    // Keeps the scale for the next open; an open window takes it at once when the host accepts the new size.
    void SetGuiScale(int scale);

    // Builds the controls (once) at the plug-in's GUI scale without opening a
    // window; the editor thread (or, with no window, the caller) owns them
    // from then on. An open at another scale builds them again.
    void BuildControls();
    bool IsBuilt() const { return canvas_ != nullptr; }
    // Places the controls by this skin text instead of the carried one, from
    // the next build on; ignored while a window is open. A skin that lacks
    // entries keeps the editor from being built or opened.
    void UseSkin(std::string text);
    // The topmost visible control under (x, y), or null.
    IControl* ControlAt(int x, int y) const;
    const std::vector<std::unique_ptr<IControl>>& Controls() const { return controls_; }
    const EditorSelection& Selection() const { return selection_; }
    const Skin& Layout() const { return skin_; }
    // The skin entries the controls were placed by, so that a tool can walk the composition.
    const std::set<int>& ComposedSkinEntries() const { return composedSkins_; }
    int ScaleFactor() const { return scale_; }

private:
    friend class EditorComposer;

    struct BoundControl {
        IControl* control;
        ControlBinding binding;
        bool restoresDefault;
    };
    enum PendingAction : unsigned { kToggleAbout = 1, kToggleInfo = 2, kToggleSettings = 4, kToggleHeight = 8, kRescale = 16 };

    // --- used by the composer ---
    IControl& Attach(std::unique_ptr<IControl> control, ControlBinding binding = {}, bool restoresDefault = false);
    IBitmap& Background() { return background_; }
    // One of the fonts of kEditorFonts.
    BitmapFont& Font(const FontResource& font);

    void BuildControls(int scale);
    // Back to the state before the first build; the panels' visibility is kept.
    void DropControls();
    void HandleEvent(const EditorEvent& event);
    void ShowParameter(int index, double normalized);
    void FollowSelection();
    void RebindAll();
    void RefreshFromPlug();
    void ReadEngineState();
    void ApplyPendingActions();
    void SetHidden(IControl* control, bool hidden);
    void ToggleHeight();
    void ToggleAbout();
    // Opening one of the two panels closes the other.
    void ToggleInfoPanel();
    void ToggleSettingsPanel();
    void Rescale();
    void DecayNoteIndicators();
    void ShowSendOnlyCaptions();
    void ShowBoxAuthor();
    void ShowRateKnob();
    void ShowTool();
    IRECT WholeControlsAround(IRECT area) const;
    // A mouse gesture is one step of the edit history, from the press to the release.
    void BeginGesture(const IControl& control);
    void EndGesture();
    void UndoOrRedo(bool redo);
    // "Undo" and "Redo" at the top of the step menus.
    void AddHistoryItems(IPopupMenu& menu);
    // The key area, pattern, lane and parameter that a menu opened by a click at (x, y) acts on.
    MenuTarget MenuTargetAt(const IControl& control, int x, int y) const;

    std::unique_ptr<EditorPort> port_;
    PluginPersistence* persistence_;
    std::unique_ptr<UIEventHandler> uiEvents_;
    std::atomic<int> height_{kFullHeight};
    std::atomic<unsigned> pending_{0};
    std::atomic<bool> refreshPending_{false};
    int scale_ = 1;                  // the canvas's
    std::atomic<int> openScale_{0};  // the open window's, 0 while none is open

    mutable std::mutex windowMutex_;  // open and close; never the plug-in lock's
    std::unique_ptr<WindowHost> window_;

    std::unique_ptr<IGraphics> canvas_;
    Skin skin_;
    std::set<int> composedSkins_;
    std::optional<std::string> skinText_;  // none: the carried skin resource
    std::vector<std::unique_ptr<BitmapFont>> fonts_;
    IBitmap background_;
    std::vector<std::unique_ptr<IControl>> controls_;  // drawing order
    std::vector<BoundControl> bound_;
    EditorSelection selection_;
    uint32_t droppedSeen_ = 0;
    EngineSnapshot engine_;  // the engine as the last block left it
    IRECT pendingArea_;   // uncovered by controls that were hidden

    IControl* capture_ = nullptr;
    IControl* pressed_ = nullptr;  // by the last press
    bool pressClosed_ = false;     // the last press hid its control
    bool gestureOpen_ = false;
    IControl* hover_ = nullptr;
    TextDone textDone_;  // the open text field's
    MenuPresenter menuPresenter_;

    // Controls the editor feeds with more than a parameter.
    std::array<IBitmapControl*, 4> noteIndicators_{};
    std::array<int, 4> noteInTicks_{};
    std::array<ITextControl*, 2> sendOnlyCaptions_{};
    // The note lanes' tabs, then the controller lanes'.
    static constexpr std::size_t kControllerLaneTabs = 1;
    std::array<ICustomRadioButtonsControl*, 2> laneTabs_{};
    ITextControl* status_ = nullptr;
    std::array<IPresetBrowserControl*, 2> browsers_{};  // pattern presets, chord banks
    ITextControl* boxAuthor_ = nullptr;
    static constexpr uint64_t kNoBoxInfoSeen = ~uint64_t{0};
    uint64_t boxInfoSeen_ = kNoBoxInfoSeen;
    IControl* rateKnob_ = nullptr;
    IControl* freeRateKnob_ = nullptr;
    IBitmapControl* aboutBox_ = nullptr;
    InfoControl* infoPanel_ = nullptr;
    SettingsControl* settingsPanel_ = nullptr;
    ILoopSelectionControl* loop_ = nullptr;
    IKeyboardControl* keyboard_ = nullptr;
    PatternView* patternView_ = nullptr;
    SceneView* sceneView_ = nullptr;
};

std::unique_ptr<PluginEditor> MakeVardoEditor(std::unique_ptr<EditorPort> port, PluginPersistence* persistence);

}  // namespace sorel
