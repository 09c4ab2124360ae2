#pragma once
// The data compiled into the module: skin, fonts, images and the chord table,
// listed in resources/manifest.txt and looked up by number or by name.

#include <cstdint>
#include <span>
#include <string_view>

namespace sorel::resources {

struct Resource {
    int number = 0;
    std::string_view type;  // "TEXT" or "PNG"
    std::string_view name;  // e.g. "resources/skin/Sorel.skin"
    // The file's bytes. A zero byte follows them (not counted), so text
    // resources can be handed on as C strings.
    std::span<const uint8_t> bytes;

    std::string_view Text() const {
        return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
    }
    const char* CString() const { return reinterpret_cast<const char*>(bytes.data()); }
};

// nullptr when no resource has this number (or its file was not there at build time).
const Resource* Find(int number);
const Resource* FindByName(std::string_view name);
// Both must match: the editor names each resource by number and name.
const Resource* Find(int number, std::string_view name);
// Every embedded resource, in manifest order.
std::span<const Resource> All();

}  // namespace sorel::resources
