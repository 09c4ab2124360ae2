// Preset files, gzip or plain: header, then the state.
#include <cstddef>
#include <cstdint>

#include "FuzzChecks.h"
#include "persistence/PresetFile.h"
#include "persistence/StateReader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace sorel;
    const auto chunk = DecompressPreset({data, size});
    if (!chunk) return 0;
    const PresetHeader header = ReadPresetHeader(*chunk);
    fuzz::Require(header.info.name.size() <= 32 && header.info.usage.size() <= 254);
    if (const auto image = ReadState(*chunk, header.statePos, test::ModelRanges())) fuzz::CheckImage(*image);
    return 0;
}
