// What both preset browsers share: the menu tree, the current name and id,
// choosing an item and stepping to the previous or next file. Drawing the
// control and its popup is the editor's.
#pragma once

#include <mutex>
#include <string>

#include "persistence/PresetTree.h"

namespace sorel {

class CommonPresetHandler {
public:
    static constexpr const char* kNoName = "------";

    explicit CommonPresetHandler(PresetTree tree);
    virtual ~CommonPresetHandler() = default;
    CommonPresetHandler(const CommonPresetHandler&) = delete;
    CommonPresetHandler& operator=(const CommonPresetHandler&) = delete;

    const PresetTree& Tree() const { return tree_; }
    // The editor thread draws the name while a loading thread may change it.
    std::string CurrentName() const;
    void SetCurrentName(std::string name);
    int CurrentId() const;

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

    PresetTree tree_;
    mutable std::mutex mutex_;
    std::string currentName_ = kNoName;
    int currentId_ = 0;
};

}  // namespace sorel
