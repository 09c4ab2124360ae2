#include "editor/IPresetBrowserControl.h"

#include "editor/ControlContext.h"
#include "persistence/PluginPersistence.h"

namespace sorel {

namespace {

void AddItems(const PresetMenu& from, int currentId, IPopupMenu& to) {
    for (const PresetMenuItem& item : from.items) {
        if (item.subMenu) {
            AddItems(*item.subMenu, currentId, to.AddSubmenu(item.text));
        } else if (item.text.empty()) {
            to.AddSeparator();
        } else {
            to.AddItem(item.text, item.id, item.id == currentId ? IPopupMenu::kChecked : IPopupMenu::kNoFlags);
        }
    }
}

}  // namespace

IPresetBrowserControl::IPresetBrowserControl(ControlContext& context, const IRECT& rect, BitmapFont& font,
                                             PluginPersistence* persistence, Kind kind)
    : ICustomTextControl(context, rect, font, CommonPresetHandler::kNoName), persistence_(persistence), kind_(kind) {
    if (persistence_) saveDialog_ = std::make_unique<PresetSaveDialog>(context, *persistence_, kind, rect);
    ShowCurrentName();
}

CommonPresetHandler* IPresetBrowserControl::Browser() const {
    if (!persistence_) return nullptr;
    if (kind_ == Kind::kPreset) return &persistence_->Presets();
    return &persistence_->ChordBanks();
}

void IPresetBrowserControl::ShowCurrentName() {
    if (const CommonPresetHandler* browser = Browser()) SetTextFromPlug(browser->CurrentName());
}

IPopupMenu IPresetBrowserControl::BuildMenu() const {
    IPopupMenu menu;
    const CommonPresetHandler* browser = Browser();
    if (!browser) return menu;
    const int currentId = browser->CurrentId();
    AddItems(browser->Tree().Root(), currentId, menu);
    menu.AddSeparator();
    menu.AddItem(kind_ == Kind::kPreset ? PresetSaveDialog::kSavePresetItem : PresetSaveDialog::kSaveBankItem, kSaveTag);
    return menu;
}

void IPresetBrowserControl::OnMouseDown(int x, int y, const IMouseMod& mod) {
    Notify(x, y, IObserverInterface::kMouseDown, mod);
    CommonPresetHandler* browser = Browser();
    if (!browser) return;
    const IPopupMenu menu = BuildMenu();
    const IPopupChoice choice = Context().ShowMenu(menu, rect_);
    if (!choice) return;
    if (choice.Item().tag == kSaveTag)
        saveDialog_->Start();
    else
        browser->Choose(choice.Item().tag);
    ShowCurrentName();
}

}  // namespace sorel
