#include "resources/Resources.h"

#include "resources/EmbeddedTable.h"

#include <vector>

namespace sorel::resources {
namespace {

std::vector<Resource> BuildTable() {
    std::vector<Resource> table;
    const auto raw = detail::EmbeddedEntries();
    table.reserve(raw.size());
    for (const auto& entry : raw) {
        const auto size = static_cast<std::size_t>(entry.end - entry.begin);
        table.push_back(Resource{entry.number, entry.type, entry.name, {entry.begin, size}});
    }
    return table;
}

const std::vector<Resource>& Table() {
    static const std::vector<Resource> table = BuildTable();
    return table;
}

}  // namespace

std::span<const Resource> All() { return Table(); }

const Resource* Find(int number) {
    for (const auto& resource : Table())
        if (resource.number == number) return &resource;
    return nullptr;
}

const Resource* FindByName(std::string_view name) {
    for (const auto& resource : Table())
        if (resource.name == name) return &resource;
    return nullptr;
}

const Resource* Find(int number, std::string_view name) {
    const Resource* resource = Find(number);
    return resource && resource->name == name ? resource : nullptr;
}

}  // namespace sorel::resources
