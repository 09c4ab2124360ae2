// Host chunks: framework header, program slots or none, then the state, plain
// or compressed.
#include <cstddef>
#include <cstdint>

#include "FuzzChecks.h"
#include "persistence/HostChunk.h"
#include "persistence/StateReader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace sorel;
    // The last byte chooses between the host's program and bank calls.
    const bool isBank = size > 0 && (data[size - 1] & 1) != 0;
    const auto state = HostChunkState({data, size}, isBank, param::kCount);
    if (!state) return 0;
    if (const auto image = ReadState(*state, 0, test::ModelRanges())) fuzz::CheckImage(*image);
    return 0;
}
