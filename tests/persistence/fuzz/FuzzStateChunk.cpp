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
    // The last byte chooses between the host's program and bank calls.
    const bool isBank = size > 0 && (data[size - 1] & 1) != 0;
    int pos = afterHeader;
    if (isBank && frameworkVersion >= kFrameworkVersion) {
        pos = SkipPresets(chunk, pos, kProgramSlots, param::kCount);
        if (pos < 0) return 0;
    }
    if (const auto image = ReadState(chunk, pos, fuzz::TableRanges())) fuzz::CheckImage(*image);
    return 0;
}
