#pragma once
// The note values the "Rate" parameter stands for, in its order, for those
// who show them (the engine keeps the table).

#include <span>
#include <string_view>

namespace sorel {

std::span<const std::string_view> RateNames();

}  // namespace sorel
