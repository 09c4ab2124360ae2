#include "persistence/CommonPresetHandler.h"

#include <algorithm>

namespace sorel {

CommonPresetHandler::CommonPresetHandler(std::function<PresetTree()> scan) : scan_(std::move(scan)) {}

const PresetTree& CommonPresetHandler::Tree() const {
    std::lock_guard lock(treeMutex_);
    if (stale_) {
        trees_.push_back(std::make_unique<const PresetTree>(scan_()));
        stale_ = false;
    }
    return *trees_.back();
}

void CommonPresetHandler::Rescan() {
    std::lock_guard lock(treeMutex_);
    stale_ = true;
}

std::string CommonPresetHandler::CurrentName() const {
    std::lock_guard lock(mutex_);
    return currentName_;
}

void CommonPresetHandler::SetCurrentName(std::string name) {
    std::lock_guard lock(mutex_);
    currentName_ = std::move(name);
}

int CommonPresetHandler::CurrentId() const {
    std::lock_guard lock(mutex_);
    return currentId_;
}

void CommonPresetHandler::SelectWithLoading(const PresetMenuItem& item) {
    {
        std::lock_guard lock(mutex_);
        currentId_ = item.id;
        currentName_ = item.text;
    }
    Open(item);
}

void CommonPresetHandler::SelectSaved(const std::string& path, std::string name) {
    const auto& files = Tree().Files();
    const auto saved = std::find_if(files.begin(), files.end(), [&path](const PresetMenuItem* item) { return item->path == path; });
    std::lock_guard lock(mutex_);
    currentId_ = saved == files.end() ? 0 : (*saved)->id;
    currentName_ = std::move(name);
}

void CommonPresetHandler::Step(int direction) {
    const auto& files = Tree().Files();
    if (files.empty()) return;
    const int id = CurrentId();
    const auto current = std::find_if(files.begin(), files.end(), [id](const PresetMenuItem* item) { return item->id == id; });
    const auto count = static_cast<std::ptrdiff_t>(files.size());
    std::ptrdiff_t target = 0;
    if (id < PresetTree::kIdStride || current == files.end()) {
        target = direction > 0 ? 0 : count - 1;
    } else {
        target = ((current - files.begin()) + direction + count) % count;
    }
    SelectWithLoading(*files[static_cast<size_t>(target)]);
}

}  // namespace sorel
