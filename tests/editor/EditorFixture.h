// The plug-in linked into the test with its editor attached, and the means
// to drive the editor as the window host does: without a window.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "editor/IControl.h"
#include "editor/ITextControl.h"
#include "editor/VardoEditor.h"
#include "frame/Vardo.h"
#include "graphics/IGraphics.h"
#include "persistence/TempDataHome.h"
#include "persistence/VardoPersistence.h"
#include "support/TestHost.h"

namespace sorel::test {

inline constexpr IMouseMod kLeft{true, false};
inline constexpr IMouseMod kRight{false, true};
inline constexpr IMouseMod kLeftCtrl{true, false, false, true};
inline constexpr IMouseMod kShift{false, false, true};
inline constexpr IMouseMod kLeftAlt{true, false, false, false, true};
inline constexpr IMouseMod kNone{};
inline constexpr int kStatusSkin = 22;  // the status line

inline VardoEditor* builtEditor = nullptr;
inline VardoPersistence* builtPersistence = nullptr;

// As the module puts it together, with or without the plug-in's persistence
// for the editor's browsers to work on.
inline std::unique_ptr<IPlugVST> BuildWithEditor(audioMasterCallback h, bool withPersistence) {
    auto plugin = std::make_unique<Vardo>(h);
    std::unique_ptr<VardoPersistence> hooks = withPersistence ? MakePersistenceHooks(*plugin) : nullptr;
    builtPersistence = hooks.get();
    auto editor = std::make_unique<VardoEditor>(*plugin, hooks ? &hooks->Persistence() : nullptr);
    builtEditor = editor.get();
    plugin->SetEditor(std::move(editor));
    if (hooks) plugin->SetPersistenceHooks(std::move(hooks));
    return plugin;
}
inline AEffect* EntryWithEditor(audioMasterCallback callback) {
    return CreateEffect(callback, [](audioMasterCallback h) { return BuildWithEditor(h, false); });
}
inline AEffect* EntryWithPersistence(audioMasterCallback callback) {
    return CreateEffect(callback, [](audioMasterCallback h) { return BuildWithEditor(h, true); });
}

class EditorTest : public ::testing::Test {
public:  // the rows of a table act through the fixture
    void SetUp() override {
        host = std::make_unique<TestHost>(entry);
        ASSERT_TRUE(host->CreateAndOpen(512));
        vardo = static_cast<Vardo*>(IPlugVST::FromEffect(host->Effect()));
        editor = builtEditor;
        editor->BuildControls();
        Redraw();
    }

    void Redraw() {
        editor->OnTimer();
        editor->DrawArea(editor->DirtyArea());
    }
    IRECT Skin(int index) const { return editor->Layout().Rect(index); }
    // The control drawn at a skin rectangle: its top-left corner is the rectangle's.
    IControl* At(int skin) const { return editor->ControlAt(Skin(skin).L + 1, Skin(skin).T + 1); }
    void Click(int x, int y, const IMouseMod& mod = kLeft) {
        editor->OnMouseDown(x, y, mod);
        editor->OnMouseUp(x, y, mod);
    }
    void ClickSkin(int skin, const IMouseMod& mod = kLeft) { Click(Skin(skin).L + 1, Skin(skin).T + 1, mod); }
    void DragAlong(const std::vector<std::pair<int, int>>& points, const IMouseMod& mod = kLeft) {
        editor->OnMouseDown(points.front().first, points.front().second, mod);
        for (std::size_t i = 1; i < points.size(); ++i)
            editor->OnMouseDrag(points[i].first, points[i].second, points[i].first - points[i - 1].first,
                                points[i].second - points[i - 1].second, mod);
        editor->OnMouseUp(points.back().first, points.back().second, mod);
    }
    void Drag(int skin, int dx, int dy, const IMouseMod& mod = kLeft) {
        const int x = Skin(skin).L + 1, y = Skin(skin).T + 1;
        DragAlong({{x, y}, {x + dx, y + dy}}, mod);
    }
    std::string Status() const { return static_cast<ITextControl*>(At(kStatusSkin))->Text(); }
    void SetFromHost(int index, double plain) {
        host->SetParameter(index, static_cast<float>(vardo->Params().Get(index)->ToNormalized(plain)));
    }
    // A fingerprint of the pixels of a rectangle.
    uint64_t Pixels(const IRECT& r) const {
        uint64_t hash = 1469598103934665603ull;
        for (int y = r.T; y < r.B; ++y)
            for (int x = r.L; x < r.R; ++x) {
                const IColor c = editor->Canvas().PixelAt(x, y);
                hash = (hash ^ static_cast<uint64_t>((c.A << 24) | (c.R << 16) | (c.G << 8) | c.B)) * 1099511628211ull;
            }
        return hash;
    }

    AEffect* (*entry)(audioMasterCallback) = &EntryWithEditor;
    std::unique_ptr<TestHost> host;
    Vardo* vardo = nullptr;
    VardoEditor* editor = nullptr;
};

// The editor with the plug-in's persistence, in a data folder of its own.
class PersistenceEditorTest : public EditorTest {
public:
    PersistenceEditorTest() { entry = &EntryWithPersistence; }
    void TearDown() override { host.reset(); }  // before the data folder goes

    TempDataHome home;  // before the plug-in builds its browsers
};

}  // namespace sorel::test
