#include "graphics/BitmapCache.h"

#include "graphics/PngDecoder.h"
#include "resources/Resources.h"

namespace sorel {

BitmapCache& BitmapCache::Shared() {
    static BitmapCache cache;
    return cache;
}

IBitmap BitmapCache::Load(int number, std::string_view name, int frames) {
    const resources::Resource* resource = resources::Find(number, name);
    if (!resource) return {};
    std::lock_guard lock(mutex_);
    std::shared_ptr<const PixelImage> pixels = images_[number].lock();
    if (!pixels) {
        pixels = DecodePng(resource->bytes);
        if (!pixels) return {};
        images_[number] = pixels;
    }
    return IBitmap(std::move(pixels), frames);
}

std::size_t BitmapCache::LiveCount() const {
    std::lock_guard lock(mutex_);
    std::size_t live = 0;
    for (const auto& [number, image] : images_)
        if (!image.expired()) ++live;
    return live;
}

}  // namespace sorel
