// What one plug-in instance pays to get its editor's resources: decode every
// image, parse the skin and the five fonts. The first instance decodes; a
// second one, while the first lives, only looks the pixels up. Argument: the
// scale, 1 or 2 (the twice-resolution art); drawing a knob frame at each scale.
#include "editor/BitmapFont.h"
#include "editor/Skin.h"
#include "graphics/IGraphics.h"
#include "resources/Resources.h"
#include "resources/ScaledResource.h"

#include <benchmark/benchmark.h>

#include <fstream>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace sorel {
namespace {

struct InstanceResources {
    Skin skin;
    std::vector<IBitmap> bitmaps;
    std::vector<std::unique_ptr<BitmapFont>> fonts;
};

std::unique_ptr<InstanceResources> LoadInstance(int scale) {
    auto loaded = std::make_unique<InstanceResources>();
    IGraphics graphics(1, 1, scale);
    loaded->skin.Load();
    // Each image by its 1x name: the canvas picks the art of its scale.
    for (const auto& resource : resources::All())
        if (resource.type == "PNG" && resource.number < resources::kTwiceScaleNumberOffset)
            loaded->bitmaps.push_back(graphics.LoadIBitmap(resource.number, resource.name, 1));
    for (const FontResource& font : kEditorFonts) loaded->fonts.push_back(BitmapFont::Load(graphics, font));
    return loaded;
}

// Resident memory of the process in MiB: "VmRSS" now, "VmHWM" at its peak.
double ResidentMiB(const std::string& field) {
    std::ifstream status("/proc/self/status");
    std::string key;
    double kib = 0;
    while (status >> key) {
        if (key == field + ":") {
            status >> kib;
            break;
        }
        std::getline(status, key);
    }
    return kib / 1024.0;
}

void ReportSizes(benchmark::State& state, const InstanceResources& loaded) {
    std::set<const PixelImage*> unique;
    double decoded = 0;
    for (const IBitmap& bitmap : loaded.bitmaps)
        if (bitmap.IsValid() && unique.insert(bitmap.Pixels()).second) decoded += bitmap.Pixels()->SizeBytes();
    double embedded = 0;
    for (const auto& resource : resources::All()) embedded += resource.bytes.size();
    state.counters["images"] = static_cast<double>(unique.size());
    state.counters["decoded_MiB"] = decoded / (1024.0 * 1024.0);
    state.counters["embedded_MiB"] = embedded / (1024.0 * 1024.0);
    state.counters["skin_rects"] = static_cast<double>(loaded.skin.Size());
    state.counters["rss_MiB"] = ResidentMiB("VmRSS");
    state.counters["peak_rss_MiB"] = ResidentMiB("VmHWM");
}

void BM_FirstInstanceLoadsResources(benchmark::State& state) {
    std::unique_ptr<InstanceResources> loaded;
    const double before = ResidentMiB("VmRSS");
    state.counters["rss_before_MiB"] = before;
    for (auto _ : state) {
        loaded.reset();  // releases the pixels, so the next load decodes again
        loaded = LoadInstance(static_cast<int>(state.range(0)));
        benchmark::DoNotOptimize(loaded.get());
    }
    ReportSizes(state, *loaded);
}
BENCHMARK(BM_FirstInstanceLoadsResources)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

void BM_SecondInstanceSharesDecodedImages(benchmark::State& state) {
    const int scale = static_cast<int>(state.range(0));
    const auto first = LoadInstance(scale);
    std::unique_ptr<InstanceResources> second;
    for (auto _ : state) {
        second = LoadInstance(scale);
        benchmark::DoNotOptimize(second.get());
    }
    std::size_t shared = 0;
    for (std::size_t i = 0; i < first->bitmaps.size(); ++i)
        shared += first->bitmaps[i].Pixels() == second->bitmaps[i].Pixels() && first->bitmaps[i].IsValid();
    state.counters["shared_images"] = static_cast<double>(shared);
    state.counters["extra_decoded_MiB"] = 0.0;
    for (std::size_t i = 0; i < first->bitmaps.size(); ++i)
        if (first->bitmaps[i].Pixels() != second->bitmaps[i].Pixels() && second->bitmaps[i].IsValid())
            state.counters["extra_decoded_MiB"] += second->bitmaps[i].Pixels()->SizeBytes() / (1024.0 * 1024.0);
}
BENCHMARK(BM_SecondInstanceSharesDecodedImages)->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond);

// One 56 x 56 knob frame, in editor pixels, onto a canvas of the editor's size.
void BM_DrawKnobFrame(benchmark::State& state) {
    IGraphics graphics(1000, 565, static_cast<int>(state.range(0)));
    const IBitmap knob = graphics.LoadIBitmap(108, "resources/images/bipolar_knob_with_ring_127frames.png", 127);
    int frame = 0;
    for (auto _ : state) {
        graphics.DrawBitmapFrame(knob, {200, 100, 256, 156}, frame);
        frame = (frame + 1) % 127;
    }
}
BENCHMARK(BM_DrawKnobFrame)->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace sorel

BENCHMARK_MAIN();
