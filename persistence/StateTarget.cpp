#include "persistence/StateTarget.h"

#include <algorithm>

namespace sorel {

std::shared_ptr<const std::vector<ParameterRange>> StateTarget::Ranges() const {
    auto ranges = std::make_shared<std::vector<ParameterRange>>();
    const int count = ParameterCount();
    ranges->reserve(static_cast<size_t>(std::max(count, 0)));
    for (int index = 0; index < count; ++index) ranges->push_back(Range(index));
    return ranges;
}

}  // namespace sorel
