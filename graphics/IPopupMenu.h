#pragma once
// A popup menu as data: items with a text, flags and an optional submenu.
// The editor builds one, the window host shows it and reports the choice.

#include <memory>
#include <string>
#include <vector>

namespace sorel {

class IPopupMenu {
public:
    enum ItemFlags : int {
        kNoFlags = 0,
        kGreyed = 1,    // drawn grey, still choosable
        kDisabled = 2,  // drawn grey, cannot be chosen
        kChecked = 4,   // drawn with a tick
        kSeparator = 8, // a line; its text is ignored
    };

    struct Item {
        std::string text;
        int flags = kNoFlags;
        int tag = 0;                       // the caller's own number (an id, a value index)
        std::unique_ptr<IPopupMenu> submenu;  // items with a submenu open it instead of being chosen
        bool IsSeparator() const { return (flags & kSeparator) != 0; }
        bool IsChoosable() const { return !IsSeparator() && !(flags & kDisabled) && !submenu; }
    };

    Item& AddItem(std::string text, int tag = 0, int flags = kNoFlags) {
        items_.push_back(Item{std::move(text), flags, tag, nullptr});
        return items_.back();
    }
    void AddSeparator() { items_.push_back(Item{{}, kSeparator, 0, nullptr}); }
    IPopupMenu& AddSubmenu(std::string text, int flags = kNoFlags) {
        Item& item = AddItem(std::move(text), 0, flags);
        item.submenu = std::make_unique<IPopupMenu>();
        return *item.submenu;
    }

    int Count() const { return static_cast<int>(items_.size()); }
    bool Empty() const { return items_.empty(); }
    const Item& ItemAt(int i) const { return items_[static_cast<size_t>(i)]; }
    Item& ItemAt(int i) { return items_[static_cast<size_t>(i)]; }
    const std::vector<Item>& Items() const { return items_; }

private:
    std::vector<Item> items_;
};

// What the user chose in a menu tree: the menu that holds the item and the
// item's index in it; menu is null when nothing was chosen.
struct IPopupChoice {
    const IPopupMenu* menu = nullptr;
    int index = -1;
    explicit operator bool() const { return menu != nullptr && index >= 0; }
    const IPopupMenu::Item& Item() const { return menu->ItemAt(index); }
};

}  // namespace sorel
