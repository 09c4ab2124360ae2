#include "frame/Parameter.h"

namespace sorel {
namespace {

// What a slot is before it is described: value 0, range 0..1.
const ParameterInfo& Undescribed() {
    static const ParameterInfo kUndescribed;
    return kUndescribed;
}

}  // namespace

Parameter::Parameter() : info_(&Undescribed()) {}

void Parameter::Describe(const ParameterInfo& info) {
    info_ = &info;
    Store(info.Default());
}

}  // namespace sorel
