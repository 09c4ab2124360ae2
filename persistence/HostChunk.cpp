#include "persistence/HostChunk.h"

#include "persistence/PresetFile.h"
#include "persistence/StateReader.h"
#include "persistence/StateWriter.h"

namespace sorel {

void BeginHostChunk(StateChunk& chunk) {
    chunk.PutInt32(kHostChunkMagic);
    chunk.PutInt32(kFrameworkVersion);
}

int ReadHostChunkHeader(const StateChunk& chunk, int pos, int32_t& frameworkVersion) {
    frameworkVersion = 0;
    int32_t magic = 0;
    const int afterMagic = chunk.GetInt32(magic, pos);
    if (afterMagic < 0 || magic != kHostChunkMagic) return pos;
    int32_t version = 0;
    const int afterVersion = chunk.GetInt32(version, afterMagic);
    if (afterVersion < 0) return pos;
    frameworkVersion = version;
    return afterVersion;
}

void SerializePresets(StateChunk& chunk, int programCount, std::span<const double> parameters) {
    for (int program = 0; program < programCount; ++program) {
        chunk.PutInt32(0);  // unnamed
        chunk.PutByte(1);   // initialised
        SerializeParams(chunk, parameters);
    }
}

int SkipPresets(const StateChunk& chunk, int pos, int programCount, int parameterCount) {
    const size_t blockSize = static_cast<size_t>(parameterCount) * sizeof(double);
    for (int program = 0; program < programCount && pos >= 0; ++program) {
        int32_t nameLength = 0;
        pos = chunk.GetInt32(nameLength, pos);
        if (pos < 0 || nameLength < 0 || nameLength > kMaxProgramNameLength) return -1;
        if (chunk.BytesLeft(pos) < static_cast<size_t>(nameLength) + 1) return -1;
        pos += nameLength;
        uint8_t initialised = 0;
        pos = chunk.GetByte(initialised, pos);
        if (initialised > 1) return -1;
        if (initialised == 1) {
            if (chunk.BytesLeft(pos) < blockSize) return -1;
            pos += static_cast<int>(blockSize);
        }
    }
    return pos;
}

std::vector<uint8_t> ComposeHostChunk(const PluginState& state) {
    StateChunk body;
    WriteState(body, state);
    StateChunk chunk;
    BeginHostChunk(chunk);
    const std::vector<uint8_t> packed = CompressToGzip({body.Data(), body.Size()});
    chunk.PutBytes(packed.data(), packed.size());
    return chunk.Bytes();
}

std::optional<StateChunk> HostChunkState(std::span<const uint8_t> bytes, bool isBank, int parameterCount) {
    const StateChunk chunk(bytes);
    int32_t frameworkVersion = 0;
    int pos = ReadHostChunkHeader(chunk, 0, frameworkVersion);
    // A bank chunk may hold one program slot before the state, or none. A
    // state starts with a version word, which a slot's name length is not
    // (short names aside): the slot layout stands unless only the state
    // right behind the header starts like one.
    if (isBank && frameworkVersion >= kFrameworkVersion) {
        const int afterSlots = SkipPresets(chunk, pos, kProgramSlots, parameterCount);
        const bool stateBehindSlots = afterSlots >= 0 && StartsWithVersionWord(chunk, afterSlots);
        if (afterSlots >= 0 && (stateBehindSlots || !StartsWithVersionWord(chunk, pos))) pos = afterSlots;
    }
    if (pos < 0) return std::nullopt;
    return DecompressPreset(bytes.subspan(static_cast<size_t>(pos)), CutStream::kRefuse);
}

}  // namespace sorel
