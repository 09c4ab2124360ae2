#include "graphics/BitmapCache.h"

#include "graphics/PngDecoder.h"
#include "resources/Resources.h"
#include "resources/ScaledResource.h"

namespace sorel {

BitmapCache& BitmapCache::Shared() {
    static BitmapCache cache;
    return cache;
}

IBitmap BitmapCache::Load(int number, std::string_view name, int frames, int scale) {
    if (scale == 2) {
        IBitmap twin = LoadResource(resources::Find(resources::ScaledNumber(number, scale),
                                                    resources::ScaledName(name, scale)),
                                    frames, scale);
        if (twin.IsValid()) return twin;
    }
    return LoadResource(resources::Find(number, name), frames, 1);
}

IBitmap BitmapCache::LoadResource(const resources::Resource* resource, int frames, int scale) {
    if (!resource) return {};
    const int number = resource->number;
    {
        std::lock_guard lock(mutex_);
        if (std::shared_ptr<const PixelImage> pixels = images_[number].lock())
            return IBitmap(std::move(pixels), frames, scale);
    }
    // Decoded without the lock, so that two threads can decode two images at
    // once; when both decoded the same one, the first to finish is kept.
    std::shared_ptr<const PixelImage> decoded = DecodePng(resource->bytes);
    if (!decoded) return {};
    std::lock_guard lock(mutex_);
    std::weak_ptr<const PixelImage>& slot = images_[number];
    if (std::shared_ptr<const PixelImage> first = slot.lock()) return IBitmap(std::move(first), frames, scale);
    slot = decoded;
    return IBitmap(std::move(decoded), frames, scale);
}

std::size_t BitmapCache::LiveCount() const {
    std::lock_guard lock(mutex_);
    std::size_t live = 0;
    for (const auto& [number, image] : images_)
        if (!image.expired()) ++live;
    return live;
}

}  // namespace sorel
