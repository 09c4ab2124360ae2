// ".cmb" chord-memory banks.
#include <cstddef>
#include <cstdint>

#include "persistence/ChordBank.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace sorel;
    const ChordBankData bank = ReadChordBank(StateChunk({data, size}));
    for (const auto& slot : bank.slots)
        if (slot.baseNote < 0 || slot.baseNote > 127 || slot.notes.size() > kChordSlotCapacity) __builtin_trap();
    // What was read writes back and reads again unchanged.
    if (ReadChordBank(WriteChordBank(bank)) != bank) __builtin_trap();
    return 0;
}
