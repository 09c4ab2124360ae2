// Any bytes as a skin file: parsing must stay in bounds and bounded in size.
#include "editor/Skin.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    sorel::Skin skin;
    skin.Parse(std::string_view(reinterpret_cast<const char*>(data), size));
    if (skin.Size() > sorel::kSkinMaxRects) std::abort();
    for (std::size_t i = 0; i < skin.Size(); ++i) (void)skin.Rect(static_cast<int>(i));
    return 0;
}
