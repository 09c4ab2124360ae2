#pragma once
// Something observers watch: keeps them in attach order, each once, and
// carries the kind tag and index by which observers tell subjects apart.

#include "editor/IObserverInterface.h"

#include <cstdint>
#include <vector>

namespace sorel {

class ISubject {
public:
    static constexpr int kNoTag = -1;

    virtual ~ISubject() = default;

    void Attach(IObserverInterface* observer);
    void Detach(IObserverInterface* observer);
    void Notify(int x, int y, int event, const IMouseMod& mod);

    int32_t Tag() const { return tag_; }
    int32_t Index() const { return index_; }
    void SetTag(int32_t tag, int32_t index = kNoTag) {
        tag_ = tag;
        index_ = index;
    }
    bool Changed() const { return changed_; }
    void SetChanged(bool changed) { changed_ = changed; }

private:
    static constexpr std::size_t kInitialObservers = 8;

    std::vector<IObserverInterface*> observers_;
    int32_t tag_ = kNoTag;
    int32_t index_ = kNoTag;
    bool changed_ = false;
};

}  // namespace sorel
