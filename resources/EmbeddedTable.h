#pragma once
// Interface between Resources.cpp and the source that the build generates from
// manifest.txt (EmbeddedResources.cpp in the build folder).

#include <cstdint>
#include <span>
#include <string_view>

namespace sorel::resources::detail {

struct EmbeddedEntry {
    int number;
    std::string_view type;
    std::string_view name;
    const uint8_t* begin;
    const uint8_t* end;
};

std::span<const EmbeddedEntry> EmbeddedEntries();

}  // namespace sorel::resources::detail
