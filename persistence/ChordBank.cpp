#include "persistence/ChordBank.h"

#include <algorithm>

#include "persistence/TextLines.h"

namespace sorel {

namespace {

constexpr int kMidiNoteCount = 128;
// Sixteen full slots take well under a kilobyte; anything much larger is not a bank.
constexpr size_t kMaxBankFileBytes = 1 << 20;

bool IsMidiNote(int32_t note) { return note >= 0 && note < kMidiNoteCount; }

// Reads `count` notes into `slot` (nullptr: read and drop). The count is
// bounded by the bytes left so that a hostile count cannot spin.
int ReadNotes(const StateChunk& chunk, int pos, int32_t count, ChordSlotData* slot) {
    const auto available = static_cast<int64_t>(chunk.BytesLeft(pos) / 4);
    const int64_t wanted = std::max<int64_t>(count, 0);
    for (int64_t i = 0; i < std::min(wanted, available); ++i) {
        int32_t note = 0;
        pos = chunk.GetInt32(note, pos);
        if (slot != nullptr && IsMidiNote(note) && slot->notes.size() < kChordSlotCapacity) slot->notes.push_back(note);
    }
    return wanted > available ? -1 : pos;
}

}  // namespace

int ReadChordRecords(const StateChunk& chunk, int pos, ChordBankData& bank) {
    int32_t count = 0;
    pos = chunk.GetInt32(count, pos);
    for (int32_t i = 0; pos >= 0 && i < count; ++i) {
        int32_t baseNote = 0;
        int32_t noteCount = 0;
        pos = chunk.GetInt32(baseNote, pos);
        pos = chunk.GetInt32(noteCount, pos);
        if (pos < 0) break;
        ChordSlotData* slot = i < kChordSlots ? &bank.slots[static_cast<size_t>(i)] : nullptr;
        if (slot != nullptr && IsMidiNote(baseNote)) slot->baseNote = baseNote;
        pos = ReadNotes(chunk, pos, noteCount, slot);
    }
    return pos;
}

void WriteChordRecords(StateChunk& chunk, const ChordBankData& bank) {
    chunk.PutInt32(kChordSlots);
    for (const auto& slot : bank.slots) {
        chunk.PutInt32(slot.baseNote);
        chunk.PutInt32(static_cast<int32_t>(slot.notes.size()));
        for (int32_t note : slot.notes) chunk.PutInt32(note);
    }
}

ChordBankData ReadChordBank(const StateChunk& body) {
    ChordBankData bank;
    ReadChordRecords(body, 0, bank);
    return bank;
}

StateChunk WriteChordBank(const ChordBankData& bank) {
    StateChunk body;
    WriteChordRecords(body, bank);
    return body;
}

std::optional<ChordBankData> ReadChordBankFile(const std::string& path) {
    auto bytes = ReadSmallFile(path, kMaxBankFileBytes);
    if (!bytes) return std::nullopt;
    return ReadChordBank(StateChunk({reinterpret_cast<const uint8_t*>(bytes->data()), bytes->size()}));
}

bool WriteChordBankFile(const std::string& path, const ChordBankData& bank) {
    const StateChunk body = WriteChordBank(bank);
    return ReplaceFile(path, {reinterpret_cast<const char*>(body.Data()), body.Size()});
}

}  // namespace sorel
