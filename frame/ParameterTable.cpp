#include "frame/ParameterTable.h"

namespace sorel {

void ParameterTable::Use(std::shared_ptr<const ParameterLayout> layout) {
    layout_ = std::move(layout);
    params_ = std::vector<Parameter>(static_cast<size_t>(Size()));
    keepOnPresetLoad_.assign(static_cast<size_t>(Size()), 0);
    for (int index = 0; index < Size(); ++index) {
        const ParameterInfo& info = *layout_->Get(index);
        params_[static_cast<size_t>(index)].Describe(info);
        keepOnPresetLoad_[static_cast<size_t>(index)] = info.KeptOnPresetLoadAtStart() ? 1 : 0;
    }
}

}  // namespace sorel
