#include "persistence/HostChunk.h"

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

}  // namespace sorel
