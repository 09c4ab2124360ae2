// The control-zone assignment file.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "persistence/ControlZoneFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace sorel;
    const ControlZoneAssignment assignment = ParseControlZone({reinterpret_cast<const char*>(data), size});
    for (int number : assignment)
        if (number < 0 || number > 30 || number == 8) __builtin_trap();
    return 0;
}
