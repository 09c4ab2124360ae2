// An instance's parameter table: every setting of the plug-in, addressed by
// index. The values and the keepOnPresetLoad flags are the instance's; what
// each slot is comes from the shared layout. Slots that serve no setting
// keep their default contents (value 0, range 0..1).
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "engine/ParameterIndex.h"
#include "frame/Parameter.h"
#include "frame/ParameterLayout.h"

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
    Parameter* Get(int index) { return Holds(index) ? &params_[static_cast<size_t>(index)] : nullptr; }
    const Parameter* Get(int index) const { return Holds(index) ? &params_[static_cast<size_t>(index)] : nullptr; }

    // Plain value, 0 for an index outside the table.
    double Value(int index) const { return Holds(index) ? params_[static_cast<size_t>(index)].Value() : 0.0; }

    // Left unchanged when a preset file loads, and not reset before a state is read.
    bool KeepOnPresetLoad(int index) const { return Holds(index) && keepOnPresetLoad_[static_cast<size_t>(index)]; }
    void SetKeepOnPresetLoad(int index, bool keep) {
        if (Holds(index)) keepOnPresetLoad_[static_cast<size_t>(index)] = keep ? 1 : 0;
    }

private:
    bool Holds(int index) const { return Contains(index) && static_cast<size_t>(index) < params_.size(); }

    std::shared_ptr<const ParameterLayout> layout_;
    std::vector<Parameter> params_;
    std::vector<uint8_t> keepOnPresetLoad_;
};

}  // namespace sorel
