#pragma once
// Decoded image resources, shared by every plug-in instance of the process:
// the second instance that asks for an image gets the pixels the first one
// decoded. Pixels are released when the last bitmap using them goes.

#include "graphics/IBitmap.h"

#include <memory>
#include <mutex>
#include <string_view>
#include <unordered_map>

namespace sorel {
namespace resources { struct Resource; }

class BitmapCache {
public:
    static BitmapCache& Shared();

    // The PNG resource with this number and name, or an invalid bitmap when it
    // is missing or does not decode. At scale 2 its twice-resolution twin,
    // and the 1x image when the twin is missing.
    IBitmap Load(int number, std::string_view name, int frames, int scale = 1);

    // Number of images currently held decoded.
    std::size_t LiveCount() const;

private:
    BitmapCache() = default;
    IBitmap LoadResource(const resources::Resource* resource, int frames, int scale);

    mutable std::mutex mutex_;
    std::unordered_map<int, std::weak_ptr<const PixelImage>> images_;
};

}  // namespace sorel
