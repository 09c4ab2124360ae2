#include "frame/ParameterTable.h"

#include <new>

namespace sorel {

void ParameterTable::Use(std::shared_ptr<const ParameterLayout> layout) {
    layout_ = std::move(layout);
    // Zero pages: every slot at its default, every flag at its start.
    block_ = ZeroPages(Parameter::kBlockBytes);
    ::new (block_.Data()) ParameterBlockHead{layout_->Get(0), Slots()};
}

}  // namespace sorel
