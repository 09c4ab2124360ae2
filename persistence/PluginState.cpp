#include "persistence/PluginState.h"

#include <algorithm>
#include <cmath>

namespace sorel {

double ParameterRange::Clamp(double plain) const {
    if (std::isnan(plain)) return defaultValue;
    return std::clamp(plain, minimum, maximum);
}

double ParameterRange::FromNormalised(double normalised) const {
    double plain = minimum + (maximum - minimum) * std::pow(std::max(normalised, 0.0), shape);
    if (roundsToStep && step > 0.0) plain = std::floor(plain / step + 0.5) * step;
    return std::min(plain, maximum);
}

}  // namespace sorel
