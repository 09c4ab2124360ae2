#include "frame/RateNames.h"

#include "engine/RateTexts.h"

namespace sorel {

std::span<const std::string_view> RateNames() { return kRateTexts; }

}  // namespace sorel
