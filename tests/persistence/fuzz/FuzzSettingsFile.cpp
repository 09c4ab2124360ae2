// The global settings file.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "persistence/SettingsFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace sorel;
    const GlobalSettings settings = ParseSettings({reinterpret_cast<const char*>(data), size});
    if (ParseSettings(FormatSettings(settings)) != settings) __builtin_trap();
    return 0;
}
