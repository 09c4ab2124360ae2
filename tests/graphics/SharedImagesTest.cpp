// Decoded images are shared by every instance of the process.
#include "graphics/BitmapCache.h"
#include "graphics/IGraphics.h"
#include "resources/Resources.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace sorel {
namespace {

// Any embedded image will do; the background is the biggest.
const resources::Resource* SomeImage() {
    if (const auto* background = resources::Find(101)) return background;
    for (const auto& resource : resources::All())
        if (resource.type == "PNG") return &resource;
    return nullptr;
}

TEST(SharedImages, PixelsGoWithTheirLastUser) {
    const resources::Resource* image = SomeImage();
    if (!image) GTEST_SKIP() << "no image embedded yet";
    BitmapCache& cache = BitmapCache::Shared();
    std::weak_ptr<const PixelImage> watch;
    {
        const IBitmap bitmap = cache.Load(image->number, image->name, 1);
        ASSERT_TRUE(bitmap.IsValid());
        watch = bitmap.SharedPixels();
        EXPECT_GE(cache.LiveCount(), 1u);
    }
    EXPECT_TRUE(watch.expired());
    const IBitmap again = cache.Load(image->number, image->name, 1);
    EXPECT_TRUE(again.IsValid());
}

TEST(SharedImages, InstancesLoadingAtOnceShareOneDecode) {
    std::vector<const resources::Resource*> images;
    for (const auto& resource : resources::All())
        if (resource.type == "PNG") images.push_back(&resource);
    if (images.empty()) GTEST_SKIP() << "no image embedded yet";
    constexpr int kInstances = 4;
    std::vector<std::vector<IBitmap>> loaded(kInstances);
    std::vector<std::thread> threads;
    for (int i = 0; i < kInstances; ++i)
        threads.emplace_back([&, i] {
            IGraphics g(1, 1);
            // The frame count belongs to the bitmap, not to the shared pixels.
            for (const auto* image : images) loaded[i].push_back(g.LoadIBitmap(image->number, image->name, 1 + i % 2));
        });
    for (auto& t : threads) t.join();
    for (std::size_t k = 0; k < images.size(); ++k) {
        ASSERT_TRUE(loaded[0][k].IsValid()) << images[k]->name;
        for (int i = 1; i < kInstances; ++i) {
            EXPECT_EQ(loaded[i][k].Pixels(), loaded[0][k].Pixels());
            EXPECT_EQ(loaded[i][k].Frames(), 1 + i % 2);
        }
    }
}

}  // namespace
}  // namespace sorel
