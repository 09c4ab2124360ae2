#include "persistence/PresetTree.h"

#include <Poco/DirectoryIterator.h>
#include <Poco/File.h>
#include <Poco/Path.h>

#include <algorithm>

#include "persistence/DataFolder.h"

namespace sorel {

namespace {

constexpr int kStyleMenuBase = 3;  // style menu of category c, style k: (4c + 3 + k) * stride

const PresetMenuItem* FindIn(const PresetMenu& menu, int id) {
    for (const auto& item : menu.items) {
        if (item.id == id && item.subMenu == nullptr) return &item;
        if (item.subMenu != nullptr) {
            if (const PresetMenuItem* found = FindIn(*item.subMenu, id)) return found;
        }
    }
    return nullptr;
}

struct FileEntry {
    std::string baseName;
    std::string extension;
    std::string path;
};

std::vector<FileEntry> ListFiles(const std::string& folder) {
    std::vector<FileEntry> entries;
    try {
        for (Poco::DirectoryIterator it(folder), end; it != end; ++it) {
            if (it->isDirectory()) continue;
            const Poco::Path& path = it.path();
            entries.push_back({path.getBaseName(), "." + path.getExtension(), path.toString(Poco::Path::PATH_UNIX)});
        }
    } catch (const std::exception&) {
        // An unreadable folder lists as empty.
    }
    std::sort(entries.begin(), entries.end(), [](const FileEntry& a, const FileEntry& b) {
        return a.baseName != b.baseName ? a.baseName < b.baseName : a.path < b.path;
    });
    return entries;
}

}  // namespace

PresetMenuItem& PresetMenu::Add(std::string text, std::string path) {
    PresetMenuItem& item = items.emplace_back();
    item.text = std::move(text);
    item.id = nextId++;
    item.path = std::move(path);
    return item;
}

PresetMenu& PresetMenu::AddSubMenu(std::string text, int firstId) {
    PresetMenuItem& item = Add(std::move(text));
    item.subMenu = std::make_unique<PresetMenu>();
    item.subMenu->nextId = firstId;
    return *item.subMenu;
}

PresetTree::PresetTree(std::string_view subFolder, std::string firstExtension, std::string secondExtension,
                       bool withStyles)
    : firstExtension_(std::move(firstExtension)), secondExtension_(std::move(secondExtension)) {
    rootFolder_ = GetUserDataFolder(subFolder).value_or(std::string{});
    root_.nextId = 0;
    if (!secondExtension_.empty()) {
        root_.nextId = kInitId;
        root_.Add("Init");
    }
    root_.Add("");
    PresetMenu* categories[2] = {&root_.AddSubMenu("Factory", kIdStride), &root_.AddSubMenu("User", 2 * kIdStride)};
    for (int c = 0; c < 2; ++c) {
        const std::string categoryFolder =
            rootFolder_.empty() ? std::string{} : JoinFolder(rootFolder_, kPresetCategories[static_cast<size_t>(c)]);
        if (!withStyles) {
            ScanFolder(categoryFolder, *categories[c]);
            continue;
        }
        for (int k = 0; k < static_cast<int>(kPresetStyles.size()); ++k) {
            const std::string_view style = kPresetStyles[static_cast<size_t>(k)];
            PresetMenu& styleMenu = categories[c]->AddSubMenu(std::string(style), (4 * c + kStyleMenuBase + k) * kIdStride);
            ScanFolder(categoryFolder.empty() ? std::string{} : JoinFolder(categoryFolder, style), styleMenu);
        }
    }
    factoryEntries_ = static_cast<int>(categories[0]->items.size());
    userEntries_ = static_cast<int>(categories[1]->items.size());
}

bool PresetTree::Matches(const std::string& extension) const {
    return extension == firstExtension_ || (!secondExtension_.empty() && extension == secondExtension_);
}

void PresetTree::ScanFolder(const std::string& folder, PresetMenu& menu) {
    if (folder.empty() || !EnsureFolder(folder)) return;
    std::vector<FileEntry> matching;
    for (auto& entry : ListFiles(folder)) {
        if (Matches(entry.extension) && matching.size() < static_cast<size_t>(kMaxFilesPerFolder)) {
            matching.push_back(std::move(entry));
        }
    }
    // Reserved up front: the browse list points into the menu.
    menu.items.reserve(menu.items.size() + matching.size());
    for (auto& entry : matching) files_.push_back(&menu.Add(std::move(entry.baseName), std::move(entry.path)));
}

const PresetMenuItem* PresetTree::FindById(int id) const { return FindIn(root_, id); }

}  // namespace sorel
