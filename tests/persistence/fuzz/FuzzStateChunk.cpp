// Host chunks: framework header, program slots, then the state.
#include <cstddef>
#include <cstdint>

#include "FuzzRanges.h"
#include "persistence/HostChunk.h"
#include "persistence/StateReader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace sorel;
    const StateChunk chunk({data, size});
    int32_t frameworkVersion = 0;
    const int afterHeader = ReadHostChunkHeader(chunk, 0, frameworkVersion);
    for (bool isBank : {false, true}) {
        int pos = afterHeader;
        if (isBank && frameworkVersion >= kFrameworkVersion) {
            pos = SkipPresets(chunk, pos, kProgramSlots, param::kCount);
            if (pos < 0) continue;
        }
        if (const auto image = ReadState(chunk, pos, fuzz::TableRanges())) fuzz::CheckImage(*image);
    }
    return 0;
}
