// The menu tree of a preset browser, built from the preset folders: a root
// menu with "Init" (pattern presets only), a separator, and the categories
// "Factory" and "User", whose file items carry their full paths.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace sorel {

struct PresetMenu;

struct PresetMenuItem {
    std::string text;  // empty text: a separator
    int id = 0;
    std::string path;                  // file items only
    std::unique_ptr<PresetMenu> subMenu;  // category and style items only

    bool IsFile() const { return !path.empty(); }
};

struct PresetMenu {
    std::vector<PresetMenuItem> items;
    int nextId = 0;

    PresetMenuItem& Add(std::string text, std::string path = {});
    PresetMenu& AddSubMenu(std::string text, int firstId);
};

class PresetTree {
public:
    static constexpr int kIdStride = 1000;
    static constexpr int kInitId = 1;
    // Files beyond this in one folder would take the ids of the next menu.
    static constexpr int kMaxFilesPerFolder = kIdStride;

    // `subFolder` below the data folder; `withStyles`: the categories hold the
    // four style folders. Missing folders are created and stay empty; a data
    // folder that cannot be named leaves both categories empty.
    PresetTree(std::string_view subFolder, std::string firstExtension, std::string secondExtension, bool withStyles);

    const PresetMenu& Root() const { return root_; }
    // Depth-first; nullptr when no item has the id.
    const PresetMenuItem* FindById(int id) const;
    // The file items in the order they were added: the browse order.
    const std::vector<const PresetMenuItem*>& Files() const { return files_; }
    int FactoryEntries() const { return factoryEntries_; }
    int UserEntries() const { return userEntries_; }
    const std::string& RootFolder() const { return rootFolder_; }

private:
    void ScanFolder(const std::string& folder, PresetMenu& menu);
    bool Matches(const std::string& extension) const;

    std::string rootFolder_;
    std::string firstExtension_;
    std::string secondExtension_;
    PresetMenu root_;
    std::vector<const PresetMenuItem*> files_;
    int factoryEntries_ = 0;
    int userEntries_ = 0;
};

}  // namespace sorel
