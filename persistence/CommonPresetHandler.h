// What both preset browsers share: the menu tree, the current name and id,
// choosing an item and stepping to the previous or next file. Drawing the
// control and its popup is the editor's.
#pragma once

#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "persistence/PresetTree.h"

namespace sorel {

class CommonPresetHandler {
public:
    static constexpr const char* kNoName = "------";

    // The tree is built by `scan` when first asked for, not with the plug-in:
    // an instance whose browser is never opened never lists its folders.
    explicit CommonPresetHandler(std::function<PresetTree()> scan);
    virtual ~CommonPresetHandler() = default;
    CommonPresetHandler(const CommonPresetHandler&) = delete;
    CommonPresetHandler& operator=(const CommonPresetHandler&) = delete;

    // Any thread. A tree handed out stays valid as long as the handler.
    const PresetTree& Tree() const;
    // The folders changed (a preset was saved): the next Tree() lists them again.
    void Rescan();
    // The editor thread draws the name while a loading thread may change it.
    std::string CurrentName() const;
    void SetCurrentName(std::string name);
    int CurrentId() const;

    // A file just saved (after Rescan) becomes the current one, so that the
    // previous and next files are its neighbours.
    void SelectSaved(const std::string& path, std::string name);

    // The popup's choice.
    virtual void Choose(int id) = 0;
    void Next() { Step(+1); }
    void Previous() { Step(-1); }

protected:
    // Makes the item current, shows its name and opens it.
    void SelectWithLoading(const PresetMenuItem& item);
    virtual void Open(const PresetMenuItem& item) = 0;

private:
    void Step(int direction);

    std::function<PresetTree()> scan_;
    mutable std::mutex treeMutex_;
    // Every tree scanned so far, the newest last; older ones stay for their readers.
    mutable std::vector<std::unique_ptr<const PresetTree>> trees_;
    mutable bool stale_ = true;
    mutable std::mutex mutex_;
    std::string currentName_ = kNoName;
    int currentId_ = 0;
};

}  // namespace sorel
