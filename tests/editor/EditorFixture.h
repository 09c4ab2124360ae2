// The plug-in linked into the test as the module builds it, with its editor
// and persistence in a data folder of their own, and the means to drive the
// editor as the window host does: without a window, its menus answered and
// its text fields typed into by the test.
#pragma once

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "editor/IControl.h"
#include "editor/InfoControl.h"
#include "editor/ITextControl.h"
#include "editor/VardoEditor.h"
#include "frame/VardoEditorPort.h"
#include "graphics/IGraphics.h"
#include "persistence/TempDataHome.h"
#include "support/LinkedPlugin.h"
#include "support/TestHost.h"

namespace sorel::test {

inline constexpr IMouseMod kLeft{true, false};
inline constexpr IMouseMod kRight{false, true};
inline constexpr IMouseMod kLeftCtrl{true, false, false, true};
inline constexpr IMouseMod kCtrl{false, false, false, true};
inline constexpr IMouseMod kShift{false, false, true};
inline constexpr IMouseMod kLeftAlt{true, false, false, false, true};
inline constexpr IMouseMod kNone{};
inline constexpr int kStatusSkin = 22;  // the status line

inline VardoEditor* builtEditor = nullptr;

// The plug-in as the module builds it, with the editor kept at hand.
inline AEffect* EntryWithEditor(audioMasterCallback callback) {
    return CreateEffect(callback, [](PluginHost& h) -> std::unique_ptr<PluginCore> {
        auto plugin = BuildLinkedPlugin<true>(h);
        auto editor = std::make_unique<VardoEditor>(MakeEditorPort(*plugin), lastLinked.persistence);
        builtEditor = editor.get();
        plugin->SetEditor(std::move(editor));
        return plugin;
    });
}

class EditorTest : public ::testing::Test {
public:  // the rows of a table act through the fixture
    void SetUp() override {
        host = std::make_unique<TestHost>(&EntryWithEditor);
        ASSERT_TRUE(host->CreateAndOpen(512));
        vardo = static_cast<Vardo*>(CoreOf(host->Effect()));
        editor = builtEditor;
        editor->BuildControls();
        editor->SetMenuPresenter([this](const IPopupMenu& menu, int, int) { return Answer(menu); });
        Redraw();
    }
    void TearDown() override { host.reset(); }  // before the data folder goes

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
    // What a control does when the user moves it to `plain`.
    void ChangeFromEditor(int index, double plain) {
        editor->SetParameterFromGUI(index, vardo->Params().Get(index)->ToNormalized(plain));
    }
    PluginPersistence& Persistence() { return *lastLinked.persistence; }
    // The info panel's lines, one a line; empty while it is hidden.
    std::string InfoLines() const {
        std::string text;
        if (const auto* panel = dynamic_cast<InfoControl*>(editor->ControlAt(Skin(157).L + 2, Skin(157).T + 2)))
            for (const TextLine& line : panel->Lines()) text += (text.empty() ? "" : "\n") + line.text;
        return text;
    }
    // A fingerprint of the pixels of a rectangle, as the canvas holds them or as `pixel` reads them.
    template <class PixelAt>
    static uint64_t Fingerprint(const IRECT& r, PixelAt pixel) {
        uint64_t hash = 0;
        for (int y = r.T; y < r.B; ++y)
            for (int x = r.L; x < r.R; ++x) hash = (hash ^ pixel(x, y)) * 1099511628211ull;
        return hash;
    }
    uint64_t Pixels(const IRECT& r) const {
        return Fingerprint(r, [&](int x, int y) {
            const IColor c = editor->Canvas().PixelAt(x, y);
            return static_cast<uint64_t>(uint32_t(c.A) << 24 | c.R << 16 | c.G << 8 | c.B);
        });
    }

    // Plays the user at an open menu: first whatever happens meanwhile, then
    // the item (in any submenu) whose text is the next answer.
    IPopupChoice Answer(const IPopupMenu& menu) {
        shown.emplace_back();
        for (const IPopupMenu::Item& item : menu.Items()) shown.back().push_back(item.text);
        if (whileOpen) std::exchange(whileOpen, nullptr)();
        if (answers.empty()) return {};
        const std::string text = answers.front();
        answers.pop_front();
        return Find(menu, text);
    }
    static IPopupChoice Find(const IPopupMenu& menu, const std::string& text) {
        for (int i = 0; i < menu.Count(); ++i) {
            const IPopupMenu::Item& item = menu.ItemAt(i);
            if (item.submenu) {
                if (const IPopupChoice inner = Find(*item.submenu, text)) return inner;
            } else if (item.IsChoosable() && item.text == text) {
                return {&menu, i};
            }
        }
        return {};
    }
    // A click that opens menus, answered in turn, then texts typed into the fields it opens.
    void ClickWith(int x, int y, const IMouseMod& mod, std::initializer_list<std::string> choices,
                   std::initializer_list<std::string> typed = {}) {
        answers = choices;
        Click(x, y, mod);
        for (const std::string& text : typed) editor->OnTextEntryDone(true, text);
        vardo->Actions().WaitUntilIdle();
        Persistence().WaitUntilIdle();
        Redraw();
    }
    void RightClick(int skin, const std::string& item) { ClickWith(Skin(skin).L + 5, Skin(skin).T + 5, kRight, {item}); }
    void Browse(int skin, std::initializer_list<std::string> choices, std::initializer_list<std::string> typed = {}) {
        ClickWith(Skin(skin).L + 5, Skin(skin).T + 5, kLeft, choices, typed);
    }

    TempDataHome home;  // before the plug-in builds its browsers
    std::unique_ptr<TestHost> host;
    Vardo* vardo = nullptr;
    VardoEditor* editor = nullptr;
    std::deque<std::string> answers;
    std::function<void()> whileOpen;
    std::vector<std::vector<std::string>> shown;  // the items of each menu shown
};

}  // namespace sorel::test
