#include "persistence/StateWriter.h"

namespace sorel {

namespace {

// Room for every field of a state but the parameter block: texts, a full
// chord memory, controller numbers, lane loops and switches.
constexpr size_t kStateBytesBesidesParameters = 16384;

void WriteLaneLoops(StateChunk& chunk, std::span<const LaneLoop> loops) {
    for (const LaneLoop& loop : loops) {
        chunk.PutInt32(loop.start);
        chunk.PutInt32(loop.end);
        chunk.PutByte(loop.enabled ? 1 : 0);
    }
}

}  // namespace

void SerializeParams(StateChunk& chunk, std::span<const double> parameters) {
    for (double value : parameters) chunk.PutDouble(value);
}

void WriteState(StateChunk& chunk, const PluginState& state) {
    chunk.Reserve(kStateBytesBesidesParameters + state.parameters.size() * sizeof(double));
    chunk.PutInt32(kStateVersion);
    chunk.PutByte(0);  // reserved
    chunk.PutText(state.boxInfo.name, BoxInfo::kNameWidth);
    chunk.PutText(state.boxInfo.author, BoxInfo::kAuthorWidth);
    chunk.PutText(state.boxInfo.description, BoxInfo::kDescriptionWidth);
    chunk.PutText(state.boxInfo.usage, BoxInfo::kUsageWidth);
    chunk.PutText(state.chordBankName, kChordBankNameWidth);
    WriteChordRecords(chunk, state.chords);
    for (int32_t number : state.stepCcNumbers) chunk.PutInt32(number);
    const std::span<const LaneLoop> loops(state.laneLoops);
    WriteLaneLoops(chunk, loops.first(kLaneLoopCount));
    chunk.PutDouble(state.enableMidiNoteNames);
    chunk.PutDouble(state.startNotesImmediately);
    chunk.PutDouble(state.useOnlyOrderOnOff);
    SerializeParams(chunk, state.parameters);
    WriteLaneLoops(chunk, loops.subspan(kLaneLoopCount));
}

}  // namespace sorel
