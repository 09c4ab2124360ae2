// What the echo test plug-in records for the tests, read through its exported
// "echoPluginLog" function.
#pragma once

#include "frame/vst2/VstApi.h"

#include <cstdint>
#include <vector>

namespace sorel::host::test {

struct EchoBlock {
    int frames = 0;
    VstTimeInfo full{};       // answer to a request for every validity flag
    VstInt32 partialFlags = 0;  // flags of the answer to a ppq-and-tempo request
    VstInt32 bareFlags = 0;     // flags of the answer to a request for nothing
};

struct EchoInput {
    int64_t blockStart;  // host sample position of the block (when playing)
    int blockIndex;
    int deltaFrames;
    uint8_t bytes[3];
};

struct EchoPluginLog {
    std::vector<EchoBlock> blocks;
    std::vector<EchoInput> inputs;
    std::vector<uint8_t> chunk;
    bool chunkWasBank = false;
    int transpose = 12;
    float gain = 0.5f;
    double sampleRate = 0.0;
    int maxBlockSize = 0;
    bool resumed = false;
    int openCount = 0;
    int closeCount = 0;
};

using EchoPluginLogProc = EchoPluginLog* (*)();

}  // namespace sorel::host::test
