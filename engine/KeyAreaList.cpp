#include "engine/KeyAreaList.h"

#include "engine/PatternEngine.h"

namespace sorel {

KeyAreaList::KeyAreaList(EngineContext* context, TransportState* transport) : context_(context) {
    for (int i = 0; i < kCount; ++i) areas_[static_cast<std::size_t>(i)] = std::make_unique<PatternEngine>(i, transport, context);
    SelectArea(0);
}

KeyAreaList::~KeyAreaList() = default;

PatternEngine* KeyAreaList::Area(int index) const {
    if (index < 0 || index >= kCount) return nullptr;
    return areas_[static_cast<std::size_t>(index)].get();
}

void KeyAreaList::SelectArea(int index) {
    if (index < 0 || index >= kCount) return;
    selectedArea_ = index;
    for (int i = 0; i < kCount; ++i) areas_[static_cast<std::size_t>(i)]->SetEditorShown(i == index);
}

}  // namespace sorel
