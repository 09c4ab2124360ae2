// The sixteen chord-memory slots as they are stored: in a ".cmb" bank file
// and, behind the bank's name, in every state.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>
#include <string>
#include <vector>

#include "persistence/StateChunk.h"

namespace sorel {

inline constexpr int kChordSlots = 16;
inline constexpr int kChordSlotCapacity = 8;  // notes a slot of the engine holds
inline constexpr int32_t kClearedBaseNote = 12;
inline constexpr std::string_view kChordBankExtension = ".cmb";

struct ChordSlotData {
    int32_t baseNote = kClearedBaseNote;
    std::vector<int32_t> notes;  // in stored order, each 0..127

    bool operator==(const ChordSlotData&) const = default;
};

struct ChordBankData {
    std::array<ChordSlotData, kChordSlots> slots;

    bool operator==(const ChordBankData&) const = default;
};

// Reads the slot count and the slot records at `pos` into `bank`, which the
// caller has cleared. Records past slot 15 are read and dropped; notes out of
// 0..127 or beyond a slot's capacity are dropped; a base note out of 0..127
// keeps 12; a negative count reads nothing. Returns the position after the
// records, or -1 once the data ran out (the slots read so far stay filled).
int ReadChordRecords(const StateChunk& chunk, int pos, ChordBankData& bank);
void WriteChordRecords(StateChunk& chunk, const ChordBankData& bank);

// A ".cmb" file's body. Reading never fails: whatever is missing stays cleared.
ChordBankData ReadChordBank(const StateChunk& body);
StateChunk WriteChordBank(const ChordBankData& bank);

// Nothing when the file cannot be opened.
std::optional<ChordBankData> ReadChordBankFile(const std::string& path);
bool WriteChordBankFile(const std::string& path, const ChordBankData& bank);

}  // namespace sorel
