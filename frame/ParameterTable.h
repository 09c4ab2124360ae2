// An instance's parameter table: every setting of the plug-in, addressed by
// index. The values and the keepOnPresetLoad flags are the instance's, in one
// flat block of zero pages; what each slot is comes from the shared layout.
// Both are kept as their difference from the layout's start, so a further
// instance costs resident memory only for the slots it changes. Slots that
// serve no setting keep their default contents (value 0, range 0..1).
#pragma once

#include <cstdint>
#include <memory>

#include "engine/ParameterIndex.h"
#include "frame/Parameter.h"
#include "frame/ParameterLayout.h"
#include "frame/ZeroPages.h"

namespace sorel {

class ParameterTable {
public:
    // Empty until a layout is given.
    ParameterTable() = default;
    explicit ParameterTable(std::shared_ptr<const ParameterLayout> layout) { Use(std::move(layout)); }
    ParameterTable(const ParameterTable&) = delete;
    ParameterTable& operator=(const ParameterTable&) = delete;

    // Every value at its default, every flag at its start.
    void Use(std::shared_ptr<const ParameterLayout> layout);
    const ParameterLayout& Layout() const { return *layout_; }

    static constexpr int Size() { return param::kCount; }
    static constexpr bool Contains(int index) { return index >= 0 && index < param::kCount; }

    // Nothing for an index outside the table (or before a layout is given).
    Parameter* Get(int index) { return Holds(index) ? &Slots()[index] : nullptr; }
    const Parameter* Get(int index) const { return Holds(index) ? &Slots()[index] : nullptr; }

    // Plain value, 0 for an index outside the table.
    double Value(int index) const { return Holds(index) ? Slots()[index].Value() : 0.0; }

    // Left unchanged when a preset file loads, and not reset before a state is read.
    bool KeepOnPresetLoad(int index) const { return Holds(index) && (KeepFlips()[index] != 0) != KeptAtStart(index); }
    void SetKeepOnPresetLoad(int index, bool keep) {
        if (Holds(index)) KeepFlips()[index] = keep != KeptAtStart(index) ? 1 : 0;
    }

private:
    static constexpr size_t kFlagsOffset = Parameter::kSlotsOffset + size_t{param::kCount} * sizeof(Parameter);
    static_assert(sizeof(Parameter) == sizeof(uint64_t) && kFlagsOffset + param::kCount <= Parameter::kBlockBytes);

    bool Holds(int index) const { return Contains(index) && block_.Data() != nullptr; }
    bool KeptAtStart(int index) const { return layout_->Get(index)->KeptOnPresetLoadAtStart(); }
    char* Block() const { return static_cast<char*>(block_.Data()); }
    Parameter* Slots() const { return reinterpret_cast<Parameter*>(Block() + Parameter::kSlotsOffset); }
    // A flag that differs from its start is 1.
    uint8_t* KeepFlips() const { return reinterpret_cast<uint8_t*>(Block() + kFlagsOffset); }

    std::shared_ptr<const ParameterLayout> layout_;
    ZeroPages block_;
};

}  // namespace sorel
